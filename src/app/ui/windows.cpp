// The windows' assembly: each window is given the parts of the program it
// uses, and the windows meet only through the stores' signals and the
// commands given here.

#include "about/ui/version_window.h"
#include "app/backup_restore.h"
#include "app/help.h"
#include "app/mdb.h"
#include "app/program.h"
#include "app/sound.h"
#include "app/ui/stackmat_link.h"
#include "app/ui/startup.h"
#include "base/shown_text.h"
#include "data/record_stores.h"
#include "history/ui/history_window.h"
#include "main_window/ui/main_window.h"
#include "options/ui/options_dialog.h"
#include "scramble/ui/scramble_window.h"
#include "session/solve_session.h"
#include "stats/recent_averages.h"
#include "stats/ui/stats_window.h"

#include <QInputDialog>
#include <QPointer>

namespace spinlog {

namespace {

SeriesUnderWay underWayOf(const SolveSession &session)
{
    SeriesUnderWay series{session.type().id, {}};
    for (const Solve &solve : session.solves()) series.times << solve.time;
    return series;
}

// The type of the series under way, if one is.
std::optional<TypeId> typeUnderWay(const SolveSession &session)
{
    return session.seriesUnderWay() ? std::optional(session.type().id) : std::nullopt;
}

StatsWindowParts statsParts(Program &program)
{
    RecordStores &r = *program.records;
    const SolveSession &session = *program.session;
    return {r.history,        r.historySolves,     r.types,
            program.reporter, program.seams.clock, [&session] { return underWayOf(session); }};
}

HistoryWindowParts historyParts(Program &program)
{
    RecordStores &r = *program.records;
    return {r.history,
            r.historyList,
            r.historyChart,
            r.historyExport,
            r.types,
            program.settings,
            program.seams.prompts,
            program.reporter,
            [&program] { return typeUnderWay(*program.session); }};
}

// Opens the history window over OVER; its File menu opens the statistics of
// the type it shows.
void openHistory(Program &program, QWidget *over)
{
    frmView view(historyParts(program), over);
    view.setStatisticsCommand([&program](const TypeFilter &filter, QWidget *on) {
        StatsWindow window(statsParts(program), filter, on);
        QObject::connect(program.session.get(), &SolveSession::changed, &window,
                         &StatsWindow::underWayChanged);
        window.exec();
    });
    view.exec();
}

void openOptions(Program &program, QWidget *over)
{
    LoadedOptions loaded = loadOptions(program.settings, program.records->types);
    for (const AudioInputDevice &device : StackmatInput::devices())
        loaded.inputs.push_back({QString::fromUtf8(device.id), device.description});
    frmOption dialog(
        std::move(loaded),
        [&program](const OptionsValue &value) {
            storeOptions(program.settings, program.records->types, value);
        },
        typeRecordsOf(program.records->types,
                      [&program] { return typeUnderWay(*program.session); }),
        program.seams.prompts, program.reporter, over);
    dialog.exec();
}

// Chooses a snapshot; the main window closes, and the exit carries it out
// once the records are closed.
void restoreBackup(Program &program, QWidget *over)
{
    const auto choose = [over](const QStringList &rows) -> std::optional<int> {
        bool ok = false;
        const QString row = QInputDialog::getItem(over, Text::tr("バックアップから復元"),
                                                  Text::tr("戻すバックアップを選んでください:"),
                                                  rows, 0, false, &ok);
        return ok ? std::optional<int>(int(rows.indexOf(row))) : std::nullopt;
    };
    // An exit refused after all must not leave the choice for a later one.
    if (askRestore(program, choose) && !over->close())
        BackupRestore(program).drop();
}

// The statistics stay open beside the main window, one at a time, and
// follow the series under way.
MainWindowCommands::Open statisticsCommand(Program &program,
                                           std::shared_ptr<QPointer<StatsWindow>> statistics)
{
    return [&program, statistics](QWidget *over) {
        if (*statistics) {
            (*statistics)->raise();
            (*statistics)->activateWindow();
            return;
        }
        auto *window =
            new StatsWindow(statsParts(program), TypeFilter(program.session->type().id), over);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(program.session.get(), &SolveSession::changed, window,
                         &StatsWindow::underWayChanged);
        *statistics = window;
        window->show();
    };
}

// The scramble window beside the main window: it follows the session's type
// and stored solves, comes back with the main window if it was open at the
// last exit, and F6 shows or hides it.
ScrambleWindow *addScrambleWindow(Program &program, frmMain &window)
{
    auto *scramble = new ScrambleWindow(program.settings, program.log, &window);
    const SolveSession &session = *program.session;
    scramble->board().setPuzzleType(session.type().name);
    QObject::connect(&session, &SolveSession::typeChanged, scramble, [scramble, &session] {
        scramble->board().setPuzzleType(session.type().name);
    });
    QObject::connect(&session, &SolveSession::solveStored, scramble, &ScrambleWindow::solveStored);
    QObject::connect(scramble, &ScrambleWindow::visibilityChanged, &window,
                     &frmMain::scrambleShown);
    QObject::connect(&window, &frmMain::firstShown, scramble, [scramble] {
        if (scramble->shownLastTime())
            scramble->show();
    });
    // A solve keeps the scramble the window showed for its type as it began.
    program.session->setScrambleShown([shown = QPointer<ScrambleWindow>(scramble)] {
        if (!shown || !shown->isVisible() || !shown->board().next())
            return QString();
        return shown->board().next()->text;
    });
    return scramble;
}

MainWindowCommands mainCommands(Program &program, std::shared_ptr<QPointer<StatsWindow>> statistics,
                                std::shared_ptr<QPointer<ScrambleWindow>> scramble)
{
    MainWindowCommands commands;
    commands.openStatistics = statisticsCommand(program, statistics);
    auto recent = std::make_shared<RecentAverages>();
    commands.recentAverages = [&program, recent](bool readSaved) {
        if (readSaved)
            recent->read(program.records->historySolves, program.session->type().id);
        return recent->text(underWayOf(*program.session));
    };
    commands.toggleScramble = [scramble] {
        if (*scramble)
            (*scramble)->setVisible(!(*scramble)->isVisible());
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
    commands.closeDatabase = [&program, statistics, scramble] {
        if (*scramble)
            (*scramble)->rememberPlace();
        delete statistics->data();
        closeAndCompact(program);
    };
    return commands;
}

}  // namespace

std::unique_ptr<frmMain> makeMainWindow(Program &program)
{
    RecordStores &records = *program.records;
    program.session = std::make_unique<SolveSession>(program.settings, records.series);
    program.session->setWallClock(&program.seams.clock);
    QObject::connect(program.session.get(), &SolveSession::sound,
                     [&program] { Sub_Sound(program); });
    // The inspection's calls at 8 and 12 seconds: a sound of their own.
    QObject::connect(program.session.get(), &SolveSession::warning,
                     [&program] { Sub_Sound(program, QStringLiteral("Warn.wav")); });
    Seams &seams = program.seams;
    MainWindowParts parts{program.settings, seams.prompts,    seams.clock,
                          seams.app,        program.reporter, *program.session,
                          records.types,    records.history,  records.historyList};
    // The modal windows the menus open are made afresh at each opening.
    auto statistics = std::make_shared<QPointer<StatsWindow>>();
    auto scramble = std::make_shared<QPointer<ScrambleWindow>>();
    auto window = std::make_unique<frmMain>(parts, mainCommands(program, statistics, scramble));
    *scramble = addScrambleWindow(program, *window);
    new StackmatLink(program.settings, program.log, *window);
    return window;
}

}  // namespace spinlog
