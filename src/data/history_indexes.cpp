#include "data/history_indexes.h"

#include "base/errors.h"
#include "data/database.h"

#include <sqlite3.h>

namespace spinlog {

namespace {

// The list orders by date or average and then, for equal keys, by type and
// saving order (see historyListQuery); with the type in the index and the
// rowid last in every index entry, one index scan gives exactly that order.
// Descending lists keep the ascending tie order, hence their own indexes.
// The best values take the first entry of their type, the main window's
// current averages its last series in the history's order.
const char *const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS T_Time_DateTime ON T_Time (DateTime, TypeID)",
    "CREATE INDEX IF NOT EXISTS T_Time_DateTimeDesc ON T_Time (DateTime DESC, TypeID)",
    "CREATE INDEX IF NOT EXISTS T_Time_AveTimeSS ON T_Time (AveTimeSS, TypeID)",
    "CREATE INDEX IF NOT EXISTS T_Time_AveTimeSSDesc ON T_Time (AveTimeSS DESC, TypeID)",
    "CREATE INDEX IF NOT EXISTS T_Time_TypeID_BestTimeSS ON T_Time (TypeID, BestTimeSS)",
    "CREATE INDEX IF NOT EXISTS T_Time_TypeID_AveTimeSS ON T_Time (TypeID, AveTimeSS)",
    "CREATE INDEX IF NOT EXISTS T_Time_TypeID_DateTime ON T_Time (TypeID, DateTime)",
};

}  // namespace

bool addHistoryIndexes(Database &db) noexcept
{
    try {
        Transaction transaction(db);
        for (const char *sql : kIndexes) db.execute(QLatin1String(sql));
        transaction.commit();
        return true;
    } catch (...) {
        // The transaction has rolled back; the lists work without the indexes.
        return false;
    }
}

IndexesSetAside::IndexesSetAside(Database &db) : db_(db)
{
    std::vector<QString> names;
    {
        // The program's own on T_Time and T_Solve; the index the delivered
        // file has always had stays, and so does the one of the series
        // without solves: an import adds none to it, and making it again
        // would read the whole table for nothing.
        Statement indexes(db_, QStringLiteral("select name, sql from sqlite_master where type="
                                              "'index' and sql is not null and tbl_name in "
                                              "('T_Time', 'T_Solve') and name not in "
                                              "('T_Time_TypeID', 'T_Time_WithoutSolves')"));
        while (indexes.step()) {
            names.push_back(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(indexes.handle(), 0))));
            made_.push_back(QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(indexes.handle(), 1))));
        }
    }
    for (const QString &name : names) db_.execute(QStringLiteral("DROP INDEX \"%1\"").arg(name));
}

void IndexesSetAside::restore()
{
    for (const QString &sql : made_) db_.execute(sql);
    made_.clear();
}

}  // namespace spinlog
