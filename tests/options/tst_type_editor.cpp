// The type check, and the rewrite of MT_Type against a copy of the delivered
// database, without the dialog.

#include "app/errors.h"
#include "data/database.h"
#include "options/type_editor.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;

namespace {

QStringList stored(Database &db)
{
    QStringList rows;
    for (Recordset rs(db, QStringLiteral("select TypeID || ' ' || TypeNm || ' ' || "
                                         "typeof(TypeCnt) || TypeCnt || ' ' || TypeBW as r "
                                         "from MT_Type order by TypeID"));
         !rs.eof(); rs.moveNext())
        rows << rs.text(QStringLiteral("r"));
    return rows;
}

TypeRow row(const QString &count, const QString &bw)
{
    return {"1", "x", count, bw};
}

}  // namespace

class TypeTableTest : public QObject {
    Q_OBJECT
private slots:
    void checkFindsTheFirstFailingRow()
    {
        QCOMPARE(firstFailingTypeRow({row("3", kTypeExclude), row("1", kTypeInclude)}), -1);
        QCOMPARE(firstFailingTypeRow({row("5", kTypeInclude), row("2", kTypeExclude),
                                      row("5", kTypeExclude), row("1", kTypeExclude)}),
                 1);
        // Counts must be numbers whatever the best/worst setting, up to the
        // failing row.
        QVERIFY_THROWS_EXCEPTION(SpinlogError, firstFailingTypeRow({row("x", kTypeInclude)}));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, firstFailingTypeRow({row("", kTypeInclude)}));
        QCOMPARE(firstFailingTypeRow({row("2", kTypeExclude), row("x", kTypeInclude)}), 0);
    }

    void rewriteNumbersFromOneOrLeavesTheOldTable()
    {
        test::TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        const QStringList delivered = stored(*db);
        const std::vector<TypeRow> rows = {{"10", "a", "12", kTypeInclude},
                                           {"2", "b", "1", kTypeInclude},
                                           {"4", "c", "3", kTypeExclude},
                                           {"6", "d", "5", kTypeExclude},
                                           {"8", "e", "7", QStringLiteral("?")}};
        db->execute(QStringLiteral(
            "create trigger fail_third before insert on MT_Type when NEW.TypeID = '3' "
            "begin select raise(abort, 'disk full'); end"));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, rewriteTypes(*db, rows));
        QCOMPARE(stored(*db), delivered);

        db->execute(QStringLiteral("drop trigger fail_third"));
        rewriteTypes(*db, rows);
        QCOMPARE(stored(*db), QStringList({"1 a integer12 1", "2 b integer1 1", "3 c integer3 0",
                                           "4 d integer5 0", "5 e integer7 0"}));
    }
};

SPINLOG_TEST(TypeTableTest)
#include "tst_type_editor.moc"
