// Importing and exporting from the history window as a new user would: a
// csTimer file of 12 solves whose session the user sends to the 5-solve
// type, its preview, the list, the undo; a cancel and a broken file that
// change nothing; the csTimer file written from the list.

#include "history/ui/history_window.h"
#include "support/history_world.h"
#include "support/test_main.h"
#include "widgets/grid.h"

#include "history/ui/import_prompts.h"
#include "session/series_rules.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Answers the import's dialogs from a script.
struct FakeImportPrompts : ImportPrompts {
    std::optional<QString> file;
    const char *chooseType = nullptr;  // sends every session to the type of this TypeID
    int newLength = 0;                 // sends every session to a new type of this length
    int cancelAt = -1;                 // the progress cancels from this count
    QString previewed;

    std::optional<QString> openFile(QWidget *) override { return file; }
    bool preview(QWidget *, const HistoryImport &plan, const ChooseSessionType &choose) override
    {
        for (std::size_t s = 0; (chooseType || newLength) && s < plan.sessions().size(); ++s)
            choose(int(s),
                   {chooseType ? std::optional(TypeId(chooseType)) : std::nullopt, newLength});
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

// A row of the preview's table, its cells joined by "|".
QString rowText(const QAbstractItemModel *rows, int r)
{
    QStringList cells;
    for (int c = 0; c < rows->columnCount(); ++c) cells << rows->index(r, c).data().toString();
    return cells.join('|');
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

    // A session sent to a new type of 6 solves: made and listed at once;
    // the undo says so and takes it back.
    void importMakesATypeTheUndoTakesBack()
    {
        HistoryWorld w;
        w.folder.write("cstimer.txt", twelveSolves("Skewb"));
        FakeImportPrompts prompts;
        prompts.file = w.folder.file("cstimer.txt");
        prompts.newLength = 6;
        View view(w, prompts);
        view.trigger("M_FileImport");
        QCOMPARE(view.rows(), 2);
        QCOMPARE(view.findChild<QComboBox *>("cmbType")->itemText(6), "Skewb");
        QCOMPARE(rowsOf(w.db(), "select TypeID, TypeNm, TypeCnt, TypeBW from MT_TypeExtra"),
                 QStringList("6|Skewb|6|0"));
        // Its type refused at the undo: nothing is taken back.
        w.db().execute(
            "create trigger refuse before delete on MT_TypeExtra "
            "begin select raise(abort, 'refused'); end");
        w.prompts().answers = {Answer::Yes, Answer::Yes};
        view.trigger("M_FileUndoImport");
        QCOMPARE(w.prompts().texts().last(), "取り込み取り消しエラー\r\nrefused");
        QCOMPARE(view.rows(), 2);
        w.db().execute("drop trigger refuse");
        view.trigger("M_FileUndoImport");
        QVERIFY(w.prompts().texts().last().endsWith(
            "の取り込み（記録 2 件、作ったタイプ 1 個）を元に戻します、よろしいですか"));
        QCOMPARE(view.findChild<QComboBox *>("cmbType")->count(), 6);
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

    // The desktop's preview of a file of 3 000 sessions, a third of them
    // csTimer's empty ones: a row for each session with solves, made as the
    // view shows it (no drop-down until one is edited), the empty ones
    // counted in one line; a session sent elsewhere and back counts its
    // duplicates again, and the totals follow.
    void previewOfManySessions()
    {
        HistoryWorld w;
        w.db().execute("update MT_Type set TypeCnt=1 where TypeID='1'");
        QByteArray file = "{", names;
        for (int s = 1; s <= 3000; ++s) {
            const QByteArray n = QByteArray::number(s);
            file += "\"session" + n + "\":[";
            if (s % 3 != 0)
                file += "[[0," + QByteArray::number(1000 + 10 * s) + "],\"\",\"\"," +
                        QByteArray::number(1700000000 + s) + "]";
            file += "],";
            names +=
                (s > 1 ? "," : "") + QByteArray("\\\"") + n + "\\\":{\\\"name\\\":\\\"3x3x3\\\"}";
        }
        file += "\"properties\":{\"sessionData\":\"{" + names + "}\"}}";
        w.history().add(seriesOfAttempts(dateTimeText(1700000001000), TypeId("1"),
                                         {{101, Penalty::None}},
                                         AverageRule::LeaveOutBestWorst));  // session 1's 1010 ms
        HistoryImporter importer(w.history(), w.program().records->types);
        HistoryImport import = importer.plan(readHistoryBytes(file));
        const ChooseSessionType choose = [&](int session, const SessionTarget &target) {
            importer.choose(import, session, target);
        };
        const std::unique_ptr<QDialog> dialog = makeImportPreview(nullptr, import, choose);
        dialog->show();
        auto *table = dialog->findChild<QTableView *>("previewTable");
        QAbstractItemModel *rows = table->model();
        const auto row = [rows](int r) { return rowText(rows, r); };
        const auto totals = [&dialog] {
            return dialog->findChild<QPlainTextEdit *>("previewSummary")->toPlainText();
        };
        QCOMPARE(rows->rowCount(), 2000);
        QCOMPARE(row(0), "3x3x3|1|0|0|3x3x3（1回）||0|1|0");
        QCOMPARE(row(1999), "3x3x3|1|0|0|3x3x3（1回）||1|0|0");
        QVERIFY(dialog->findChildren<QComboBox *>().isEmpty());
        QCOMPARE(totals(),
                 "csTimer の記録: 3000 セッション\n回のないセッション 1000 個は取り込みません\n"
                 "作る記録 1999 件、記録に入らない回 0 回（重複 1 回は追加しません）、"
                 "取り込まない回 0 回\n");
        // Left out through its drop-down, as a user does, then sent back.
        table->edit(rows->index(0, 4));
        auto *choice = dialog->findChild<QComboBox *>();
        QVERIFY(choice);
        choice->setCurrentIndex(0);
        emit choice->activated(0);
        QCOMPARE(row(0), "3x3x3|1|0|0|（取り込まない）||0|0|0");
        QVERIFY(
            totals().contains("作る記録 1999 件、記録に入らない回 0 回（重複 0 "
                              "回は追加しません）、取り込まない回 1 回"));
        QVERIFY(rows->setData(rows->index(0, 4), 1, Qt::EditRole));
        QCOMPARE(row(0), "3x3x3|1|0|0|3x3x3（1回）||0|1|0");
        QCOMPARE(import.run(w.history(), "mark", {})->added, 1999);
    }

    // Only a session no type is named after offers a new type; its length
    // is chosen in its row (5 until then) and the type made of it.
    void previewOffersANewType()
    {
        HistoryWorld w;
        QByteArray file = twelveSolves("Skewb");
        file.insert(1, "\"session2\":[[[0,9000],\"\",\"\",1600000000]],");
        file.replace("{\\\"1\\\":{",
                     "{\\\"2\\\":{\\\"name\\\":\\\"3x3x3\\\"},"
                     "\\\"1\\\":{");
        HistoryImporter importer(w.history(), w.program().records->types);
        HistoryImport import = importer.plan(readHistoryBytes(file));
        const ChooseSessionType choose = [&](int session, const SessionTarget &target) {
            importer.choose(import, session, target);
        };
        const std::unique_ptr<QDialog> dialog = makeImportPreview(nullptr, import, choose);
        dialog->show();
        auto *table = dialog->findChild<QTableView *>("previewTable");
        QAbstractItemModel *rows = table->model();
        // Picks an entry (-1: the last) of a cell's drop-down; its last entry back.
        const auto pick = [&](int r, int column, int entry) {
            table->edit(rows->index(r, column));
            auto *box = dialog->findChild<QComboBox *>();
            const QString last = box->itemText(box->count() - 1);
            box->setCurrentIndex(entry < 0 ? box->count() - 1 : entry);
            emit box->activated(box->currentIndex());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the editor
            return last;
        };
        QCOMPARE(rowText(rows, 0), "Skewb|12|0|0|（取り込まない）||0|0|0");
        QCOMPARE(pick(1, 4, 1), "3x3x3目隠し（3回）");  // no new type for 3x3x3
        QCOMPARE(pick(0, 4, -1), "新しいタイプとして取り込む");
        QCOMPARE(rowText(rows, 0), "Skewb|12|0|0|新しいタイプとして取り込む|5|2|0|2");
        QCOMPARE(pick(0, 5, 3), "12");  // 4 solves a series
        QCOMPARE(rowText(rows, 0), "Skewb|12|0|0|新しいタイプとして取り込む|4|3|0|0");
        QVERIFY(dialog->findChild<QPlainTextEdit *>("previewSummary")
                    ->toPlainText()
                    .contains("作る記録 3 件"));
        QVERIFY(importer.run(import, QDateTime::currentDateTime()));
        QCOMPARE(rowsOf(w.db(), "select TypeID, TypeNm, TypeCnt, TypeBW from MT_TypeExtra"),
                 QStringList("6|Skewb|4|0"));
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
