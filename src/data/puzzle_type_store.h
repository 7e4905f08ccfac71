#pragma once
// MT_Type, the table of puzzle types: every statement on it lives here. Each
// row becomes a PuzzleType as it is read, its inspection taken from the
// settings' choice. A rewrite, or a change of that choice, is signalled.

#include "data/puzzle_type.h"

#include <QObject>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Database;
class Settings;

class PuzzleTypeStore : public QObject {
    Q_OBJECT
public:
    // Without settings every type counts as the default choice ("auto")
    // makes it: inspected unless its name says blindfolded.
    explicit PuzzleTypeStore(Database &db, const Settings *settings = nullptr,
                             QObject *parent = nullptr);

    // Every type, in TypeID order.
    std::vector<PuzzleType> all() const;
    // The type with this TypeID, or nothing.
    std::optional<PuzzleType> find(const TypeId &id) const;
    // The first five types in TypeID order, each handed over as soon as it is
    // read; a table with fewer throws at the first missing one.
    void readFive(const std::function<void(int index, const PuzzleType &)> &take) const;
    // Replaces every row with these (name, stored count, rule), numbered from
    // 1 in their order: all of them or, on a failure, the table as it was.
    void rewrite(const std::vector<PuzzleType> &types);

signals:
    // The types or their inspection changed: whoever shows them reads them again.
    void changed();

private:
    QString noInspection() const;

    Database &db_;
    const Settings *settings_;
};

}  // namespace spinlog
