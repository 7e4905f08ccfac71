#pragma once
// MT_Type, the table of puzzle types: every statement on it lives here. A
// type's TypeID is the decimal text of its position in the type lists plus one.

#include "data/records.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Database;

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

private:
    Database &db_;
};

}  // namespace spinlog
