#pragma once
// Indexes on T_Time that let the history list, its re-sorts and the best
// values read the saved series already in order, instead of sorting the whole
// history at every listing. They are additive: no row changes, and any copy
// of the program, older ones and the sqlcipher command line included, still
// opens and writes the file.

namespace spinlog {

class Database;

// Adds whichever of the indexes are missing, all in one transaction. When
// they cannot be made (a read-only file, a full disk) the file is left as it
// was and false comes back: every statement still gives the same rows in the
// same order without them, only slower. Never throws.
bool addHistoryIndexes(Database &db) noexcept;

}  // namespace spinlog
