#include "data/puzzle_type_store.h"

#include "base/errors.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "data/database.h"
#include "data/solve_table.h"
#include "data/type_tables.h"

#include <sqlite3.h>

#include <algorithm>

namespace spinlog {

namespace {

// A field's text; NULL as the empty text: a count of none cannot be timed.
QString textOrEmpty(const Recordset &rs, const QString &field)
{
    return rs.field(field).isNull() ? QString() : rs.text(field);
}

PuzzleType typeOf(const Recordset &rs, const QString &noInspection)
{
    const QString id = textOrEmpty(rs, QStringLiteral("TypeID"));
    const QString name = textOrEmpty(rs, QStringLiteral("TypeNm"));
    return puzzleTypeOf(id, name, textOrEmpty(rs, QStringLiteral("TypeCnt")),
                        textOrEmpty(rs, QStringLiteral("TypeBW")),
                        isInspected(noInspection, id, name));
}

void readRows(Database &db, const QString &sql, const QString &noInspection,
              std::vector<PuzzleType> &into, const QVariantList &values = {})
{
    for (Recordset rs(db, sql, values); !rs.eof(); rs.moveNext())
        into.push_back(typeOf(rs, noInspection));
}

void noteNumber(const TypeId &id, int &most)
{
    if (const std::optional<int> n = typeNumber(id))
        most = std::max(most, *n);
}

}  // namespace

QString typeHoldsSeriesText(const QString &name, int series)
{
    return Text::tr("タイプ「%1」には保存した記録が %2 件あるので削除できません")
        .arg(name)
        .arg(series);
}

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

std::vector<PuzzleType> PuzzleTypeStore::all() const
{
    const QString choice = noInspection();
    std::vector<PuzzleType> types;
    readRows(db_, QStringLiteral("select * from MT_Type order by TypeID"), choice, types);
    if (hasExtraTypeTable(db_))
        readRows(db_, QStringLiteral("select * from MT_TypeExtra"), choice, types);
    sortByNumber(types);
    return types;
}

std::optional<PuzzleType> PuzzleTypeStore::find(const TypeId &id) const
{
    std::vector<PuzzleType> found;
    readRows(db_, QStringLiteral("select * from MT_Type where TypeID=?"), noInspection(), found,
             {id.text()});
    if (found.empty() && hasExtraTypeTable(db_))
        readRows(db_, QStringLiteral("select * from MT_TypeExtra where TypeID=?"), noInspection(),
                 found, {id.text()});
    if (found.empty())
        return std::nullopt;
    return found.front();
}

void PuzzleTypeStore::readFive(const std::function<void(int, const PuzzleType &)> &take) const
{
    const QString choice = noInspection();
    Recordset rs(db_, QStringLiteral("select * from MT_Type order by TypeID"));
    // Exactly five, without looking for the end: a short table fails on the
    // first missing record.
    for (int i = 0; i < kFixedTypes; ++i) {
        take(i, typeOf(rs, choice));
        rs.moveNext();
    }
}

std::vector<PuzzleType> PuzzleTypeStore::beyondFive() const
{
    const QString choice = noInspection();
    std::vector<PuzzleType> types;
    readRows(db_, QStringLiteral("select * from MT_Type order by TypeID limit -1 offset 5"), choice,
             types);
    if (hasExtraTypeTable(db_))
        readRows(db_, QStringLiteral("select * from MT_TypeExtra"), choice, types);
    sortByNumber(types);
    return types;
}

void PuzzleTypeStore::rewrite(const std::vector<PuzzleType> &types,
                              const std::vector<TypeId> &removed)
{
    {
        Transaction transaction(db_);
        removeStored(removed);
        db_.execute(QStringLiteral("delete from MT_Type"));
        TableAppender row(db_, QStringLiteral("MT_Type"));
        const std::size_t five = std::min<std::size_t>(types.size(), kFixedTypes);
        for (std::size_t i = 0; i < five; ++i) {
            row.set(QStringLiteral("TypeID"), int(i + 1));
            row.set(QStringLiteral("TypeNm"), types[i].name);
            row.set(QStringLiteral("TypeCnt"), types[i].storedCount);
            row.set(QStringLiteral("TypeBW"), typeBWText(types[i].average));
            row.update();
        }
        if (types.size() > five)
            storeExtra({types.begin() + std::ptrdiff_t(five), types.end()});
        transaction.commit();
    }
    emit changed();
}

void PuzzleTypeStore::removeStored(const std::vector<TypeId> &removed)
{
    if (removed.empty())
        return;
    std::vector<TypeId> fixed;
    for (Recordset rs(db_, QStringLiteral("select TypeID from MT_Type order by TypeID limit 5"));
         !rs.eof(); rs.moveNext())
        fixed.push_back(TypeId(textOrEmpty(rs, QStringLiteral("TypeID"))));
    const bool extra = hasExtraTypeTable(db_);
    for (const TypeId &id : removed) {
        // The five rows every copy of the program reads stay five.
        if (std::find(fixed.begin(), fixed.end(), id) != fixed.end())
            throw SpinlogError(Text::tr("最初の5つのタイプは削除できません"));
        if (const int series = savedSeries(id); series > 0) {
            const std::optional<PuzzleType> type = find(id);
            throw SpinlogError(typeHoldsSeriesText(type ? type->name : id.text(), series));
        }
        // A further MT_Type row goes with the rewrite of that table.
        if (extra)
            db_.execute(QStringLiteral("delete from MT_TypeExtra where TypeID=?"), {id.text()});
    }
}

void PuzzleTypeStore::storeExtra(const std::vector<PuzzleType> &types)
{
    makeExtraTypeTable(db_);
    // Written in place, so an import's mark stays with the type it made.
    Statement update(db_,
                     QStringLiteral("update MT_TypeExtra set TypeNm=?, TypeCnt=?, TypeBW=? "
                                    "where TypeID=?"),
                     {QString(), QString(), QString(), QString()});
    Statement insert(db_,
                     QStringLiteral("insert into MT_TypeExtra (TypeID, TypeNm, TypeCnt, TypeBW, "
                                    "ImportID) values (?, ?, ?, ?, '')"),
                     {QString(), QString(), QString(), QString()});
    for (const PuzzleType &type : types) {
        if (type.id.text().isEmpty())
            throw SpinlogError(describe::invalidArgument());
        const int before = sqlite3_total_changes(db_.handle());
        update.rebind({type.name, type.storedCount, typeBWText(type.average), type.id.text()});
        update.step();
        if (sqlite3_total_changes(db_.handle()) != before)
            continue;
        insert.rebind({type.id.text(), type.name, type.storedCount, typeBWText(type.average)});
        insert.step();
    }
}

TypeId PuzzleTypeStore::nextFreeId(const std::vector<PuzzleType> &pending) const
{
    int most = kFixedTypes;
    for (const PuzzleType &type : all()) noteNumber(type.id, most);
    for (const PuzzleType &type : pending) noteNumber(type.id, most);
    const QString choice = noInspection();
    for (const QString &id : choice.split(QLatin1Char(','), Qt::SkipEmptyParts))
        noteNumber(TypeId(id.trimmed()), most);
    // Each TypeID the saved series and solves use, one step of the type
    // index apiece: a new type never finds solves it did not have.
    QStringList tables{QStringLiteral("T_Time")};
    if (hasSolveTable(db_))
        tables << QStringLiteral("T_Solve");
    for (const QString &table : tables) {
        Statement next(db_,
                       QStringLiteral("select TypeID from %1 where TypeID > ? "
                                      "order by TypeID limit 1")
                           .arg(table),
                       {QString()});
        while (next.step()) {
            const QString id = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(next.handle(), 0)),
                sqlite3_column_bytes(next.handle(), 0));
            noteNumber(TypeId(id), most);
            next.rebind({id});
        }
    }
    return TypeId(QString::number(most + 1));
}

int PuzzleTypeStore::savedSeries(const TypeId &id) const
{
    // The solves kept without a series count too: a type removed from under
    // them would hand them to the next type of its number.
    Statement count(db_,
                    hasSolveTable(db_)
                        ? QStringLiteral("select (select count(*) from T_Time where TypeID=?1) + "
                                         "(select count(*) from T_Solve where TypeID=?1 and "
                                         "[No] is null)")
                        : QStringLiteral("select count(*) from T_Time where TypeID=?"),
                    {id.text()});
    count.step();
    return sqlite3_column_int(count.handle(), 0);
}

void PuzzleTypeStore::addImported(const std::vector<PuzzleType> &types, const QString &importId)
{
    if (types.empty())
        return;
    makeExtraTypeTable(db_);
    Statement insert(db_,
                     QStringLiteral("insert into MT_TypeExtra (TypeID, TypeNm, TypeCnt, TypeBW, "
                                    "ImportID) values (?, ?, ?, ?, ?)"),
                     {QString(), QString(), QString(), QString(), QString()});
    for (const PuzzleType &type : types) {
        insert.rebind(
            {type.id.text(), type.name, type.storedCount, typeBWText(type.average), importId});
        insert.step();
    }
}

int PuzzleTypeStore::removeImported(const QString &importId, const std::optional<TypeId> &keep)
{
    if (importId.isEmpty() || !hasExtraTypeTable(db_))
        return 0;
    return db_.execute(
        QStringLiteral(
            "delete from MT_TypeExtra where ImportID=? and TypeID is not ? and "
            "not exists (select 1 from T_Time where T_Time.TypeID=MT_TypeExtra.TypeID)%1")
            .arg(hasSolveTable(db_) ? QStringLiteral(" and not exists (select 1 from T_Solve "
                                                     "where T_Solve.TypeID=MT_TypeExtra.TypeID)")
                                    : QString()),
        {importId, keep ? QVariant(keep->text()) : QVariant()});
}

int PuzzleTypeStore::importedTypes(const QString &importId) const
{
    if (importId.isEmpty() || !hasExtraTypeTable(db_))
        return 0;
    Statement count(db_, QStringLiteral("select count(*) from MT_TypeExtra where ImportID=?"),
                    {importId});
    count.step();
    return sqlite3_column_int(count.handle(), 0);
}

}  // namespace spinlog
