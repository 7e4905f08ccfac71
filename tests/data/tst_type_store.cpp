// The puzzle types beyond the fifth in a real database: where they are kept,
// their order, what an older copy's own statements leave of them, new
// numbers, and the types an import makes and takes back.

#include "data/compaction.h"
#include "data_support.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// The delivered five, then types 6 to COUNT named "type N", N % 12 + 1 solves.
void storeManyTypes(HistoryWorld &w, int count)
{
    PuzzleTypeStore &store = w.program().records->types;
    std::vector<PuzzleType> types = store.all();
    for (int n = 6; n <= count; ++n)
        types.push_back(puzzleTypeOf(store.nextFreeId(types).text(), QString("type %1").arg(n),
                                     QString::number(n % 12 + 1), "1", true));
    store.rewrite(types);
}

QString ids(HistoryWorld &w)
{
    QStringList ids;
    for (const PuzzleType &type : w.program().records->types.all()) ids << type.id.text();
    return ids.join(' ');
}

// The type names of the history list, every type by date.
QStringList listedNames(HistoryWorld &w)
{
    const HistoryList &list = w.program().records->historyList;
    const QString sql = list.listStatement({}, HistoryOrder::DateAscending);
    return rowsOf(w.db(), "select TypeNm from (" + sql + ")");
}

void addOne(HistoryWorld &w, const char *day, const char *type)
{
    addSeries(w.db(), {QString("2024/01/%1 10:00:00").arg(day), type, {"10.00"}, "10.00"});
}

const QString kTwenty = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20";

}  // namespace

class TypeStoreTest : public QObject {
    Q_OBJECT
private slots:
    // MT_Type keeps five rows, the others a table of their own, read by
    // number (10 after 9) and charted. An older copy's editor reads five,
    // deletes every row and writes five; its list joins MT_Type; its exit
    // compacts. The others and their series come through untouched.
    void olderCopyEditsItsFive()
    {
        HistoryWorld w;
        storeManyTypes(w, 20);
        addOne(w, "01", "3");
        addOne(w, "02", "12");
        Database &db = w.db();
        QCOMPARE(rowsOf(db, "select TypeID from MT_Type order by rowid").join(' '), "1 2 3 4 5");
        QCOMPARE(rowsOf(db, "select * from MT_TypeExtra where TypeID='17'"),
                 QStringList("17|type 17|6|1|"));
        QCOMPARE(listedNames(w), QStringList({"4x4x4", "type 12"}));
        QStringList charted;
        w.program().records->historyChart.rows({}, charted, [](const ChartRow &) {});
        QCOMPARE(charted.at(1), "type 10");  // by TypeID as text, as the history's order
        QStringList five = rowsOf(db, "select TypeNm from MT_Type order by TypeID limit 5");
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
        QCOMPARE(
            rowsOf(db, "select TypeNm from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID"),
            QStringList("4x4x4 OH"));
        w.program().records.reset();
        QCOMPARE(compactDatabaseFile(w.folder.file("Spinlog.mdb")).failed,
                 CompactOutcome::Failed::Nothing);

        w.program().records =
            std::make_unique<RecordStores>(Database::open(w.folder.file("Spinlog.mdb")));
        QCOMPARE(ids(w), kTwenty);
        QCOMPARE(w.program().records->types.find(TypeId("12"))->length(), 1);
        QCOMPARE(listedNames(w), QStringList({"4x4x4 OH", "type 12"}));
    }

    // A new number is past those of the types, the saved series (of a type
    // dropped by hand), the types without inspection and those not stored.
    // Never one of the five is removed, nor one with saved series; a refusal
    // changes nothing. An import's types go with its undo while unused.
    void numbersAndRemovals()
    {
        HistoryWorld w;
        PuzzleTypeStore &store = w.program().records->types;
        storeManyTypes(w, 8);
        addOne(w, "01", "7");
        const QString tables = "select *, '' from MT_Type union all select * from MT_TypeExtra";
        const QStringList before = rowsOf(w.db(), tables);
        const std::vector<PuzzleType> all = store.all();
        const auto without = [&all](const char *id) {
            std::vector<PuzzleType> rest = all;
            std::erase_if(rest, [id](const PuzzleType &t) { return t.id == TypeId(id); });
            return rest;
        };
        QCOMPARE(failure([&] { store.rewrite(without("3"), {TypeId("3")}); }),
                 "最初の5つのタイプは削除できません");
        QCOMPARE(failure([&] { store.rewrite(without("7"), {TypeId("7")}); }),
                 "タイプ「type 7」には保存した記録が 1 件あるので削除できません");
        QCOMPARE(rowsOf(w.db(), tables), before);
        store.rewrite(without("8"), {TypeId("8")});
        QCOMPARE(ids(w), "1 2 3 4 5 6 7");
        // A solve kept without a series holds its type as a series does.
        w.db().execute(
            "insert into T_Solve (SolveID, TypeID, TimeMs, Penalty, Moment) values "
            "(16001, '6', 9000, 0, 0), (16002, '50', 9000, 0, 0)");
        QCOMPARE(failure([&] { store.rewrite(without("6"), {TypeId("6")}); }),
                 "タイプ「type 6」には保存した記録が 1 件あるので削除できません");

        store.addImported(
            {puzzleTypeOf("20", "a", "5", "0", true), puzzleTypeOf("21", "b", "5", "0", true),
             puzzleTypeOf("22", "c", "5", "0", true)},
            "mark");
        addOne(w, "02", "21");
        // 21 holds a series, 22 has one under way, 6 was made in the options.
        QCOMPARE(store.removeImported("mark", TypeId("22")), 1);
        QCOMPARE(ids(w), "1 2 3 4 5 6 7 21 22");
        QCOMPARE(store.nextFreeId().text(), "51");
        w.db().execute("delete from T_Solve");
        QCOMPARE(store.nextFreeId().text(), "23");
        addOne(w, "03", "40");
        addOne(w, "04", "abc");
        QCOMPARE(store.nextFreeId().text(), "41");
        w.program().settings.store(Setting::NoInspection, "5, 44");
        QCOMPARE(store.nextFreeId({puzzleTypeOf("42", "x", "5", "0", true)}).text(), "45");
    }
};

SPINLOG_TEST(TypeStoreTest)
#include "tst_type_store.moc"
