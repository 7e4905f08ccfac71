#include "app/ui/startup.h"

#include "app/language.h"
#include "app/mdb.h"
#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "base/shown_text.h"
#include "base/version.h"
#include "data/compaction.h"
#include "main_window/ui/main_window.h"
#include "widgets/toolkit_state.h"
#include "widgets/units.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace spinlog {

std::unique_ptr<frmMain> Main(Program &program)
{
    if (!program.seams.app.claimSingleInstance()) {
        program.seams.prompts.message(Text::tr("２重起動はできません"), Icon::Critical,
                                      Buttons::Ok);
        program.seams.app.endNow();
        return nullptr;
    }
    // What a killed run left behind goes before anything makes new files.
    const QString database = program.path(QStringLiteral("Spinlog.mdb"));
    removeLeftovers(database, QStringLiteral("Spinlog.ini"));
    if (!Fun_MDBOpen(program, database)) {
        program.seams.app.endNow();
        return nullptr;
    }
    program.settings.load();
    std::unique_ptr<frmMain> window = makeMainWindow(program);
    window->show();
    return window;
}

int runSpinlog(int argc, char **argv, CopyKind kind)
{
    QApplication app(argc, argv);
    // Without the substitution fontconfig mixes DejaVu Sans with a monospace
    // Japanese face; IPA P Gothic has the metrics the layout was drawn with.
    QFont::insertSubstitution(kLayoutFontFamily, QStringLiteral("IPAPGothic"));
    QApplication::setFont(layoutFont(9));
    // The menu entry's name, which a Wayland desktop matches the window with.
    QGuiApplication::setDesktopFileName(version::kAppId);

    QtPrompts prompts;
    const AppFolder folder = applicationFolder(kind);
    // Qt's own texts (the boxes' buttons, the file dialog) follow the language.
    QTranslator qtJapanese;
    if (!useChosenLanguage(folder.path) &&
        qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);
    if (!folder.problem.isEmpty()) {
        prompts.message(folder.problem, Icon::Critical, Buttons::Ok, Answer::Ok);
        return 1;
    }
    SteadyClock clock;
    QtSound sound;
    DesktopShell shell;
    RealApp realApp(folder.path);
    // The file and colour dialogs' state stays in the folder with the rest.
    keepToolkitStateIn(realApp.folder());
    Program program(Seams{prompts, clock, sound, shell, realApp});
    std::unique_ptr<frmMain> window = Main(program);
    if (!window)
        return 0;
    return QApplication::exec();
}

}  // namespace spinlog
