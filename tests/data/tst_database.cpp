// Values bound and read back, best records, indexes that a full disk keeps
// from being made.

#include "data/database.h"
#include "data/history_store.h"
#include "data/puzzle_type_store.h"
#include "data_support.h"
#include "support/test_main.h"

#include "support/file_size_limit.h"

using namespace spinlog;
using namespace spinlog::test;

class DatabaseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempAppFolder> folder_;
    std::unique_ptr<Database> db_;

    QString count(const QString &table)
    {
        return Recordset(*db_, "select count(*) from " + table).text(0);
    }

private slots:
    void init()
    {
        folder_ = std::make_unique<TempAppFolder>();
        db_ = Database::open(folder_->file("Spinlog.mdb"));
    }
    void cleanup()
    {
        db_.reset();
        folder_.reset();
    }

    void valuesAreBoundAndReadBack()
    {
        const QString name = "it's \"x\"; delete from MT_Type; --目隠し";
        QCOMPARE(db_->execute("insert into MT_Type values (?,?,?,?)", {"6", name, 5, QVariant()}),
                 1);
        Recordset rs(*db_, "select * from MT_Type where TypeNm=?", {name});
        QCOMPARE(rs.text("typenm"), name);  // names match without regard to case
        QCOMPARE(rs.field("TypeCnt"), QVariant(qlonglong(5)));
        QVERIFY(rs.field("TypeBW").isNull());
        QCOMPARE(failure([&] { rs.text("TypeBW"); }), describe::invalidNull());
        QCOMPARE(failure([&] { rs.field("TypeName"); }),
                 "このコレクションには項目がありません。(TypeName)");
        // An empty text stays text rather than becoming NULL.
        db_->execute("insert into W_Time ([No],[Time],TimeSS) values (?,?,?)",
                     {1, QString(), 65.43});
        Recordset solve(*db_, "select *, typeof([Time]) as k from W_Time");
        QCOMPARE(solve.text("No") + solve.text("k") + solve.text("TimeSS"), "1text65.43");
    }

    void bestRecordsOrderNumerically()
    {
        const HistoryStore history(*db_);
        QCOMPARE(history.bestsOfType("1").bestTime, "-");
        // As texts "10.20" < "9.50" and "1:00.00" < "59.99": the order must be numeric.
        // Of equals, the first saved.
        for (const QVariantList &row : QList<QVariantList>{{"1", "10.20", 10.2, "1:00.00", 60.0},
                                                           {"1", "9.50", 9.5, "59.99", 59.99},
                                                           {"2", "5.00", 5.0, "6.00", 6.0},
                                                           {"1", "later", 9.5, "later", 59.99}})
            db_->execute(
                "insert into T_Time (TypeID, BestTime, BestTimeSS, AveTime, AveTimeSS) "
                "values (?,?,?,?,?)",
                row);
        const BestRecords one = history.bestsOfType("1");
        QCOMPARE(one.bestTime + " " + one.bestAverage, "9.50 59.99");
        const BestRecords none = history.bestsOfType("3' or '1'='1");
        QCOMPARE(none.bestTime + " " + none.bestAverage, "- -");
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
        db_.reset();
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
