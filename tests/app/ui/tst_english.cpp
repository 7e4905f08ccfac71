// With English chosen, every window and dialog a user opens, the boxes met on
// the way and the command line's texts show no Japanese character, outside
// the user's own data (the delivered type 3x3x3目隠し).

#include "app/command_line.h"
#include "app/language.h"
#include "app/mdb.h"
#include "app/ui/startup.h"
#include "history/ui/import_prompts.h"
#include "interop/history_importer.h"
#include "main_window/ui/main_window.h"
#include "support/history_world.h"
#include "support/test_main.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QChartView>
#include <QDialog>
#include <QGroupBox>
#include <QLegendMarker>
#include <QTableView>
#include <QTimer>
#include <QTranslator>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// What the windows open now show, with the user's data left out.
QStringList shownTexts()
{
    QStringList texts;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        texts << window->windowTitle();
        for (QWidget *w : window->findChildren<QWidget *>()) {
            texts << w->toolTip();
            if (auto *label = qobject_cast<QLabel *>(w))
                texts << label->text();
            if (auto *button = qobject_cast<QAbstractButton *>(w))
                texts << button->text();
            if (auto *frame = qobject_cast<QGroupBox *>(w))
                texts << frame->title();
            if (auto *list = qobject_cast<QComboBox *>(w))
                for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
            if (auto *table = qobject_cast<QTableView *>(w); table && table->model())
                for (auto [count, side] : {std::pair(table->model()->columnCount(), Qt::Horizontal),
                                           std::pair(table->model()->rowCount(), Qt::Vertical)})
                    for (int i = 0; i < count; ++i)
                        texts << table->model()->headerData(i, side).toString();
            if (auto *view = qobject_cast<QChartView *>(w)) {
                texts << view->chart()->title();
                for (QAbstractAxis *axis : view->chart()->axes()) texts << axis->titleText();
                for (QLegendMarker *marker : view->chart()->legend()->markers())
                    texts << marker->label();
            }
        }
        for (QAction *action : window->findChildren<QAction *>())
            texts << action->text() << action->toolTip();
    }
    return texts;
}

QStringList japaneseIn(QStringList texts)
{
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    texts.replaceInStrings(QStringLiteral("3x3x3目隠し"), QString());
    return texts.filter(japanese);
}

// Triggers the actions (or clicks the buttons) of PATH, each in the window the
// one before opened, if it opened one (modal ones run their own loop), and
// notes what shows once the last is done.
void walk(QWidget *window, QStringList path, QStringList &shown)
{
    if (path.isEmpty()) {
        shown << shownTexts();
        return;
    }
    QObject *control = window->findChild<QObject *>(path.takeFirst());
    QVERIFY(control);
    bool modal = false;
    QTimer::singleShot(0, window, [&] {
        if (QWidget *opened = QApplication::activeModalWidget(); opened && opened != window) {
            modal = true;
            walk(opened, path, shown);
            opened->close();
        }
    });
    if (auto *action = qobject_cast<QAction *>(control))
        action->trigger();
    else
        static_cast<QAbstractButton *>(control)->click();
    QCoreApplication::processEvents();
    if (!modal)
        walk(window, path, shown);
}

}  // namespace

class EnglishTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowInEnglish()
    {
        HistoryWorld w;
        w.seedThree();
        w.folder.write("Spinlog.ini", "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\nLanguage=en\r\n");
        std::unique_ptr<QTranslator> english(useChosenLanguage(w.folder.path()));
        QVERIFY(english);
        w.program().settings.load();
        std::unique_ptr<frmMain> main = makeMainWindow(w.program());
        main->show();
        // Paths of actions from the main window; "--" rows are command lines.
        const QStringList rows[] = {{},
                                    {"M_File1"},
                                    {"M_File1", "M_File4"},
                                    {"M_File2"},
                                    {"M_Tool1", "M_RightClickSolves", "cmdComment"},
                                    {"M_Tool1", "M_File4"},
                                    {"M_ToolStats"},
                                    {"M_Tool3", "cmdAddType"},
                                    {"M_ToolScramble"},
                                    {"M_Help1"},
                                    {"M_Help4"},
                                    {"M_Tool1", "M_Edit2"},
                                    {"--help"},
                                    {"--bogus"},
                                    {"--scramble", "nothing"},
                                    {"--stats", "9"},
                                    {"import"}};
        for (const QStringList &row : rows) {
            QStringList shown;
            if (row.value(0).startsWith("--")) {
                QBuffer out, err;
                out.open(QIODevice::WriteOnly);
                err.open(QIODevice::WriteOnly);
                runCommandLine(row, out, err, w.folder.path(), CopyKind::Portable);
                shown << QString::fromUtf8(out.data() + err.data());
            } else if (row.value(0) == "import") {
                HistoryImporter importer(w.history(), w.program().records->types);
                HistoryImport plan = importer.plan(readHistoryBytes(twelveSolves("A")));
                std::unique_ptr<QDialog> preview = makeImportPreview(nullptr, plan, {});
                preview->show();
                shown << shownTexts();
            } else {
                walk(main.get(), row, shown);
            }
            shown << w.prompts().texts() << w.prompts().inputShown;
            QVERIFY2(japaneseIn(shown).isEmpty(),
                     qPrintable(row.join(" > ") + ": " + japaneseIn(shown).join(" | ")));
        }
        main->close();
    }
};

SPINLOG_TEST(EnglishTest)
#include "tst_english.moc"
