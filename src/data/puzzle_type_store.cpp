#include "data/puzzle_type_store.h"

#include "data/database.h"

#include <QLocale>
#include <cmath>

namespace spinlog {

int seriesLength(const QString &typeCnt)
{
    bool number = false;
    const double n = QLocale::c().toDouble(typeCnt.trimmed(), &number);
    return number && n >= 1 && n <= 12 && n == std::floor(n) ? int(n) : 0;
}

namespace {

// A field's text; NULL as the empty text: whoever uses a type decides what an
// empty field means (a count of none cannot be timed).
QString textOrEmpty(const Recordset &rs, const QString &field)
{
    return rs.field(field).isNull() ? QString() : rs.text(field);
}

PuzzleType typeOf(const Recordset &rs)
{
    return {textOrEmpty(rs, QStringLiteral("TypeID")), textOrEmpty(rs, QStringLiteral("TypeNm")),
            textOrEmpty(rs, QStringLiteral("TypeCnt")), textOrEmpty(rs, QStringLiteral("TypeBW"))};
}

}  // namespace

QStringList PuzzleTypeStore::names() const
{
    QStringList names;
    for (Recordset rs(db_, QStringLiteral("select * from MT_Type order by TypeID")); !rs.eof();
         rs.moveNext())
        names << rs.text(QStringLiteral("TypeNm"));
    return names;
}

std::optional<PuzzleType> PuzzleTypeStore::find(const QString &id) const
{
    Recordset rs(db_, QStringLiteral("select * from MT_Type where TypeID=?"), {id});
    if (rs.eof())
        return std::nullopt;
    return typeOf(rs);
}

void PuzzleTypeStore::readFive(const std::function<void(int, const PuzzleType &)> &take) const
{
    Recordset rs(db_, QStringLiteral("select * from MT_Type order by TypeID"));
    // Exactly five, without looking for the end: a short table fails on the
    // first missing record.
    for (int i = 0; i < 5; ++i) {
        take(i, typeOf(rs));
        rs.moveNext();
    }
}

void PuzzleTypeStore::rewrite(const std::vector<PuzzleType> &types) const
{
    Transaction transaction(db_);
    db_.execute(QStringLiteral("delete from MT_Type"));
    TableAppender row(db_, QStringLiteral("MT_Type"));
    for (std::size_t i = 0; i < types.size(); ++i) {
        row.set(QStringLiteral("TypeID"), int(i + 1));
        row.set(QStringLiteral("TypeNm"), types[i].name);
        row.set(QStringLiteral("TypeCnt"), types[i].count);
        row.set(QStringLiteral("TypeBW"), types[i].bestWorst);
        row.update();
    }
    transaction.commit();
}

}  // namespace spinlog
