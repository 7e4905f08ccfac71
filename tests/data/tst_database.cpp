// Values bound and read back, indexes that a full disk keeps from being made.

#include "data/database.h"
#include "data_support.h"
#include "support/test_main.h"

#include "support/file_size_limit.h"

using namespace spinlog;
using namespace spinlog::test;

class DatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void valuesAreBoundAndReadBack()
    {
        TempAppFolder folder;
        const auto db = Database::open(folder.file("Spinlog.mdb"));
        const QString name = "it's \"x\"; delete from MT_Type; --目隠し";
        QCOMPARE(db->execute("insert into MT_Type values (?,?,?,?)", {"6", name, 5, QVariant()}),
                 1);
        Recordset rs(*db, "select * from MT_Type where TypeNm=?", {name});
        QCOMPARE(rs.text("typenm"), name);  // names match without regard to case
        QCOMPARE(rs.field("TypeCnt"), QVariant(qlonglong(5)));
        QVERIFY(rs.field("TypeBW").isNull());
        QCOMPARE(failure([&] { rs.text("TypeBW"); }), describe::invalidNull());
        QCOMPARE(failure([&] { rs.field("TypeName"); }),
                 "このコレクションには項目がありません。(TypeName)");
        // An empty text stays text rather than becoming NULL.
        db->execute("insert into W_Time ([No],[Time],TimeSS) values (?,?,?)",
                    {1, QString(), 65.43});
        Recordset solve(*db, "select *, typeof([Time]) as k from W_Time");
        QCOMPARE(solve.text("No") + solve.text("k") + solve.text("TimeSS"), "1text65.43");
    }

    // An older file that cannot grow to hold the list's indexes (a full disk: no
    // room at all, or for part of them) opens all the same, as it was.
    void indexesThatCannotBeMade_data()
    {
        QTest::addColumn<int>("room");
        QTest::newRow("no room") << 0;
        QTest::newRow("room for part") << 2048;
    }
    void indexesThatCannotBeMade()
    {
        QFETCH(int, room);
        TempAppFolder older;  // the delivered file, as an older program left it
        const qint64 size = older.read("Spinlog.mdb").size();
        std::unique_ptr<Database> db;
        QString opened;
        {
            FileSizeLimit full(rlim_t(size + room));
            opened = failure([&] { db = Database::open(older.file("Spinlog.mdb")); });
        }
        QCOMPARE(opened, "(no failure)");
        QCOMPARE(Recordset(*db, "select count(*) from sqlite_master where type='index'").text(0),
                 "1");
        QCOMPARE(older.read("Spinlog.mdb").size(), size);
        QCOMPARE(db->execute("insert into W_Time ([No],[Time],TimeSS) values (1, '9.87', 9.87)"),
                 1);
    }
};

SPINLOG_TEST(DatabaseTest)
#include "tst_database.moc"
