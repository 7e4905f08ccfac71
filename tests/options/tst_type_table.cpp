// The rewrite of MT_Type against a copy of the delivered database, without
// the dialog (the dialog's tests drive the type check).

#include "base/errors.h"
#include "data/database.h"
#include "data/puzzle_type_store.h"
#include "options/type_table.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;

class TypeTableTest : public QObject {
    Q_OBJECT
private slots:
    // Every statement of the rewrite made to fail in turn: the old table
    // stays whole. Without a failure the rows are numbered from 1.
    void rewriteIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::newRow("nothing") << "";
        QTest::newRow("the delete") << "before delete on MT_Type";
        QTest::newRow("the last row") << "before insert on MT_Type when NEW.TypeID = '5'";
    }
    void rewriteIsAllOrNothing()
    {
        QFETCH(QString, failing);
        test::TempAppFolder folder;
        auto db = Database::open(folder.file("Spinlog.mdb"));
        const QString select =
            "select TypeID, TypeNm, typeof(TypeCnt), TypeCnt, TypeBW "
            "from MT_Type order by TypeID";
        const QStringList delivered = test::rowsOf(*db, select);
        const std::vector<PuzzleType> types = {
            puzzleTypeOf("10", "a", "12", "1", true), puzzleTypeOf("2", "b", "1", "1", true),
            puzzleTypeOf("4", "c", "3", "0", true), puzzleTypeOf("6", "d", "5", "", true),
            puzzleTypeOf("8", "e", "7", "?", true)};
        if (!failing.isEmpty())
            db->execute("create trigger refuse " + failing +
                        " begin select raise(abort, 'disk full'); end");
        try {
            PuzzleTypeStore(*db).rewrite(types);
            QVERIFY(failing.isEmpty());
            QCOMPARE(test::rowsOf(*db, select),
                     QStringList({"1|a|integer|12|1", "2|b|integer|1|1", "3|c|integer|3|0",
                                  "4|d|integer|5|0", "5|e|integer|7|0"}));
        } catch (const SpinlogError &) {
            QVERIFY(!failing.isEmpty());
            QCOMPARE(test::rowsOf(*db, select), delivered);
        }
    }
};

SPINLOG_TEST(TypeTableTest)
#include "tst_type_table.moc"
