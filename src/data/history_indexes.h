#pragma once
// Indexes on T_Time that let the history list, its re-sorts and the best
// values read the saved series already in order, instead of sorting the whole
// history at every listing. They are additive: no row changes, and any copy
// of the program, older ones and the sqlcipher command line included, still
// opens and writes the file.

#include <QString>
#include <vector>

namespace spinlog {

class Database;

// Adds whichever of the indexes are missing, all in one transaction. When
// they cannot be made (a read-only file, a full disk) the file is left as it
// was and false comes back: every statement still gives the same rows in the
// same order without them, only slower. Never throws.
bool addHistoryIndexes(Database &db) noexcept;

// Every index the program adds to the history's tables (T_Time's and
// T_Solve's), set aside while a large import adds its rows and made again,
// all inside the import's transaction: made by sorting once, they cost a
// fraction of keeping each up row by row. A failure or a rollback puts them
// back as they were.
class IndexesSetAside {
public:
    explicit IndexesSetAside(Database &db);
    // Makes them again; throws SpinlogError.
    void restore();

private:
    Database &db_;
    std::vector<QString> made_;  // their statements, as the file had them
};

}  // namespace spinlog
