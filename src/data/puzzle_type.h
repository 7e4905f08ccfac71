#pragma once
// A puzzle type as the program uses it, parsed once where MT_Type is read:
// its TypeID, its name, how many solves make its series (none when the stored
// count cannot be timed), whether its average counts the best and the worst
// solve, and whether the competition's inspection applies. Beside it the type
// filter of the lists, and TypeChoices: the one place where a list's entry
// becomes a type and a type an entry.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace spinlog {

// A type's TypeID as MT_Type and T_Time keep it: a text, compared as text.
class TypeId {
public:
    TypeId() = default;
    explicit TypeId(QString text) : text_(std::move(text)) {}
    const QString &text() const { return text_; }
    friend bool operator==(const TypeId &, const TypeId &) = default;

private:
    QString text_;
};

// TypeBW: "1" counts the best and the worst solve in the average; anything
// else, NULL included, leaves them out.
enum class AverageRule { LeaveOutBestWorst, CountBestWorst };

struct PuzzleType {
    TypeId id;
    QString name;                     // TypeNm
    std::optional<int> seriesLength;  // TypeCnt, 1 to 12; nothing: it cannot be timed
    AverageRule average = AverageRule::LeaveOutBestWorst;
    bool inspected = true;  // the competition's inspection applies (a setting)
    QString storedCount;    // TypeCnt as stored, NULL as empty: the editor shows it

    bool timeable() const { return seriesLength.has_value(); }
    int length() const { return seriesLength.value_or(0); }
    bool countsBestWorst() const { return average == AverageRule::CountBestWorst; }
};

// The series length a stored TypeCnt allows: a whole number 1 to 12; nothing
// for anything else (0, -1, NULL, 2147483648, 13).
std::optional<int> seriesLengthOf(const QString &typeCnt);
AverageRule averageRuleOf(const QString &typeBW);
// TypeBW as the type table writes it: "1" or "0".
QString typeBWText(AverageRule rule);

// The number a TypeID holds: decimal digits only (at most nine); nothing for
// any other text.
std::optional<int> typeNumber(const TypeId &id);
// Types in the order every list shows them: by number, the TypeIDs that are
// no number after them by their text.
void sortByNumber(std::vector<PuzzleType> &types);

// A type as MT_Type's row gives it; inspected from the settings' choice.
PuzzleType puzzleTypeOf(const QString &id, const QString &name, const QString &count,
                        const QString &bestWorst, bool inspected);

// A list's filter: every type, or one.
class TypeFilter {
public:
    TypeFilter() = default;  // every type
    explicit TypeFilter(TypeId type) : type_(std::move(type)) {}
    bool all() const { return !type_; }
    // The one type; only when !all().
    const TypeId &type() const { return *type_; }
    bool includes(const TypeId &id) const { return !type_ || *type_ == id; }
    friend bool operator==(const TypeFilter &, const TypeFilter &) = default;

private:
    std::optional<TypeId> type_;
};

// The types as a list shows them, in the order given (TypeID order), after
// a leading entry where the list has one: "全て" (every type) in the lists
// that filter, "（取り込まない）" (none) in the import's. Lists and the
// settings that remember them count entries; everything else names types by
// their TypeID.
class TypeChoices {
public:
    static QString everyType();  // "全て"

    TypeChoices() = default;
    TypeChoices(std::vector<PuzzleType> types, QString leading = {});

    const std::vector<PuzzleType> &types() const { return types_; }
    // The entries' texts: the leading one, then the names.
    QStringList entries() const;
    int count() const;
    // The type of an entry; null for the leading entry and for an entry not
    // in the list.
    const PuzzleType *typeAt(int entry) const;
    // The filter of an entry, the leading one every type; throws SpinlogError
    // for an entry not in the list.
    TypeFilter filterAt(int entry) const;
    // The entry of a type, -1 when it is not listed; every type (or none) is
    // the leading entry, where there is one.
    int entryOf(const TypeId &id) const;
    int entryOf(const TypeFilter &filter) const;
    // The name of a filter's type, the leading entry's text for every type,
    // empty for a type not listed.
    QString nameOf(const TypeFilter &filter) const;

private:
    std::vector<PuzzleType> types_;
    QString leading_;
    int first_ = 0;  // the entry of the first type: 1 after a leading entry
};

}  // namespace spinlog
