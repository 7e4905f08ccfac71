// The version window's texts and its D, I, R key sequence.

#include "about/ui/version_window.h"
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
    // Presses into the focused control: 'D' a key, 'd' a held key's repeat,
    // '^' Shift, '*' the window activated again.
    void type(const char *keys)
    {
        for (const char *k = keys; *k; ++k) {
            QEvent activate(QEvent::WindowActivate);
            const int key = *k == '^' ? int(Qt::Key_Shift) : int(QChar(*k).toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), QChar(*k).isLower());
            QApplication::sendEvent(*k == '*' ? static_cast<QWidget *>(&window) : window.cmdOK,
                                    *k == '*' ? &activate : static_cast<QEvent *>(&press));
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
        QCOMPARE(QStringList({w.windowTitle(), w.lblTitle->text(), w.lblLastUpdate->text(),
                              w.lblMail->text(), w.lblURL->text()}),
                 QStringList({"バージョン情報", "Spinlog  Ver 1.0", "LastUpdate: 2007/05/25",
                              "Mail: " + kMailAddress, "URL: " + kWebPage}));
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
        for (auto [keys, opened] : {std::pair{"DIR", 1},
                                    {"DIRDIR", 2},
                                    {"DDIR", 0},
                                    {"DI^R", 0},
                                    {"RDIR", 1},
                                    {"DdIR", 0},
                                    {"DI*R", 0},
                                    {"DI*DIR", 1}})
            QTest::newRow(keys) << QByteArray(keys) << opened;
    }
    void keySequence()
    {
        QFETCH(QByteArray, keys);
        QFETCH(int, opened);
        VersionFixture f;
        f.type(keys.constData());
        QCOMPARE(f.world.shell.folders, QStringList(opened, f.folder.path()));
    }

    void fileManagerThatWillNotStartIsReported()
    {
        VersionFixture f;
        f.world.shell.fail = true;
        f.type("DIR");
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{"キーダウンエラー\r\nフォルダを開くプログラムを起動できません。"});
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
