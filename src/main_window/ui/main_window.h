#pragma once
// frmMain: the main window, a view of the solve session. It lives for the
// whole run: it shows the session's clock, solves, colours and average, the
// type list with the type's best records, and forwards the presses (button,
// Enter in the type list, F5), the timer ticks and the menu commands to the
// session. It follows the history's, the types' and the settings' changes.
// Its controls are found by their object names (lblTime1, M_File1 ...).

#include "data/history_change.h"
#include "data/records.h"
#include "session/solve_session.h"
#include "widgets/window_place.h"

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;

namespace spinlog {

class App;
class Clock;
class HistoryList;
class HistoryWriter;
class Prompts;
class PuzzleTypeStore;
class Reporter;
class Settings;

// What the main window works with, all alive for its whole life.
struct MainWindowParts {
    Settings &settings;
    Prompts &prompts;
    const Clock &clock;
    App &app;
    const Reporter &reporter;
    SolveSession &session;
    const PuzzleTypeStore &types;    // followed as it changes
    const HistoryWriter &history;    // its changes refresh the best values
    const HistoryList &historyList;  // the type's best values
};

// What the menus open or start, and the exit's closing of the database. The
// windows open modally over the one given.
struct MainWindowCommands {
    using Open = std::function<void(QWidget *over)>;
    Open openHistory;
    Open openOptions;
    Open openVersion;
    Open openStatistics;
    // The status bar's current averages of the session's type, its saved
    // solves read again when the type or the history changed.
    std::function<QString(bool readSaved)> recentAverages;
    std::function<void()> toggleScramble;  // shows or hides the scramble window
    Open restoreBackup;                    // chooses a snapshot; the exit carries it out
    std::function<void()> showReadme;
    std::function<void()> showWebPage;
    std::function<void()> closeDatabase;  // releases and compacts the file
};

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load sequence. A failed load is reported
    // and ends the program.
    frmMain(MainWindowParts parts, MainWindowCommands commands, QWidget *parent = nullptr);
    ~frmMain() override;

    // The timers' ticks; tests call them instead of waiting a second.
    void tmrCountDown_Timer();
    void tmrCount_Timer();
    // The scramble window was shown or hidden: its menu item's check follows.
    void scrambleShown(bool shown);

    // A timer of its own as the clock (the assembly wires the Stackmat here):
    // its solve's start, running time, stop and end without a time, handled
    // as presses are, the series and its save question alike.
    void timerStarted(std::int64_t hundredths);
    void timerShows(std::int64_t hundredths);
    void timerStopped(std::int64_t hundredths);
    // False when no solve of the timer's was under way.
    bool timerAbandoned();
    // The timer's state, in the status bar's first panel while the session
    // has no status of its own; empty for none.
    void showTimerStatus(const QString &text);

signals:
    // The window is shown for the first time.
    void firstShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Which type Sub_cmbTypeSet selects once the list is filled again.
    enum class TypeChoice { Stored, Current };

    void buildControls();
    void buildTimers();
    void buildStatusBar();
    void buildSolveLabels(QWidget *client);
    void buildMenus();
    void buildPenaltyMenu(QMenu *file);
    template <typename Add, typename Open>
    void buildHelpMenu(const Add &add, const Open &open);
    void render();

    void Form_Load();
    // The exit sequence; true when the window must stay open.
    bool Form_Unload();
    // Writes the window's place and the type's list position to the settings.
    void rememberPlace();
    void Sub_cmbTypeSet(TypeChoice choice);
    void Sub_MainDspSet();
    // The types or the options changed: shown once the change is whole.
    void optionsChanged();
    void followOptions();
    void historyChanged(const HistoryChange &change);
    // The type's best values and recent averages, read again.
    void readTypeFigures();
    void showRecentAverages(bool readSaved);
    void Sub_StartStop();
    void givePenalty(int no, Penalty penalty);
    // The solve label's menu: a penalty or a comment for its solve.
    void solveMenu(int no, const QPoint &at);
    void giveComment(int no);
    // With the hold-to-start option: a start key's press and release.
    bool holdKey(QKeyEvent *key);
    // A start key's release that no repeat followed: the clock starts at it.
    void releaseSettled();
    void releaseHeld(std::int64_t nowNs);
    void Sub_Save();
    void reset();
    void showStatus(const QString &text);
    bool isRepeat(const QKeyEvent *key) const;

    MainWindowParts parts_;
    MainWindowCommands commands_;
    SolveSession &session_;
    TypeChoices choices_;  // the type list's entries
    BestRecords bests_;
    bool loadEnd_ = false;
    bool inTick_ = false;  // a tick's error box is open
    QString shownStatus_;
    QString timerStatus_;
    int releasedKey_ = 0;  // the last key released, and when
    quint64 releasedAt_ = 0;
    WindowPlace place_{{Setting::MainLeft, Setting::MainTop, {}, {}}, 0, 0, Procedure::MainLoad};

    QComboBox *cmbType_ = nullptr;
    QTimer *tmrCount_ = nullptr;      // running clock, one tick a second
    QTimer *tmrCountDown_ = nullptr;  // inspection countdown, one tick a second
    QPushButton *cmdStartStop_ = nullptr;
    QStatusBar *statusBar_ = nullptr;
    QLabel *statusPanel_ = nullptr;
    QLabel *statusAverages_ = nullptr;  // the type's current ao5 and ao12
    QLabel *lblTm_ = nullptr;           // the large clock
    QLabel *lblBTm_ = nullptr;
    QLabel *lblAveTime_ = nullptr;
    QLabel *lblBAveTm_ = nullptr;
    std::array<QLabel *, 13> lblTime_{};  // solve labels 1 to 12; [0] unused
    QTimer *followOptions_ = nullptr;     // one refresh for the options' changes
    QTimer *averagesLater_ = nullptr;     // the status bar's averages after a solve
    bool shownOnce_ = false;

    QAction *actStartStop_ = nullptr;
    QAction *actReset_ = nullptr;
    QAction *actSave_ = nullptr;
    QAction *actOptions_ = nullptr;
    QAction *actScramble_ = nullptr;
    std::array<QAction *, 3> actPenalty_{};  // none, +2, DNF on the last solve
    QTimer *tmrHold_ = nullptr;              // repaints when a held key has been held long enough
    // A start key's release waits a moment: a held key's repeat can come as
    // a release and a press of one moment, without its mark, and on a busy
    // machine the press is taken well after the release. The clock starts
    // at the release's reading once no press has followed.
    std::optional<std::int64_t> releasedNs_;
    QTimer *tmrRelease_ = nullptr;
};

}  // namespace spinlog
