// The version window's texts and its D, I, R key sequence.

#include "about/version_window.h"
#include "app/help.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

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
    // Key presses into the focused control: 'D' a press, 'd' a held key's
    // repeated press, '^' Shift, '*' the window activated again.
    void type(const char *keys)
    {
        for (const char *k = keys; *k; ++k) {
            if (*k == '*') {
                QEvent activate(QEvent::WindowActivate);
                QApplication::sendEvent(&window, &activate);
                continue;
            }
            const int key = *k == '^' ? int(Qt::Key_Shift) : int(QChar(*k).toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QLatin1Char(*k)),
                            QChar(*k).isLower());
            QApplication::sendEvent(window.cmdOK, &press);
        }
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
        QCOMPARE(w.lblMail->text(), QStringLiteral("Mail: ") + kMailAddress);
        QCOMPARE(w.lblURL->text(), QStringLiteral("URL: ") + kWebPage);
        QCOMPARE(w.lblURL->palette().color(QPalette::WindowText), QColor(0, 0, 64));
        QCOMPARE(w.picIcon->pixmap().size(), QSize(32, 32));
        QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.cmdOK));
        // Each text is one line that must not be cut off.
        for (QLabel *label : {w.lblTitle, w.lblLastUpdate, w.lblCopyright, w.lblMail, w.lblURL})
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
    }

    void keySequence_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<int>("opened");
        QTest::newRow("D I R") << QByteArray("DIR") << 1;
        QTest::newRow("twice") << QByteArray("DIRDIR") << 2;
        QTest::newRow("D D I R") << QByteArray("DDIR") << 0;
        QTest::newRow("Shift between") << QByteArray("DI^R") << 0;
        QTest::newRow("broken, then whole") << QByteArray("RDIR") << 1;
        QTest::newRow("held D") << QByteArray("DdIR") << 0;
        QTest::newRow("activated between") << QByteArray("DI*R") << 0;
        QTest::newRow("activated, then whole") << QByteArray("DI*DIR") << 1;
    }
    void keySequence()
    {
        QFETCH(QByteArray, keys);
        QFETCH(int, opened);
        VersionFixture f;
        f.type(keys.constData());
        QCOMPARE(f.world.shell.folders, QStringList(opened, f.folder.path()));
        QVERIFY(f.window.isVisible());
    }

    void fileManagerThatWillNotStartIsReported()
    {
        VersionFixture f;
        f.world.shell.fail = true;
        f.type("DIR");
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral(
                     "キーダウンエラー\r\nフォルダを開くプログラムを起動できません。")});
        QVERIFY(f.folder.read(QStringLiteral("Err.log")).contains("[frmVersion]-[Form_KeyDown] "));
        f.world.shell.fail = false;
        f.type("DIR");  // a fresh sequence at once
        QCOMPARE(f.world.shell.folders.size(), 2);
    }

    void closesByEnterOrSpaceOnOkButNotEscape()
    {
        for (int key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
            VersionFixture f;
            QTest::keyClick(f.window.cmdOK, Qt::Key(key));
            QCOMPARE(f.window.isVisible(), key == Qt::Key_Escape);
        }
    }
};
SPINLOG_TEST(VersionWindowTest)

#include "tst_version_window.moc"
