#pragma once
// The puzzle types, MT_Type and the table of the types after the fifth
// (type_tables.h): every statement on them lives here. Each row becomes a
// PuzzleType as it is read, its inspection taken from the settings' choice.
// A change, or a change of that choice, is signalled.

#include "data/puzzle_type.h"

#include <QObject>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Database;
class Settings;

// Why a type cannot be removed: the saved series it holds.
QString typeHoldsSeriesText(const QString &name, int series);

class PuzzleTypeStore : public QObject {
    Q_OBJECT
public:
    // Without settings every type counts as the default choice ("auto")
    // makes it: inspected unless its name says blindfolded.
    explicit PuzzleTypeStore(Database &db, const Settings *settings = nullptr,
                             QObject *parent = nullptr);

    // Every type, by number (sortByNumber).
    std::vector<PuzzleType> all() const;
    // The type with this TypeID, or nothing.
    std::optional<PuzzleType> find(const TypeId &id) const;
    // MT_Type's first five types in TypeID order, each handed over as soon as
    // it is read; a table with fewer throws at the first missing one.
    void readFive(const std::function<void(int index, const PuzzleType &)> &take) const;
    // The types after those five, by number: MT_Type's further rows (a file
    // written by hand) and the extra table's.
    std::vector<PuzzleType> beyondFive() const;

    // Stores the edited types in one transaction: the first five as MT_Type's
    // rows, every row deleted and five written numbered 1 to 5 in their order
    // (as every copy of the program writes them); the rest in the extra
    // table under their own TypeIDs; the removed ones deleted. All of it or,
    // on a failure, nothing: a removed type that is one of MT_Type's five or
    // holds saved series is refused with a SpinlogError.
    void rewrite(const std::vector<PuzzleType> &types, const std::vector<TypeId> &removed = {});

    // The TypeID a new type gets: one past every number that a type, a saved
    // series or the settings' list of types without inspection uses (and
    // past 5), so a new type inherits nobody's series or choice. Pending:
    // types made but not stored yet.
    TypeId nextFreeId(const std::vector<PuzzleType> &pending = {}) const;
    // How many saved series, and solves kept without a series, carry the
    // TypeID.
    int savedSeries(const TypeId &id) const;

    // Inside the import's transaction, without a signal (announce() once it
    // is committed): the types an import makes, marked with its mark, and
    // those of them that nothing uses any more once it is taken back (no
    // saved series, and not KEEP, the type of a series under way).
    void addImported(const std::vector<PuzzleType> &types, const QString &importId);
    int removeImported(const QString &importId, const std::optional<TypeId> &keep);
    // How many types the import made are still there.
    int importedTypes(const QString &importId) const;
    void announce() { emit changed(); }

signals:
    // The types or their inspection changed: whoever shows them reads them again.
    void changed();

private:
    QString noInspection() const;
    void storeExtra(const std::vector<PuzzleType> &types);
    void removeStored(const std::vector<TypeId> &removed);

    Database &db_;
    const Settings *settings_;
};

}  // namespace spinlog
