// The options dialog driven as a user would: keys into the time boxes,
// clicks on the type grid and the buttons, boxes answered by the fake.

#include "data/record_stores.h"
#include "options/type_table.h"
#include "options/ui/options_dialog.h"
#include "support/history_world.h"
#include "support/test_main.h"
#include "widgets/grid.h"
#include "widgets/grid_cells.h"
#include "widgets/units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

using namespace spinlog;

namespace {

const QByteArray kIni = "[Main]\r\nLeft=4000\r\n[Option]\r\nCntDownTm=15\r\nAlarmTm=30\r\n";

// A program in a fresh application folder, settings file written, database open.
struct World : test::HistoryWorld {
    World()
    {
        folder.write("Spinlog.ini", kIni);
        program().settings.load();
    }
    QStringList types() { return test::rowsOf(db(), "select * from MT_Type"); }
    std::optional<TypeId> underWay;  // the type of a series under way
    QStringList boxes() const { return world.prompts.texts(); }
    std::unique_ptr<frmOption> open(std::vector<LoadedOptions::Input> inputs = {})
    {
        Program &p = program();
        LoadedOptions loaded = loadOptions(p.settings, p.records->types);
        loaded.inputs = std::move(inputs);
        auto dialog = std::make_unique<frmOption>(
            std::move(loaded),
            [&p](const OptionsValue &value) { storeOptions(p.settings, p.records->types, value); },
            typeRecordsOf(p.records->types, [this] { return underWay; }), world.prompts,
            p.reporter);
        dialog->show();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("the dialog did not become active");
        return dialog;
    }
};

void clickCell(Grid *grid, int row, int col)
{
    grid->scrollTo(grid->model()->index(row - 1, col));
    const QPoint at = grid->visualRect(grid->model()->index(row - 1, col)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
}

template <typename T = QWidget>
T *child(const QDialog &dialog, const QString &name)
{
    return dialog.findChild<T *>(name);
}
QLineEdit *timeBox(const QDialog &d, int i)
{
    return child<QLineEdit>(d, QString("txtTime%1").arg(i));
}
QPushButton *button(const QDialog &d, const QString &name)
{
    return child<QPushButton>(d, name);
}
Grid *typeGrid(const QDialog &d)
{
    return child<Grid>(d, "vsFlex");
}
std::uint32_t preview(const QDialog &d, int i)
{
    return bgrFromColor(
        child<QLabel>(d, QString("lblColor%1").arg(i))->palette().color(QPalette::Window));
}
// Picks the nth item of a cell's drop-down, as a user does.
void pick(Grid *grid, int row, int col, int nth)
{
    clickCell(grid, row, col);
    QWidget *list = test::openEditor(*grid);
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 1; i < nth; ++i) QTest::keyClick(list, Qt::Key_Down);
}
// The competition's inspection chosen, the hold, each type's inspection.
QString inspectionShown(const QDialog &d)
{
    QString shown = QString("%1 %2")
                        .arg(child<QRadioButton>(d, "optInspection1")->isChecked())
                        .arg(child<QCheckBox>(d, "chkHoldToStart")->isChecked());
    for (int row = 1; row <= kTypeCount; ++row) shown += ' ' + test::cellText(*typeGrid(d), row, 4);
    return shown;
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    // Only digits, four at most, an input method's text filtered alike;
    // neither Enter nor Escape answers the dialog; a colour's access key only
    // focuses its button; a cancelled colour is quiet.
    void keys()
    {
        World world;
        auto dialog = world.open();
        for (auto [key, index] : {std::pair{Qt::Key_N, 0}, {Qt::Key_B, 1}, {Qt::Key_W, 2}}) {
            QTest::keyClick(dialog.get(), key, Qt::AltModifier);
            QPushButton *colour = button(*dialog, QString("cmdColor%1").arg(index));
            QCOMPARE(QApplication::focusWidget(), colour);
            QVERIFY(!colour->isDown());  // not pressed
        }
        QLineEdit *countdown = timeBox(*dialog, 0);
        countdown->clear();
        countdown->setFocus();
        QInputMethodEvent committed;
        committed.setCommitString("９か０A");
        QApplication::sendEvent(countdown, &committed);
        QTest::keyClicks(countdown, "a -.123");
        QCOMPARE(countdown->text(), QString("9012"));
        for (QWidget *at : {(QWidget *)countdown, (QWidget *)button(*dialog, "cmdOK")})
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(at, key);
        QTest::mouseClick(button(*dialog, "cmdColor1"), Qt::LeftButton);
        QVERIFY(dialog->isVisible() && world.boxes().isEmpty());
        QCOMPARE(preview(*dialog, 1), 16744576u);
    }

    // Each check in turn: its box and the focus on what failed. Neither a
    // failed OK, the close box nor Cancel stores anything.
    void failedChecksCloseAndCancelStoreNothing()
    {
        World world;
        const QStringList types = world.types();
        auto dialog = world.open();
        world.prompts().colors = {0x123456u};
        QTest::mouseClick(button(*dialog, "cmdColor0"), Qt::LeftButton);
        timeBox(*dialog, 0)->clear();
        timeBox(*dialog, 1)->setText("1a");  // pasted
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(world.boxes(), QStringList("カウントダウン時間に0以上の数値を入力してください"));
        QCOMPARE(QApplication::focusWidget(), timeBox(*dialog, 0));
        timeBox(*dialog, 0)->setText("0");
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(world.boxes().last().startsWith("アラーム間隔に0以上の数値を入力してください"));
        QCOMPARE(QApplication::focusWidget(), timeBox(*dialog, 1));
        QCOMPARE(timeBox(*dialog, 1)->selectedText(), QString("1a"));
        timeBox(*dialog, 1)->setText("-0");
        Grid *grid = typeGrid(*dialog);
        pick(grid, 2, 2, 2);
        pick(grid, 4, 2, 2);
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(world.boxes().size(), 3);
        QCOMPARE(world.boxes().last(), typeCountMessage());
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(2, 2));
        dialog->close();

        auto again = world.open();
        QTest::keyClicks(timeBox(*again, 0), "9");
        clickCell(typeGrid(*again), 1, 1);
        QTest::keyClicks(test::openEditor(*typeGrid(*again)), "renamed");
        pick(typeGrid(*again), 1, 4, 2);
        for (Qt::Key key : {Qt::Key_I, Qt::Key_H})
            QTest::keyClick(again.get(), key, Qt::AltModifier);
        QTRY_COMPARE(inspectionShown(*again), QString("1 1 なし あり あり あり なし"));
        QTest::mouseClick(button(*again, "cmdCancel"), Qt::LeftButton);
        QCOMPARE(world.program().settings.text(Setting::DefColor), QString("14671839"));
        QCOMPARE(world.folder.read("Spinlog.ini"), kIni);
        QCOMPARE(world.types(), types);
    }

    // A settings file that cannot be written is a save error under the
    // dialog's own title: the dialog stays open, nothing after it is stored.
    void aSettingThatCannotBeWritten()
    {
        World world;
        const QStringList types = world.types();
        auto dialog = world.open();
        QFile::remove(world.folder.file("Spinlog.ini"));
        QVERIFY(QDir(world.folder.path()).mkdir("Spinlog.ini"));
        clickCell(typeGrid(*dialog), 1, 1);
        QTest::keyClicks(test::openEditor(*typeGrid(*dialog)), "renamed");
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(world.boxes(),
                 QStringList("保存エラー\r\n" + QString::fromLocal8Bit(strerror(EISDIR))));
        QVERIFY(dialog->isVisible());
        QCOMPARE(world.types(), types);
        QCOMPARE(world.program().settings.text(Setting::CntDownTm), QString("15"));
    }

    // The inspection, the hold and each type's inspection as the file holds
    // them ("auto": none for 3x3x3目隠し only), changed by access keys and
    // clicks and stored on OK as the session reads them.
    void inspectionChoices()
    {
        World world;
        auto dialog = world.open();
        QCOMPARE(inspectionShown(*dialog), QString("0 0 あり あり あり あり なし"));
        for (Qt::Key key : {Qt::Key_I, Qt::Key_H})
            QTest::keyClick(dialog.get(), key, Qt::AltModifier);
        pick(typeGrid(*dialog), 2, 4, 2);
        QTRY_COMPARE(inspectionShown(*dialog), QString("1 1 あり なし あり あり なし"));
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(world.folder.read("Spinlog.ini")
                    .endsWith("Inspection=1\r\nHoldToStart=1\r\nNoInspection=2,5\r\n"));

        const QByteArray choices = "Inspection=1\r\nHoldToStart=1\r\nNoInspection= 3,9\r\n";
        world.folder.write("Spinlog.ini", kIni + choices);
        world.program().settings.load();
        dialog = world.open();
        QCOMPARE(inspectionShown(*dialog), QString("1 1 あり あり なし あり あり"));
        for (Qt::Key key : {Qt::Key_D, Qt::Key_H})
            QTest::keyClick(dialog.get(), key, Qt::AltModifier);
        pick(typeGrid(*dialog), 3, 4, 1);
        QTRY_COMPARE(inspectionShown(*dialog), QString("0 0 あり あり あり あり あり"));
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(world.folder.read("Spinlog.ini")
                    .contains("AlarmTm=30\r\nInspection=0\r\nHoldToStart=0\r\nNoInspection=\r\n"));
    }

    // The keyboard or the Stackmat with its input: the list lists the inputs
    // there are after the default, keeps one chosen before and unplugged
    // now, takes input only for the Stackmat; stored on OK only once chosen.
    void timerChoice()
    {
        World world;
        const std::vector<LoadedOptions::Input> inputs{{"usb", "USB マイク"},
                                                       {"line", "ライン入力"}};
        auto dialog = world.open(inputs);
        auto *devices = child<QComboBox>(*dialog, "cmbStackmatDevice");
        const auto shown = [&] {
            QStringList entries;
            for (int i = 0; i < devices->count(); ++i) entries << devices->itemText(i);
            return QString("%1 %2 %3 | %4")
                .arg(child<QRadioButton>(*dialog, "optTimer1")->isChecked())
                .arg(devices->isEnabled())
                .arg(devices->currentText(), entries.join(", "));
        };
        QCOMPARE(shown(), "0 0 既定の入力デバイス | 既定の入力デバイス, USB マイク, ライン入力");
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(!world.folder.read("Spinlog.ini").contains("Timer"));

        dialog = world.open(inputs);
        devices = child<QComboBox>(*dialog, "cmbStackmatDevice");
        QTest::keyClick(dialog.get(), Qt::Key_S, Qt::AltModifier);
        // A button's access key clicks it a moment later.
        QTRY_VERIFY(devices->isEnabled());
        QTest::keyClick(dialog.get(), Qt::Key_V, Qt::AltModifier);
        QTest::keyClick(devices, Qt::Key_Down);
        QTest::keyClick(devices, Qt::Key_Down);
        QCOMPARE(shown(), "1 1 ライン入力 | 既定の入力デバイス, USB マイク, ライン入力");
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(
            world.folder.read("Spinlog.ini").endsWith("Timer=stackmat\r\nStackmatDevice=line\r\n"));
        QCOMPARE(world.program().settings.text(Setting::StackmatDevice), "line");

        dialog = world.open({inputs[0]});
        devices = child<QComboBox>(*dialog, "cmbStackmatDevice");
        QCOMPARE(shown(), "1 1 line（未接続） | 既定の入力デバイス, USB マイク, line（未接続）");
        QTest::keyClick(dialog.get(), Qt::Key_K, Qt::AltModifier);
        QTest::mouseClick(button(*dialog, "cmdCancel"), Qt::LeftButton);
        QVERIFY(world.program().settings.timesByStackmat());
    }

    // As drawn: a name starts at its cell's left edge, a count sits in the
    // middle of its cell (row 2: row 1's name is current, in its highlight).
    void typeColumnsAsDrawn()
    {
        World world;
        auto dialog = world.open();
        Grid *grid = typeGrid(*dialog);
        const QImage image = grid->viewport()->grab().toImage();
        // Where the cell's text starts, from its left edge.
        const auto textStart = [&](int col) {
            const QRect cell = grid->visualRect(grid->model()->index(1, col));
            for (int x = cell.left() + 1; x < cell.right(); ++x)
                for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
                    if (qGray(image.pixel(x, y)) < 128)
                        return double(x - cell.left()) / cell.width();
            return 1.0;
        };
        QVERIFY2(textStart(1) < 0.1, qPrintable(QString::number(textStart(1))));
        QVERIFY2(textStart(2) > 0.3, qPrintable(QString::number(textStart(2))));
    }

    // The first five rows in TypeID's order as text, a further row of
    // MT_Type after them; No. never edits; a name takes 20 characters; the
    // count and best/worst are lists. A rewrite failing half way is reported
    // and the dialog stays open with the edits. The five are numbered 1 to 5
    // again; the further row keeps its number beside them.
    void editingTypesByClicks()
    {
        World world;
        Database &db = world.db();
        db.execute("update MT_Type set TypeID = TypeID * 2");
        db.execute("insert into MT_Type values ('9', 'sixth', 5, '1')");
        auto dialog = world.open();
        Grid *grid = typeGrid(*dialog);
        QCOMPARE(test::cellText(*grid, 1, 0) + ' ' + test::cellText(*grid, 2, 0), QString("10 2"));
        clickCell(grid, 3, 0);
        QVERIFY(!test::openEditor(*grid));
        clickCell(grid, 2, 1);
        auto *name = qobject_cast<QLineEdit *>(test::openEditor(*grid));
        for (QChar ch : QString(21, QChar(0x3042)))
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(ch), {});
        clickCell(grid, 2, 2);
        auto *count = qobject_cast<QComboBox *>(test::openEditor(*grid));
        QVERIFY(count && !count->isEditable());
        QTest::keyClick(count, Qt::Key_End);
        clickCell(grid, 3, 3);
        QTest::keyClick(test::openEditor(*grid), Qt::Key_Up);
        db.execute(
            "create trigger fail_third before insert on MT_Type when NEW.TypeID = '3' "
            "begin select raise(abort, 'disk full'); end");
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(world.boxes(), QStringList("保存エラー\r\ndisk full"));
        QVERIFY(world.folder.read("Err.log").contains("[frmOption]-[cmdOK_Click] disk full"));
        db.execute("drop trigger fail_third");
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(world.types(),
                 QStringList({"1|3x3x3目隠し|3|1", "2|" + QString(20, QChar(0x3042)) + "|12|0",
                              "3|2x2x2|5|1", "4|4x4x4|5|0", "5|5x5x5|5|0"}));
        QCOMPARE(test::rowsOf(db, "select TypeID, TypeNm from MT_TypeExtra"),
                 QStringList("9|sixth"));
        // 3x3x3目隠し, TypeID 10, is left without inspection as the new 1.
        QVERIFY(world.folder.read("Spinlog.ini").endsWith("NoInspection=1\r\n"));
    }

    // Three types added, named and counted as a user does; 削除 refuses the
    // five, a type with saved series and the one under way, and takes out an
    // empty one only on OK.
    void addingAndRemovingTypes()
    {
        World world;
        auto dialog = world.open();
        Grid *grid = typeGrid(*dialog);
        const QStringList names{"Megaminx", "Pyraminx", "3x3x3 片手"};
        for (const QString &name : names) {
            QTest::mouseClick(button(*dialog, "cmdAddType"), Qt::LeftButton);
            const int row = grid->row();
            QCOMPARE(test::cellText(*grid, row, 1), QString("新しいタイプ"));
            clickCell(grid, row, 1);
            QWidget *editor = test::openEditor(*grid);
            for (QChar ch : name)  // keyClicks takes ASCII only
                QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, QString(ch), {});
        }
        pick(grid, 7, 2, 4);  // Pyraminx: 4 solves
        pick(grid, 8, 4, 2);  // one-handed: no inspection
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(test::rowsOf(world.db(),
                              "select TypeID, TypeNm, TypeCnt, TypeBW, ImportID "
                              "from MT_TypeExtra order by rowid"),
                 QStringList({"6|Megaminx|5|0|", "7|Pyraminx|4|0|", "8|3x3x3 片手|5|0|"}));
        QVERIFY(world.folder.read("Spinlog.ini").endsWith("NoInspection=5,8\r\n"));

        test::addSeries(world.db(), {"2024/01/01 10:00:00", "7", {"5.00"}, "5.00"});
        world.underWay = TypeId("6");
        dialog = world.open();
        grid = typeGrid(*dialog);
        QCOMPARE(grid->model()->rowCount(), 8);
        for (int row : {3, 6, 7, 8}) {
            clickCell(grid, row, 1);
            QTest::mouseClick(button(*dialog, "cmdRemoveType"), Qt::LeftButton);
        }
        QCOMPARE(world.boxes(),
                 QStringList({"最初の5つのタイプは削除できません",
                              "タイプ「Megaminx」は計測中のセットがあるので削除できません",
                              "タイプ「Pyraminx」には保存した記録が 1 件あるので削除できません"}));
        QCOMPARE(grid->model()->rowCount(), 7);
        QCOMPARE(test::rowsOf(world.db(), "select count(*) from MT_TypeExtra"), QStringList("3"));
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(test::rowsOf(world.db(), "select TypeID from MT_TypeExtra order by rowid"),
                 QStringList({"6", "7"}));
    }

    // An import's name past twenty characters is not cut by opening its
    // cell; a hundred types take no more.
    void longNamesAndTheMostTypes()
    {
        World world;
        std::vector<PuzzleType> types = world.program().records->types.all();
        const QString longName = "csTimer session of the 2024 season";
        for (int n = 6; n <= 100; ++n)
            types.push_back(
                puzzleTypeOf(QString::number(n), n == 6 ? longName : "t", "5", "0", true));
        world.program().records->types.rewrite(types);
        auto dialog = world.open();
        // Beside its scroll bar every column whole, and seven types.
        Grid *grid = typeGrid(*dialog);
        QVERIFY(grid->verticalScrollBar()->isVisible());
        QVERIFY(grid->columnViewportPosition(4) + grid->columnWidth(4) <=
                grid->viewport()->width());
        QVERIFY(grid->rowViewportPosition(6) + grid->rowHeight(6) <= grid->viewport()->height());
        clickCell(grid, 6, 1);
        QTest::mouseClick(button(*dialog, "cmdAddType"), Qt::LeftButton);
        QCOMPARE(world.boxes(), QStringList("タイプは 100 個までです"));
        QTest::mouseClick(button(*dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(world.program().records->types.find(TypeId("6"))->name, longName);
    }
};

SPINLOG_TEST(OptionsDialogTest)
#include "tst_options_dialog.moc"
