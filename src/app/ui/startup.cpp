#include "app/ui/startup.h"

#include "app/program.h"
#include "app/ui/desktop_seams.h"
#include "data/database.h"
#include "app/mdb.h"
#include "main_window/ui/main_window.h"
#include "widgets/units.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace spinlog {

std::unique_ptr<frmMain> Main(Program &program)
{
    if (!program.services.app.claimSingleInstance()) {
        program.services.prompts.message(QStringLiteral("２重起動はできません"), Icon::Critical,
                                         Buttons::Ok);
        program.services.app.endNow();
        return nullptr;
    }
    if (!Fun_MDBOpen(program, program.path(QStringLiteral("Spinlog.mdb")))) {
        program.services.app.endNow();
        return nullptr;
    }
    program.settings.load();
    auto window = std::make_unique<frmMain>(program);
    window->show();
    return window;
}

int runSpinlog(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Without the substitution fontconfig mixes DejaVu Sans with a monospace
    // Japanese face; IPA P Gothic has the metrics the layout was drawn with.
    QFont::insertSubstitution(kLayoutFontFamily, QStringLiteral("IPAPGothic"));
    QApplication::setFont(layoutFont(9));
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    QtPrompts prompts;
    SteadyClock clock;
    QtSound sound;
    DesktopShell shell;
    RealApp realApp;
    Program program(Services{prompts, clock, sound, shell, realApp});
    std::unique_ptr<frmMain> window = Main(program);
    if (!window)
        return 0;
    return QApplication::exec();
}

}  // namespace spinlog
