// The type check, and the rewrite of MT_Type against a copy of the delivered
// database, without the dialog.

#include "app/errors.h"
#include "data/database.h"
#include "options/type_table.h"
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

    // Every statement of the rewrite made to fail in turn: the old table
    // stays whole. Without a failure the rows are numbered from 1.
    void rewriteIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::newRow("nothing") << "";
        QTest::newRow("the delete") << "before delete on MT_Type";
        QTest::newRow("the first row") << "before insert on MT_Type when NEW.TypeID = '1'";
        QTest::newRow("the third row") << "before insert on MT_Type when NEW.TypeID = '3'";
        QTest::newRow("the last row") << "before insert on MT_Type when NEW.TypeID = '5'";
    }

    void rewriteIsAllOrNothing()
    {
        QFETCH(QString, failing);
        test::TempAppFolder folder;
        auto db = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
        const QStringList delivered = stored(*db);
        std::vector<PuzzleType> types;
        for (const TypeRow &r : std::vector<TypeRow>{{"10", "a", "12", kTypeInclude},
                                                     {"2", "b", "1", kTypeInclude},
                                                     {"4", "c", "3", kTypeExclude},
                                                     {"6", "d", "5", kTypeExclude},
                                                     {"8", "e", "7", QStringLiteral("?")}})
            types.push_back(puzzleTypeOf(r));
        if (!failing.isEmpty())
            db->execute(QStringLiteral("create trigger refuse ") + failing +
                        QStringLiteral(" begin select raise(abort, 'disk full'); end"));
        try {
            PuzzleTypeStore(*db).rewrite(types);
            QVERIFY(failing.isEmpty());
            QCOMPARE(stored(*db),
                     QStringList({"1 a integer12 1", "2 b integer1 1", "3 c integer3 0",
                                  "4 d integer5 0", "5 e integer7 0"}));
        } catch (const SpinlogError &) {
            QVERIFY(!failing.isEmpty());
            QCOMPARE(stored(*db), delivered);
        }
    }
};

SPINLOG_TEST(TypeTableTest)
#include "tst_type_table.moc"
