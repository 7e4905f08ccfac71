// Importing and exporting from the history window as a new user would: a
// csTimer file of 12 solves whose session the user sends to the 5-solve
// type, its preview, the list, the undo; a cancel and a broken file that
// change nothing; the csTimer file written from the list.

#include "history/ui/history_window.h"
#include "support/history_world.h"
#include "support/test_main.h"
#include "widgets/grid.h"

#include <QAction>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Answers the import's dialogs from a script.
struct FakeImportPrompts : ImportPrompts {
    std::optional<QString> file;
    const char *chooseType = nullptr;  // sends every session to the type of this TypeID
    int cancelAt = -1;                 // the progress cancels from this count
    QString previewed;

    std::optional<QString> openFile(QWidget *) override { return file; }
    bool preview(QWidget *, const HistoryImport &plan, const ChooseSessionType &choose) override
    {
        if (chooseType)
            for (std::size_t s = 0; s < plan.sessions().size(); ++s)
                choose(int(s), TypeId(chooseType));
        previewed = importSummary(plan);
        return true;
    }
    ImportProgress progress(QWidget *) override
    {
        return [this](int done, int) { return cancelAt < 0 || done < cancelAt; };
    }
};

HistoryWindowParts partsOf(HistoryWorld &w)
{
    RecordStores &r = *w.program().records;
    return {r.history, r.historyList,        r.historyChart, r.historyExport,
            r.types,   w.program().settings, w.prompts(),    w.program().reporter};
}

struct View : frmView {
    View(HistoryWorld &w, FakeImportPrompts &prompts) : frmView(partsOf(w))
    {
        setImportPrompts(prompts);
    }
    int rows() { return findChild<Grid *>("vsFlex")->model()->rowCount(); }
    void trigger(const char *name) { findChild<QAction *>(name)->trigger(); }
};

}  // namespace

class HistoryImportTest : public QObject {
    Q_OBJECT
private slots:
    void newUserImportsAndUndoes()
    {
        HistoryWorld w;
        w.folder.write("cstimer.txt", twelveSolves("OH"));
        FakeImportPrompts prompts;
        prompts.file = w.folder.file("cstimer.txt");
        prompts.chooseType = "1";  // no type is called OH: the user picks 3x3x3
        View view(w, prompts);
        view.trigger("M_FileImport");
        QVERIFY2(prompts.previewed.contains("「OH」→ 3x3x3: 12 回（+2 0、DNF 0）、2 件の記録、重複 "
                                            "0 回、記録に入らない回 2 回"),
                 qPrintable(prompts.previewed));
        QCOMPARE(prompts.previewed.count("記録に入らない回: "), 2);
        QCOMPARE(view.rows(), 2);
        // The last two solves are kept without a series.
        QCOMPARE(w.prompts().texts().last(),
                 "2 件の記録を追加しました（重複 0 回は追加していません）。\r\n"
                 "記録に入らない回 2 回も追加しました。");
        QCOMPARE(countRows(w.db(), "", "T_Solve"), 12);
        w.prompts().answers = {Answer::Yes};
        view.trigger("M_FileUndoImport");
        QVERIFY(w.prompts().texts().last().endsWith(
            "の取り込み（記録 2 件、記録に入らない回 2 回）を元に戻します、よろしいですか"));
        QCOMPARE(view.rows(), 0);
        QCOMPARE(countRows(w.db(), "", "T_Solve"), 0);
        view.trigger("M_FileUndoImport");
        QCOMPARE(w.prompts().texts().last(), "元に戻す取り込みがありません");
    }

    void cancelAndBrokenFileChangeNothing()
    {
        HistoryWorld w;
        w.seedThree();
        w.folder.write("cstimer.txt", twelveSolves("3x3x3"));
        w.folder.write("broken.txt", twelveSolves("3x3x3").left(100));
        FakeImportPrompts prompts;
        prompts.file = w.folder.file("cstimer.txt");
        prompts.cancelAt = 1;
        View view(w, prompts);
        view.trigger("M_FileImport");
        QCOMPARE(w.prompts().texts().last(), "取り込みを中止しました。何も追加していません");
        prompts.file = w.folder.file("broken.txt");
        view.trigger("M_FileImport");
        QVERIFY(
            w.prompts().texts().last().startsWith("取り込みエラー\r\nbroken.txt: 1行 101文字目: "));
        QCOMPARE(view.rows(), 3);
        QCOMPARE(countRows(w.db()), 3);
    }

    void listWrittenForCsTimer()
    {
        HistoryWorld w;
        w.seedThree();
        FakeImportPrompts prompts;
        View view(w, prompts);
        w.prompts().saveFiles = {w.folder.file("out.txt")};
        view.trigger("M_FileCsTimer");
        QCOMPARE(w.prompts().texts().last(), "2 セッション、3 件の記録（15 回）を出力しました");
        QVERIFY(w.folder.read("out.txt").startsWith("{\"session1\":[[[0,20000],\"\",\"\","));
    }
};

SPINLOG_TEST(HistoryImportTest)
#include "tst_history_import.moc"
