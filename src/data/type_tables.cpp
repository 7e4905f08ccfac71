#include "data/type_tables.h"

#include "data/database.h"

namespace spinlog {

bool hasExtraTypeTable(Database &db)
{
    Statement table(db, QStringLiteral("select 1 from sqlite_master "
                                       "where type='table' and name='MT_TypeExtra'"));
    return table.step();
}

bool hasExtraTypes(Database &db)
{
    if (!hasExtraTypeTable(db))
        return false;
    Statement row(db, QStringLiteral("select 1 from MT_TypeExtra limit 1"));
    return row.step();
}

void makeExtraTypeTable(Database &db)
{
    // MT_Type's columns, and the mark of the import that made a type (empty
    // for one made in the options), so the import's undo can take it back.
    db.execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS MT_TypeExtra (TypeID TEXT, TypeNm TEXT, "
                       "TypeCnt INTEGER, TypeBW TEXT, ImportID TEXT)"));
}

TypeRows everyTypeRow(Database &db)
{
    if (!hasExtraTypes(db))
        return {QStringLiteral("MT_Type as Types"), QStringLiteral("Types.rowid")};
    // The extra rows after every row MT_Type can have (rowids are 64-bit,
    // and a file's table never holds 2^32 types).
    return {QStringLiteral("(select TypeID, TypeNm, rowid as TypeRow from MT_Type union all "
                           "select TypeID, TypeNm, 4294967296 + rowid from MT_TypeExtra) as Types"),
            QStringLiteral("Types.TypeRow")};
}

}  // namespace spinlog
