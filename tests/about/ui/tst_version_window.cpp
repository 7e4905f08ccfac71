#include "about/ui/version_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QPushButton>
#include <QTest>

using namespace spinlog;

class VersionWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Keys pressed on the OK button: 'D' a key, 'd' its auto-repeat, '^'
    // Shift, '~' Escape, '_' Enter; '*' the window activated again; '!' the
    // file manager fails from here on, or works again.
    void keys_data()
    {
        // clang-format off
        QTest::addColumn<QString>("result");  // folder openings tried, boxes, window shown
        for (auto [keys, result] : {std::pair{"DIR", "1 0 1"}, {"DIRDIR", "2 0 1"}, {"DDIR", "0 0 1"},
                 {"DI^R", "0 0 1"}, {"RDIR", "1 0 1"}, {"DdIR", "0 0 1"}, {"DI*R", "0 0 1"},
                 {"DI*DIR", "1 0 1"}, {"!DIR!DIR", "2 1 1"}, {"~", "0 0 1"}, {"_", "0 0 0"}})
            // clang-format on
            QTest::newRow(keys) << QString(result);
    }
    void keys()
    {
        test::TempAppFolder folder(false);
        test::FakeWorld world(folder.path());
        frmVersion window(world.shell, folder.path(), world.program.reporter);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (char k : QByteArray(QTest::currentDataTag())) {
            QEvent activate(QEvent::WindowActivate);
            const Qt::Key named[] = {Qt::Key_Shift, Qt::Key_Escape, Qt::Key_Return};
            const qsizetype at = QByteArray("^~_").indexOf(k);
            const auto key = at >= 0 ? named[at] : Qt::Key(QChar(k).toUpper().unicode());
            if (k == '!')
                world.shell.fail = !world.shell.fail;
            else if (k == '*')
                QApplication::sendEvent(&window, &activate);
            else
                QTest::simulateEvent(window.findChild<QPushButton *>("cmdOK"), true, key, {}, {},
                                     QChar(k).isLower());
        }
        const auto opened = world.shell.folders.size(), shown = qsizetype(window.isVisible());
        QTEST(QString("%1 %2 %3").arg(opened).arg(world.prompts.boxes.size()).arg(shown), "result");
    }
};
SPINLOG_TEST(VersionWindowTest)

#include "tst_version_window.moc"
