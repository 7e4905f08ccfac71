#include "app/ui/startup.h"

#include "about/ui/version_window.h"
#include "app/help.h"
#include "app/mdb.h"
#include "app/program.h"
#include "app/restore_backup.h"
#include "app/sound.h"
#include "app/ui/desktop_seams.h"
#include "base/version.h"
#include "data/compaction.h"
#include "data/record_stores.h"
#include "history/ui/history_window.h"
#include "main_window/ui/main_window.h"
#include "options/ui/options_dialog.h"
#include "session/solve_session.h"
#include "stats/solve_history.h"
#include "stats/ui/stats_window.h"
#include "widgets/toolkit_state.h"
#include "widgets/units.h"

#include <QApplication>
#include <QFont>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace spinlog {

namespace {

StatsWindowParts statsParts(Program &program)
{
    RecordStores &r = *program.records;
    const SolveSession &session = *program.session;
    return {r.history, r.types, program.reporter, program.seams.clock, [&session] {
                SeriesUnderWay series{session.type().id, {}};
                for (const Solve &solve : session.solves()) series.times << solve.time;
                return series;
            }};
}

// Opens the history window over OVER; its File menu opens the statistics of
// the type it shows.
void openHistory(Program &program, QWidget *over)
{
    RecordStores &r = *program.records;
    frmView view(r.history, r.types, program.settings, program.seams.prompts, program.reporter,
                 over);
    view.setStatisticsCommand([&program](TypeFilter filter, QWidget *on) {
        frmStats window(statsParts(program), filter, on);
        QObject::connect(program.session.get(), &SolveSession::changed, &window,
                         &frmStats::underWayChanged);
        window.exec();
    });
    view.exec();
}

void openOptions(Program &program, QWidget *over)
{
    frmOption dialog(
        loadOptions(program.settings, program.records->types),
        [&program](const OptionsValue &value) {
            storeOptions(program.settings, program.records->types, value);
        },
        program.seams.prompts, program.reporter, over);
    dialog.exec();
}

// Chooses a snapshot; the main window closes, and the exit carries it out
// once the records are closed.
void restoreBackup(Program &program, QWidget *over)
{
    const auto choose = [over](const QStringList &rows) -> std::optional<int> {
        bool ok = false;
        const QString row = QInputDialog::getItem(
            over, QStringLiteral("バックアップから復元"),
            QStringLiteral("戻すバックアップを選んでください:"), rows, 0, false, &ok);
        return ok ? std::optional<int>(int(rows.indexOf(row))) : std::nullopt;
    };
    // An exit refused after all must not leave the choice for a later one.
    if (Sub_RestoreBackup(program, choose) && !over->close())
        program.restoreFrom.clear();
}

// The statistics stay open beside the main window, one at a time, and
// follow the series under way.
MainWindowCommands::Open statisticsCommand(Program &program,
                                           std::shared_ptr<QPointer<frmStats>> statistics)
{
    return [&program, statistics](QWidget *over) {
        if (*statistics) {
            (*statistics)->raise();
            (*statistics)->activateWindow();
            return;
        }
        auto *window =
            new frmStats(statsParts(program), {program.session->type().id.toInt()}, over);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(program.session.get(), &SolveSession::changed, window,
                         &frmStats::underWayChanged);
        *statistics = window;
        window->show();
    };
}

}  // namespace

std::unique_ptr<frmMain> makeMainWindow(Program &program)
{
    RecordStores &records = *program.records;
    program.session = std::make_unique<SolveSession>(program.settings, records.series);
    QObject::connect(program.session.get(), &SolveSession::sound,
                     [&program] { Sub_Sound(program); });
    // The inspection's calls at 8 and 12 seconds: a sound of their own.
    QObject::connect(program.session.get(), &SolveSession::warning,
                     [&program] { Sub_Sound(program, QStringLiteral("Warn.wav")); });
    Seams &seams = program.seams;
    MainWindowParts parts{program.settings, seams.prompts,    seams.clock,   seams.app,
                          program.reporter, *program.session, records.types, records.history};
    // The modal windows the menus open are made afresh at each opening.
    MainWindowCommands commands;
    auto statistics = std::make_shared<QPointer<frmStats>>();
    commands.openStatistics = statisticsCommand(program, statistics);
    commands.recentAverages = [&program](const QString &typeId) {
        return recentAveragesText(program.records->history, typeId);
    };
    commands.openHistory = [&program](QWidget *over) { openHistory(program, over); };
    commands.openOptions = [&program](QWidget *over) { openOptions(program, over); };
    commands.openVersion = [&program](QWidget *over) {
        frmVersion version(program.seams.shell, program.folder(), program.reporter, over);
        version.exec();
    };
    commands.restoreBackup = [&program](QWidget *over) { restoreBackup(program, over); };
    commands.showReadme = [&program] { Sub_ShowHelpFile(program); };
    commands.showWebPage = [&program] { Sub_ShowWebFile(program); };
    // The statistics window reads the history it is given: it goes first.
    commands.closeDatabase = [&program, statistics] {
        delete statistics->data();
        closeAndCompact(program);
    };
    return std::make_unique<frmMain>(parts, std::move(commands));
}

std::unique_ptr<frmMain> Main(Program &program)
{
    if (!program.seams.app.claimSingleInstance()) {
        program.seams.prompts.message(QStringLiteral("２重起動はできません"), Icon::Critical,
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
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    // The menu entry's name, which a Wayland desktop matches the window with.
    QGuiApplication::setDesktopFileName(version::kAppId);

    QtPrompts prompts;
    const AppFolder folder = applicationFolder(kind);
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
