#pragma once
// frmMain: the main window, a view of the solve session. It lives for the
// whole run: it shows the session's clock, solves, colours and average, the
// type list with the type's best records, and forwards the presses (button,
// Enter in the type list, F5), the timer ticks and the menu commands to the
// session. Its controls are found by their object names (lblTime1, M_File1 ...).

#include "data/puzzle_type_store.h"
#include "session/series_store.h"
#include "session/solve_session.h"

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

class Program;
class frmScramble;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load sequence. A failed load is reported
    // and ends the program.
    explicit frmMain(Program &program, QWidget *parent = nullptr);
    ~frmMain() override;

    const SolveSession &session() const { return session_; }

    // The history window and the options dialog, shown modally by the Tools
    // menu; tests replace them.
    std::function<void()> openHistory;
    std::function<void()> openOptions;

    // The timers' ticks; tests call them instead of waiting a second.
    void tmrCountDown_Timer();
    void tmrCount_Timer();

    // Reads the best single and best average of the current type again.
    void refreshBestValues();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void render();

    void Form_Load();
    // The exit sequence; true when the window must stay open.
    bool Form_Unload();
    // Writes the window's place and the type's list position to the settings.
    void rememberPlace();
    void Sub_cmbTypeSet(std::int16_t mode);
    void Sub_MainDspSet();
    void Sub_StartStop();
    void Sub_Save();
    void reset();
    void showStatus(const QString &text);
    bool isRepeat(const QKeyEvent *key) const;

    Program &program_;
    DatabaseSeriesStore store_;
    SolveSession session_;
    BestRecords bests_;
    bool loadEnd_ = false;
    bool inTick_ = false;  // a tick's error box is open
    QString shownStatus_;
    int releasedKey_ = 0;  // the last key released, and when
    quint64 releasedAt_ = 0;
    float placedLeft_ = 0;  // the stored position the window was placed at, twips
    float placedTop_ = 0;

    QComboBox *cmbType_ = nullptr;
    QTimer *tmrCount_ = nullptr;      // running clock, one tick a second
    QTimer *tmrCountDown_ = nullptr;  // inspection countdown, one tick a second
    QPushButton *cmdStartStop_ = nullptr;
    QStatusBar *statusBar_ = nullptr;
    QLabel *statusPanel_ = nullptr;
    QLabel *lblTm_ = nullptr;  // the large clock
    QLabel *lblBTm_ = nullptr;
    QLabel *lblAveTime_ = nullptr;
    QLabel *lblBAveTm_ = nullptr;
    std::array<QLabel *, 13> lblTime_{};  // solve labels 1 to 12; [0] unused
    frmScramble *scramble_ = nullptr;
    bool shownOnce_ = false;

    QAction *actStartStop_ = nullptr;
    QAction *actReset_ = nullptr;
    QAction *actSave_ = nullptr;
    QAction *actExit_ = nullptr;
    QAction *actHistory_ = nullptr;
    QAction *actOptions_ = nullptr;
    QAction *actScramble_ = nullptr;
    QAction *actReadme_ = nullptr;
    QAction *actWebPage_ = nullptr;
    QAction *actVersion_ = nullptr;
};

}  // namespace spinlog
