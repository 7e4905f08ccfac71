// The puzzle types beyond the fifth against a real database: where they are
// kept, the order every list reads them in, what an older copy's own
// statements (its type editor, its lists, its exit) leave of them, the
// numbers new types get, and the types an import makes and takes back.

#include "data/compaction.h"
#include "data/history_list.h"
#include "data/type_tables.h"
#include "data_support.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

PuzzleTypeStore &typesOf(HistoryWorld &w)
{
    return w.program().records->types;
}

// The delivered five, then types 6 to COUNT named "type N", N % 12 + 1 solves.
std::vector<PuzzleType> manyTypes(HistoryWorld &w, int count)
{
    std::vector<PuzzleType> types = typesOf(w).all();
    for (int n = 6; n <= count; ++n) {
        const TypeId id = typesOf(w).nextFreeId(types);
        types.push_back(puzzleTypeOf(id.text(), QString("type %1").arg(n),
                                     QString::number(n % 12 + 1), "1", true));
    }
    return types;
}

QString idsOf(const std::vector<PuzzleType> &types)
{
    QStringList ids;
    for (const PuzzleType &type : types) ids << type.id.text();
    return ids.join(' ');
}

QString namesListed(HistoryWorld &w)
{
    struct Names : HistorySink {
        QStringList names;
        void clear() override { names.clear(); }
        void appendRows(const HistoryRows &rows) override
        {
            // The type's name is each row's second cell.
            for (std::size_t r = 0; r < rows.ids.size(); ++r) {
                const std::size_t cell = r * kHistoryCols + 1;
                const std::uint32_t from = rows.ends[cell - 1];
                names << QString::fromUtf8(rows.text.data() + from, rows.ends[cell] - from);
            }
        }
    } sink;
    w.program().records->historyList.list({}, HistoryOrder::DateAscending, sink);
    return sink.names.join(',');
}

void addOne(HistoryWorld &w, const char *day, const char *type)
{
    addSeries(w.db(), {QString("2024/01/%1 10:00:00").arg(day), type, {"10.00"}, "10.00"});
}

}  // namespace

class TypeStoreTest : public QObject {
    Q_OBJECT
private slots:
    // MT_Type keeps five rows numbered 1 to 5; the others lie in a table of
    // their own, whole. Every list reads them by number (10 after 9, not
    // after 1), and their series are listed under their names.
    void twentyTypes()
    {
        HistoryWorld w;
        QCOMPARE(hasExtraTypeTable(w.db()), false);
        typesOf(w).rewrite(manyTypes(w, 20));
        QCOMPARE(rowsOf(w.db(), "select TypeID from MT_Type order by rowid").join(' '),
                 "1 2 3 4 5");
        QCOMPARE(rowsOf(w.db(),
                        "select TypeID, TypeNm, TypeCnt, TypeBW, ImportID "
                        "from MT_TypeExtra where TypeID in ('6', '17')"),
                 QStringList({"6|type 6|7|1|", "17|type 17|6|1|"}));
        QCOMPARE(idsOf(typesOf(w).all()), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
        QCOMPARE(typesOf(w).find(TypeId("17"))->length(), 6);
        QCOMPARE(typesOf(w).find(TypeId("1"))->name, "3x3x3");
        QVERIFY(!typesOf(w).find(TypeId("21")));
        addOne(w, "01", "2");
        addOne(w, "02", "17");
        addOne(w, "03", "21");  // no type: not listed
        QCOMPARE(namesListed(w), "2x2x2,type 17");
        QStringList charted;
        w.program().records->historyChart.rows({}, charted, [](const ChartRow &) {});
        QCOMPARE(charted.size(), 20);
        QCOMPARE(charted.at(1), "type 10");  // by TypeID as text, as the history's order
    }

    // An older copy opens the file: its type editor reads the first five in
    // its order, deletes every row and writes five; its lists join MT_Type;
    // its exit compacts the file. The fifteen other types and their series
    // come through untouched, and the five keep what it wrote.
    void olderCopyEditsItsFive()
    {
        HistoryWorld w;
        typesOf(w).rewrite(manyTypes(w, 20));
        addOne(w, "01", "3");
        addOne(w, "02", "12");
        Database &db = w.db();
        QStringList five;
        {
            Recordset rs(db, "select * from MT_Type order by TypeID");
            for (int i = 0; i < 5; ++i, rs.moveNext()) five << rs.text("TypeNm");
        }
        QCOMPARE(five.join(','), "3x3x3,2x2x2,4x4x4,5x5x5,3x3x3目隠し");
        db.execute("delete from MT_Type");
        {
            TableAppender row(db, "MT_Type");
            for (int i = 0; i < 5; ++i) {
                row.set("TypeID", i + 1);
                row.set("TypeNm", five[i] + " OH");
                row.set("TypeCnt", "5");
                row.set("TypeBW", "0");
                row.update();
            }
        }
        QCOMPARE(rowsOf(db,
                        "select TypeNm from T_Time, MT_Type "
                        "where T_Time.TypeID=MT_Type.TypeID"),
                 QStringList({"4x4x4 OH"}));
        w.program().records.reset();
        QCOMPARE(compactDatabaseFile(w.folder.file("Spinlog.mdb")).failed,
                 CompactOutcome::Failed::Nothing);

        w.program().records = std::make_unique<RecordStores>(
            Database::open(w.folder.file("Spinlog.mdb")), &w.program().settings);
        const std::vector<PuzzleType> types = typesOf(w).all();
        QCOMPARE(idsOf(types), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
        QCOMPARE(types[0].name, "3x3x3 OH");
        QCOMPARE(types[11].name, "type 12");
        QCOMPARE(types[11].length(), 1);
        QCOMPARE(namesListed(w), "4x4x4 OH,type 12");
    }

    // A file written by hand with a sixth row in MT_Type: it is read after
    // the five, and an OK keeps it (beside the five, under its number)
    // instead of dropping it.
    void sixthRowOfMTType()
    {
        HistoryWorld w;
        w.db().execute("insert into MT_Type values ('6', 'Clock', 5, '0')");
        QCOMPARE(idsOf(typesOf(w).beyondFive()), "6");
        typesOf(w).rewrite(typesOf(w).all());
        QCOMPARE(rowsOf(w.db(), "select count(*) from MT_Type"), QStringList({"5"}));
        QCOMPARE(rowsOf(w.db(), "select TypeID, TypeNm from MT_TypeExtra"),
                 QStringList({"6|Clock"}));
    }

    // A new type's number is past every number in use: the types', the
    // saved series' (a type an older copy dropped left them), the settings'
    // list of types without inspection, and those made but not stored.
    void nextFreeNumber()
    {
        HistoryWorld w;
        QCOMPARE(typesOf(w).nextFreeId().text(), "6");
        addOne(w, "01", "9");
        addOne(w, "02", "abc");
        QCOMPARE(typesOf(w).nextFreeId().text(), "10");
        w.program().settings.store(Setting::NoInspection, "5, 14");
        QCOMPARE(typesOf(w).nextFreeId().text(), "15");
        std::vector<PuzzleType> pending = {puzzleTypeOf("30", "x", "5", "0", true)};
        QCOMPARE(typesOf(w).nextFreeId(pending).text(), "31");
    }

    // Taking types out: never one of the five, never one with saved series
    // (its count said); either refusal leaves every table as it was. An
    // import's types go with its undo only while nothing uses them.
    void removals()
    {
        HistoryWorld w;
        typesOf(w).rewrite(manyTypes(w, 8));
        addOne(w, "01", "7");
        const auto tables = [&] {
            return rowsOf(w.db(), "select * from MT_Type") +
                   rowsOf(w.db(), "select * from MT_TypeExtra");
        };
        const QStringList before = tables();
        const std::vector<PuzzleType> all = typesOf(w).all();
        const auto without = [&all](const char *id) {
            std::vector<PuzzleType> rest = all;
            std::erase_if(rest, [id](const PuzzleType &t) { return t.id == TypeId(id); });
            return rest;
        };
        QCOMPARE(failure([&] { typesOf(w).rewrite(without("3"), {TypeId("3")}); }),
                 "最初の5つのタイプは削除できません");
        QCOMPARE(failure([&] { typesOf(w).rewrite(without("7"), {TypeId("7")}); }),
                 "タイプ「type 7」には保存した記録が 1 件あるので削除できません");
        QCOMPARE(tables(), before);
        typesOf(w).rewrite(without("8"), {TypeId("8")});
        QCOMPARE(idsOf(typesOf(w).all()), "1 2 3 4 5 6 7");

        typesOf(w).addImported(
            {puzzleTypeOf("20", "a", "5", "0", true), puzzleTypeOf("21", "b", "5", "0", true),
             puzzleTypeOf("22", "c", "5", "0", true)},
            "mark");
        addOne(w, "02", "21");
        // 21 holds a series, 22 has one under way, 6 was made in the options.
        QCOMPARE(typesOf(w).removeImported("mark", TypeId("22")), 1);
        QCOMPARE(idsOf(typesOf(w).all()), "1 2 3 4 5 6 7 21 22");
        QCOMPARE(typesOf(w).removeImported("", std::nullopt), 0);
    }

    // The statistics and the export open the file read-only: a file that
    // never had a sixth type has no table for them, and reads as five.
    void readOnlyWithoutTheTable()
    {
        TempAppFolder folder;
        auto db = Database::open(folder.file("Spinlog.mdb"), kDatabaseKey, Access::ReadOnly);
        PuzzleTypeStore store(*db);
        QCOMPARE(idsOf(store.all()), "1 2 3 4 5");
        QVERIFY(store.beyondFive().empty());
        QVERIFY(!store.find(TypeId("6")));
        QCOMPARE(everyTypeRow(*db).from, "MT_Type as Types");
    }
};

SPINLOG_TEST(TypeStoreTest)
#include "tst_type_store.moc"
