// Qt's own dialogs keep their state in the application folder, never in the
// user's configuration folder.

#include "support/temp_app_folder.h"
#include "support/test_main.h"
#include "widgets/toolkit_state.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

class ToolkitStateTest : public QObject {
    Q_OBJECT
private slots:
    // A save dialog and a colour picker as the program shows them, closed.
    void dialogsKeepTheirStateInTheFolder()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        TempAppFolder folder(false);
        keepToolkitStateIn(folder.path());
        {
            QFileDialog files(nullptr, "CSV", folder.path());
            files.setAcceptMode(QFileDialog::AcceptSave);
            files.show();
            files.reject();
            QColorDialog colours(Qt::red);
            QColorDialog::setCustomColor(0, Qt::blue);
            colours.show();
            colours.accept();
        }
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QVERIFY(folder.read("QtProject.conf").contains("lastVisited"));
    }
};

SPINLOG_TEST(ToolkitStateTest)
#include "tst_toolkit_state.moc"
