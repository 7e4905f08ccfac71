#pragma once
// MT_Type, the table of puzzle types, and the best values saved for a type:
// every statement on them lives here. A type's TypeID is the decimal text of
// its position in the type lists plus one.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Database;

// One MT_Type row as stored: the count stays text until a caller converts it.
struct PuzzleType {
    QString id;         // TypeID, "1" to "5"
    QString name;       // TypeNm
    QString count;      // TypeCnt: solves per series
    QString bestWorst;  // TypeBW: "1" the average includes best and worst; anything
                        // else, a NULL (empty) included, leaves them out
};

struct BestRecords {
    QString bestTime = QStringLiteral("-");     // the fastest saved single
    QString bestAverage = QStringLiteral("-");  // the best saved average
};

class PuzzleTypeStore {
public:
    explicit PuzzleTypeStore(Database &db) : db_(db) {}

    // TypeNm of every type, in TypeID order.
    QStringList names() const;
    // The type with this TypeID, or nothing.
    std::optional<PuzzleType> find(const QString &id) const;
    // The first five types in TypeID order, each handed over as soon as it is
    // read; a table with fewer throws at the first missing one.
    void readFive(const std::function<void(int index, const PuzzleType &)> &take) const;
    // Replaces every row with these, numbered from 1 in their order: all of
    // them or, on a failure, the table as it was.
    void rewrite(const std::vector<PuzzleType> &types) const;

    // The best single and best average among the saved series of a type.
    BestRecords bests(const QString &typeId) const;

private:
    Database &db_;
};

}  // namespace spinlog
