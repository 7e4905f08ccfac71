#include "data/attempt_columns.h"

#include "data/database.h"

#include <sqlite3.h>

namespace spinlog {

bool hasColumn(Database &db, const char *table, const char *column)
{
    // The table's name is one of ours, never from outside; the column's is
    // compared, not spliced.
    Statement info(db, QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(table)));
    while (info.step()) {
        const auto *name = reinterpret_cast<const char *>(sqlite3_column_text(info.handle(), 1));
        if (name && sqlite3_stricmp(name, column) == 0)
            return true;
    }
    return false;
}

bool addAttemptColumns(Database &db) noexcept
{
    try {
        Transaction transaction(db);
        if (!hasColumn(db, "W_Time", "Solve"))
            db.execute(QStringLiteral("ALTER TABLE W_Time ADD COLUMN Solve TEXT"));
        if (!hasColumn(db, "T_Time", "Solves"))
            db.execute(QStringLiteral("ALTER TABLE T_Time ADD COLUMN Solves TEXT"));
        transaction.commit();
        return true;
    } catch (...) {
        return false;
    }
}

bool addImportColumn(Database &db) noexcept
{
    try {
        if (!hasColumn(db, "T_Time", "ImportID"))
            db.execute(QStringLiteral("ALTER TABLE T_Time ADD COLUMN ImportID TEXT"));
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace spinlog
