#include "data/puzzle_type_store.h"

#include "base/settings.h"
#include "data/database.h"

namespace spinlog {

namespace {

// A field's text; NULL as the empty text: a count of none cannot be timed.
QString textOrEmpty(const Recordset &rs, const QString &field)
{
    return rs.field(field).isNull() ? QString() : rs.text(field);
}

}  // namespace

PuzzleTypeStore::PuzzleTypeStore(Database &db, const Settings *settings, QObject *parent)
    : QObject(parent), db_(db), settings_(settings)
{
    if (settings_)
        connect(settings_, &Settings::changed, this, [this](Setting setting) {
            if (setting == Setting::NoInspection)
                emit changed();
        });
}

QString PuzzleTypeStore::noInspection() const
{
    return settings_ ? settings_->text(Setting::NoInspection)
                     : keyOf(Setting::NoInspection).defaultText;
}

namespace {

PuzzleType typeOf(const Recordset &rs, const QString &noInspection)
{
    const QString id = textOrEmpty(rs, QStringLiteral("TypeID"));
    const QString name = textOrEmpty(rs, QStringLiteral("TypeNm"));
    return puzzleTypeOf(id, name, textOrEmpty(rs, QStringLiteral("TypeCnt")),
                        textOrEmpty(rs, QStringLiteral("TypeBW")),
                        isInspected(noInspection, id, name));
}

}  // namespace

std::vector<PuzzleType> PuzzleTypeStore::all() const
{
    const QString choice = noInspection();
    std::vector<PuzzleType> types;
    for (Recordset rs(db_, QStringLiteral("select * from MT_Type order by TypeID")); !rs.eof();
         rs.moveNext())
        types.push_back(typeOf(rs, choice));
    return types;
}

std::optional<PuzzleType> PuzzleTypeStore::find(const TypeId &id) const
{
    Recordset rs(db_, QStringLiteral("select * from MT_Type where TypeID=?"), {id.text()});
    if (rs.eof())
        return std::nullopt;
    return typeOf(rs, noInspection());
}

void PuzzleTypeStore::readFive(const std::function<void(int, const PuzzleType &)> &take) const
{
    const QString choice = noInspection();
    Recordset rs(db_, QStringLiteral("select * from MT_Type order by TypeID"));
    // Exactly five, without looking for the end: a short table fails on the
    // first missing record.
    for (int i = 0; i < 5; ++i) {
        take(i, typeOf(rs, choice));
        rs.moveNext();
    }
}

void PuzzleTypeStore::rewrite(const std::vector<PuzzleType> &types)
{
    {
        Transaction transaction(db_);
        db_.execute(QStringLiteral("delete from MT_Type"));
        TableAppender row(db_, QStringLiteral("MT_Type"));
        for (std::size_t i = 0; i < types.size(); ++i) {
            row.set(QStringLiteral("TypeID"), int(i + 1));
            row.set(QStringLiteral("TypeNm"), types[i].name);
            row.set(QStringLiteral("TypeCnt"), types[i].storedCount);
            row.set(QStringLiteral("TypeBW"), typeBWText(types[i].average));
            row.update();
        }
        transaction.commit();
    }
    emit changed();
}

}  // namespace spinlog
