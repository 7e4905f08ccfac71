// The version window's texts and its D, I, R key sequence.

#include "about/version_window.h"
#include "app/help.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"
#include "widgets/units.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

struct VersionFixture {
    VersionFixture() : window(world.program)
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the version window did not become active");
    }

    // Types the keys into the focused control, as the keyboard does.
    void type(const QList<int> &keys)
    {
        for (int key : keys) QTest::keyClick(window.cmdOK, Qt::Key(key));
    }

    TempAppFolder folder{false};
    FakeWorld world{folder.path()};
    frmVersion window;
};

}  // namespace

class VersionWindowTest : public QObject {
    Q_OBJECT
private slots:
    void texts()
    {
        VersionFixture f;
        frmVersion &w = f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(w.lblTitle->text(), QStringLiteral("Spinlog  Ver 1.0"));
        QCOMPARE(w.lblLastUpdate->text(), QStringLiteral("LastUpdate: 2007/05/25"));
        QVERIFY(!w.lblCopyright->text().isEmpty());
        QCOMPARE(w.lblMail->text(), QStringLiteral("Mail: ") + kMailAddress);
        QCOMPARE(w.lblURL->text(), QStringLiteral("URL: ") + kWebPage);
        QCOMPARE(w.lblURL->palette().color(QPalette::WindowText), QColor(0, 0, 64));
        QCOMPARE(w.size(), QSize(px(3390), px(2400)));
        QCOMPARE(w.cmdOK->geometry(), twipsRect(1125, 1935, 1125, 345));
        QCOMPARE(w.picIcon->pixmap().size(), QSize(32, 32));
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.cmdOK));
        QVERIFY(f.world.prompts.boxes.empty());
        // Each text is one line that must not be cut off.
        for (QLabel *label : {w.lblTitle, w.lblLastUpdate, w.lblCopyright, w.lblMail, w.lblURL})
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
    }

    void keySequence_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("opened");
        QTest::newRow("D I R") << QList<int>{Qt::Key_D, Qt::Key_I, Qt::Key_R} << 1;
        QTest::newRow("twice") << QList<int>{Qt::Key_D, Qt::Key_I, Qt::Key_R,
                                             Qt::Key_D, Qt::Key_I, Qt::Key_R}
                               << 2;
        QTest::newRow("D D I R") << QList<int>{Qt::Key_D, Qt::Key_D, Qt::Key_I, Qt::Key_R} << 0;
        QTest::newRow("Shift between")
            << QList<int>{Qt::Key_D, Qt::Key_I, Qt::Key_Shift, Qt::Key_R} << 0;
        QTest::newRow("R first") << QList<int>{Qt::Key_R, Qt::Key_D, Qt::Key_I, Qt::Key_R} << 1;
    }
    void keySequence()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, opened);
        VersionFixture f;
        f.type(keys);
        QCOMPARE(f.world.shell.folders, QStringList(opened, f.folder.path()));
        QVERIFY(f.window.isVisible());
    }

    void lowerCaseLettersMatch()
    {
        VersionFixture f;
        QTest::keyClicks(f.window.cmdOK, QStringLiteral("dir"));
        QCOMPARE(f.world.shell.folders, QStringList{f.folder.path()});
    }

    void aHeldKeyRepeatsItsPress()
    {
        VersionFixture f;
        QKeyEvent first(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"), true);
        QApplication::sendEvent(f.window.cmdOK, &first);
        QApplication::sendEvent(f.window.cmdOK, &repeat);
        f.type({Qt::Key_I, Qt::Key_R});
        QVERIFY(f.world.shell.folders.isEmpty());
    }

    void activationStartsTheSequenceAgain()
    {
        VersionFixture f;
        f.type({Qt::Key_D, Qt::Key_I});
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&f.window, &activate);
        f.type({Qt::Key_R});
        QVERIFY(f.world.shell.folders.isEmpty());
        f.type({Qt::Key_D, Qt::Key_I, Qt::Key_R});
        QCOMPARE(f.world.shell.folders.size(), 1);
    }

    void fileManagerThatWillNotStartIsReported()
    {
        VersionFixture f;
        f.world.shell.fail = true;
        f.type({Qt::Key_D, Qt::Key_I, Qt::Key_R});
        QCOMPARE(f.world.prompts.boxes.size(), size_t(1));
        QVERIFY(f.world.prompts.boxes[0].text.startsWith(QStringLiteral("キーダウンエラー\r\n")));
        QCOMPARE(f.world.prompts.boxes[0].icon, Icon::Critical);
        QVERIFY(f.folder.read(QStringLiteral("Err.log")).contains("[frmVersion]-[Form_KeyDown] "));
        QVERIFY(f.window.isVisible());
        // The next D starts a fresh sequence.
        f.world.shell.fail = false;
        f.type({Qt::Key_D, Qt::Key_I, Qt::Key_R});
        QCOMPARE(f.world.shell.folders.size(), 2);
    }

    void closesByOkEnterOrSpaceButNotEscape()
    {
        for (int key : {Qt::Key_Return, Qt::Key_Space}) {
            VersionFixture f;
            QTest::keyClick(f.window.cmdOK, Qt::Key(key));
            QVERIFY(!f.window.isVisible());
            QCOMPARE(f.window.result(), int(QDialog::Accepted));
        }
        VersionFixture f;
        QTest::keyClick(f.window.cmdOK, Qt::Key_Escape);
        QVERIFY(f.window.isVisible());
        QTest::mouseClick(f.window.cmdOK, Qt::LeftButton);
        QVERIFY(!f.window.isVisible());
    }
};
SPINLOG_TEST(VersionWindowTest)

#include "tst_version_window.moc"
