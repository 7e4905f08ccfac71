// The options dialog driven as a user would: keys into the time boxes,
// clicks on the type grid and the buttons, boxes answered by the fake.

#include "data/database.h"
#include "options/ui/options_dialog.h"
#include "options/ui/type_editor.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <memory>

using namespace spinlog;

namespace {

const QByteArray kIni = "[Main]\r\nLeft=4000\r\n[Option]\r\nCntDownTm=15\r\nAlarmTm=30\r\n";

// A program in a fresh application folder, settings file written, database open.
struct World {
    World()
    {
        folder.write(QStringLiteral("Spinlog.ini"), kIni);
        fake.program.gDB = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
    }
    Database &db() { return *fake.program.gDB; }
    QByteArray file(const char *name) const { return folder.read(QString::fromLatin1(name)); }
    QStringList types()
    {
        QStringList rows;
        for (Recordset rs(db(),
                          QStringLiteral("select TypeID || ' ' || TypeNm || ' ' || TypeCnt "
                                         "|| ' ' || TypeBW as r from MT_Type order by TypeID"));
             !rs.eof(); rs.moveNext())
            rows << rs.text(QStringLiteral("r"));
        return rows;
    }
    QStringList boxes() const { return fake.prompts.texts(); }

    test::TempAppFolder folder;
    test::FakeWorld fake{folder.path()};
};

std::unique_ptr<frmOption> open(World &world, QWidget *parent = nullptr)
{
    auto dialog = std::make_unique<frmOption>(world.fake.program, parent);
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        qWarning("the dialog did not become active");
    return dialog;
}

void clickCell(Grid *grid, int row, int col)
{
    const QPoint at = grid->visualRect(grid->model()->index(row - 1, col)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
}

void clickOK(frmOption &dialog)
{
    QTest::mouseClick(dialog.cmdOK(), Qt::LeftButton);
}
QWidget *focused()
{
    return QApplication::focusWidget();
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void layoutFocusAndAccessKeys()
    {
        World world;
        QMainWindow main;
        main.setGeometry(300, 200, 500, 400);
        main.show();
        auto dialog = open(world, &main);
        QCOMPARE(dialog->size(), QSize(256, 378));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QCOMPARE(dialog->frameGeometry().center(), main.frameGeometry().center());
        QCOMPARE(dialog->vsFlex()->geometry(), twipsRect(135, 300, 3390, 1380));

        // Opens on OK; Tab follows the fixed order; access keys only focus.
        QCOMPARE(focused(), dialog->cmdOK());
        for (QWidget *next : {(QWidget *)dialog->cmdCancel(), (QWidget *)dialog->txtTime(0),
                              (QWidget *)dialog->txtTime(1), (QWidget *)dialog->cmdColor(0),
                              (QWidget *)dialog->cmdColor(1), (QWidget *)dialog->cmdColor(2),
                              (QWidget *)dialog->vsFlex(), (QWidget *)dialog->cmdOK()}) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QCOMPARE(focused(), next);
        }
        const std::pair<Qt::Key, QWidget *> keys[] = {{Qt::Key_C, dialog->txtTime(0)},
                                                      {Qt::Key_A, dialog->txtTime(1)},
                                                      {Qt::Key_N, dialog->cmdColor(0)},
                                                      {Qt::Key_B, dialog->cmdColor(1)},
                                                      {Qt::Key_W, dialog->cmdColor(2)}};
        for (const auto &[key, target] : keys) {
            QTest::keyClick(dialog.get(), key, Qt::AltModifier);
            QCOMPARE(focused(), target);
        }
        QCOMPARE(world.fake.prompts.colorRequests, 0);
    }

    // Editing keys work as in any text box (Delete arrives as U+007F here);
    // text committed by an input method is filtered as typed text is.
    void editingKeysAndInputMethods()
    {
        World world;
        auto dialog = open(world);
        QLineEdit *countdown = dialog->txtTime(0);
        QTest::keyClick(dialog.get(), Qt::Key_C, Qt::AltModifier);
        QTest::keyClick(countdown, Qt::Key_Home);
        QTest::simulateEvent(countdown, true, Qt::Key_Delete, {}, QString(QChar(0x7f)), false);
        QCOMPARE(countdown->text(), QStringLiteral("5"));
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("１かA２"));
        QApplication::sendEvent(countdown, &committed);
        QCOMPARE(countdown->text(), QStringLiteral("125"));
        clickOK(*dialog);
        QCOMPARE(world.fake.program.settings.text(Setting::CntDownTm), QStringLiteral("125"));
    }

    void typingTheCountdownAndPressingOK()
    {
        World world;
        auto dialog = open(world);
        QLineEdit *countdown = dialog->txtTime(0);
        countdown->clear();
        countdown->setFocus();
        QTest::keyClicks(countdown, QStringLiteral("0a1 -.5"));
        QTest::keyClick(countdown, Qt::Key_Return);  // neither typed nor OK
        QTest::keyClick(countdown, Qt::Key_Escape);
        QTest::keyClick(dialog->cmdOK(), Qt::Key_Return);
        QTest::keyClick(dialog->cmdCancel(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QCOMPARE(countdown->text(), QStringLiteral("015"));
        QTest::keyClicks(countdown, QStringLiteral("99"));
        QTest::keyClick(countdown, Qt::Key_Backspace);
        QCOMPARE(countdown->text(), QStringLiteral("015"));  // four at most

        world.fake.prompts.colors = {std::nullopt, 0x00FF8040u};
        QTest::mouseClick(dialog->cmdColor(1), Qt::LeftButton);  // cancelled: quiet
        QCOMPARE(dialog->previewColor(1), 16744576u);
        QTest::mouseClick(dialog->cmdColor(1), Qt::LeftButton);
        clickOK(*dialog);

        QVERIFY(!dialog->isVisible());
        QVERIFY(world.boxes().isEmpty());
        const auto &s = world.fake.program.settings;
        QCOMPARE(QStringList({s.text(Setting::CntDownTm), s.text(Setting::AlarmTm),
                              s.text(Setting::DefColor), s.text(Setting::BestColor),
                              s.text(Setting::WorstColor)}),
                 QStringList({"015", "30", "14671839", "16744512", "8421631"}));
        // Replaced in place, the new keys after them in the order written.
        QCOMPARE(world.file("Spinlog.ini"),
                 QByteArray("[Main]\r\nLeft=4000\r\n[Option]\r\nCntDownTm=015\r\nAlarmTm=30\r\n"
                            "DefColor=14671839\r\nBestColor=16744512\r\nWorstColor=8421631\r\n"));
    }

    void failedChecksStoreNothing()
    {
        World world;
        const QStringList types = world.types();
        auto dialog = open(world);
        world.fake.prompts.colors = {0x123456u};
        QTest::mouseClick(dialog->cmdColor(0), Qt::LeftButton);

        // Both boxes wrong (the alarm one pasted): only the countdown's message.
        dialog->txtTime(0)->clear();
        dialog->txtTime(1)->setText(QStringLiteral("1a"));
        clickOK(*dialog);
        QCOMPARE(world.boxes(),
                 QStringList{QStringLiteral("カウントダウン時間に0以上の数値を入力してください")});
        QCOMPARE(world.fake.prompts.boxes.back().icon, Icon::Exclamation);
        QCOMPARE(focused(), dialog->txtTime(0));

        dialog->txtTime(0)->setText(QStringLiteral("0"));
        clickOK(*dialog);
        QCOMPARE(world.boxes().last(),
                 QStringLiteral("アラーム間隔に0以上の数値を入力してください\r\n"
                                "  (アラーム未使用時は0を入力してください)"));
        QCOMPARE(focused(), dialog->txtTime(1));
        QCOMPARE(dialog->txtTime(1)->selectedText(), QStringLiteral("1a"));

        // Rows 2 and 4 leave out best and worst of two solves: one message,
        // for row 2, with its count cell current.
        dialog->txtTime(1)->setText(QStringLiteral("-0"));
        Grid *grid = dialog->vsFlex();
        grid->setTextMatrix(2, 2, QStringLiteral("2"));
        grid->setTextMatrix(4, 2, QStringLiteral("2"));
        clickOK(*dialog);
        QCOMPARE(world.boxes().size(), 3);
        QCOMPARE(world.boxes().last(), kTypeCountMessage);
        QCOMPARE(focused(), grid);
        QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(2, 2));

        QVERIFY(dialog->isVisible());
        QCOMPARE(world.file("Spinlog.ini"), kIni);
        QCOMPARE(world.types(), types);
        QCOMPARE(world.fake.program.settings.text(Setting::DefColor), QStringLiteral("14671839"));
    }

    void cancelAndCloseBoxStoreNothing()
    {
        World world;
        const QStringList types = world.types();
        for (bool closeBox : {false, true}) {
            auto dialog = open(world);
            QTest::keyClicks(dialog->txtTime(0), QStringLiteral("9"));
            world.fake.prompts.colors = {0x0000FFu};
            QTest::mouseClick(dialog->cmdColor(2), Qt::LeftButton);
            dialog->vsFlex()->setTextMatrix(1, 1, QStringLiteral("renamed"));
            if (closeBox)
                dialog->close();
            else
                QTest::mouseClick(dialog->cmdCancel(), Qt::LeftButton);
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        }
        QCOMPARE(world.fake.program.settings.text(Setting::WorstColor), QStringLiteral("8421631"));
        QCOMPARE(world.file("Spinlog.ini"), kIni);
        QCOMPARE(world.types(), types);
        auto again = open(world);
        QCOMPARE(again->txtTime(0)->text(), QStringLiteral("15"));
        QCOMPARE(again->previewColor(2), 8421631u);
    }

    void editingTypesByClicks()
    {
        World world;
        world.db().execute(QStringLiteral("update MT_Type set TypeID = TypeID * 2"));
        world.db().execute(QStringLiteral("insert into MT_Type values ('9', 'sixth', 5, '1')"));
        auto dialog = open(world);
        Grid *grid = dialog->vsFlex();
        QCOMPARE(grid->textMatrix(0, 3), QStringLiteral("ﾍﾞｽﾄ･ﾜｰｽﾄ"));
        QCOMPARE(grid->textMatrix(1, 0), QStringLiteral("10"));  // TypeID is text
        QCOMPARE(grid->textMatrix(2, 0), QStringLiteral("2"));
        QCOMPARE(grid->colWidth(1),
                 15 * QFontMetrics(dialog->font()).horizontalAdvance(QString(8, QChar(0x3042))));
        QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(1, 1));

        clickCell(grid, 3, 0);  // No. never edits
        QVERIFY(!grid->activeEditor());
        clickCell(grid, 2, 1);
        auto *name = qobject_cast<QLineEdit *>(grid->activeEditor());
        QVERIFY(name);
        for (QChar ch : QString(21, QChar(0x3042)))
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(ch), {});
        clickCell(grid, 2, 2);
        auto *count = qobject_cast<QComboBox *>(grid->activeEditor());
        QVERIFY(count && !count->isEditable());
        QCOMPARE(count->itemText(11), QStringLiteral("12"));
        QTest::keyClick(count, Qt::Key_End);
        clickCell(grid, 3, 3);
        auto *bw = qobject_cast<QComboBox *>(grid->activeEditor());
        QCOMPARE(bw->count(), 2);
        QTest::keyClick(bw, Qt::Key_Up);
        clickOK(*dialog);

        QVERIFY(!dialog->isVisible());
        QCOMPARE(world.types(),
                 QStringList({"1 3x3x3目隠し 3 1", "2 " + QString(20, QChar(0x3042)) + " 12 0",
                              "3 2x2x2 5 1", "4 4x4x4 5 0", "5 5x5x5 5 0"}));
    }

    void loadAndSaveErrors()
    {
        World world;
        world.db().execute(QStringLiteral("delete from MT_Type where TypeID > '3'"));
        auto dialog = open(world);
        QCOMPARE(world.boxes().size(), 1);
        QVERIFY(world.boxes()[0].startsWith(QStringLiteral("フォームロードエラー\r\n")));
        QCOMPARE(dialog->vsFlex()->textMatrix(3, 1), QStringLiteral("4x4x4"));
        QCOMPARE(dialog->vsFlex()->textMatrix(4, 1), QString());
        QVERIFY(world.file("Err.log").contains("[frmOption]-[Form_Load] "));
        // The empty rows fail the type check as an error, before anything is stored.
        clickOK(*dialog);
        QVERIFY(world.boxes().last().startsWith(QStringLiteral("保存エラー\r\n")));
        QCOMPARE(world.file("Spinlog.ini"), kIni);

        // A rewrite failing half way: settings stored, the old types kept.
        World failing;
        const QStringList types = failing.types();
        failing.db().execute(
            QStringLiteral("create trigger fail_third before insert on MT_Type when "
                           "NEW.TypeID = '3' begin select raise(abort, 'disk full'); end"));
        auto second = open(failing);
        second->txtTime(1)->setText(QStringLiteral("45"));
        clickOK(*second);
        QVERIFY(second->isVisible());
        QCOMPARE(failing.boxes(), QStringList{QStringLiteral("保存エラー\r\ndisk full")});
        QVERIFY(failing.file("Err.log").contains("[frmOption]-[cmdOK_Click] disk full"));
        QCOMPARE(failing.types(), types);
        QVERIFY(failing.file("Spinlog.ini").contains("AlarmTm=45\r\n"));
    }
};

SPINLOG_TEST(OptionsDialogTest)
#include "tst_options_dialog.moc"
