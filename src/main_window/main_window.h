#pragma once
// frmMain: the main window. It lives for the whole run: the stopwatch, the
// series under way, the type list with the type's best records, and the menus.
// Controls and state are public so tests can read captions, colours and states
// the way a user sees them.

#include "main_window/series_rules.h"

#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;

namespace spinlog {

class Program;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs its load sequence. A failed load is reported
    // and ends the program.
    explicit frmMain(Program &program, QWidget *parent = nullptr);
    ~frmMain() override;

    // Controls.
    QComboBox *cmbType = nullptr;
    QTimer *tmrCount = nullptr;      // running clock, one tick a second
    QTimer *tmrCountDown = nullptr;  // inspection countdown, one tick a second
    QPushButton *cmdStartStop = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *statusPanel = nullptr;  // the status bar's one text panel
    QLabel *lblTm = nullptr;        // the large clock
    std::array<QLabel *, 5> lbl{};  // the fixed captions, 0 to 4
    QLabel *lblBTm = nullptr;
    QLabel *lblAveTime = nullptr;
    QLabel *lblBAveTm = nullptr;
    std::array<QLabel *, 13> lblTime{};  // solve labels 1 to 12; [0] unused

    // Menus; each array is indexed like its menu, separators included.
    QMenu *M_FileMain = nullptr;
    QMenu *M_ToolMain = nullptr;
    QMenu *M_HelpMain = nullptr;
    std::array<QAction *, 7> M_File{};  // 1 start/stop, 2 reset, 4 save, 6 exit
    std::array<QAction *, 4> M_Tool{};  // 1 history, 3 options
    std::array<QAction *, 5> M_Help{};  // 1 Readme, 2 web page, 4 version

    // Window state for the run; nothing of it is persisted.
    std::int16_t CntDownLeft = 0;
    QString ElapsedSec;
    std::int64_t StartTm = 0;  // monotonic clock readings, nanoseconds
    std::int64_t StopTm = 0;
    std::int16_t LoadEnd = 0;

    // The history window and the options dialog, shown modally by the Tools
    // menu; tests replace them.
    std::function<void()> openHistory;
    std::function<void()> openOptions;

private:
    float placedLeft_ = 0;  // the stored position the window was placed at, twips
    float placedTop_ = 0;

public:
    // Load and exit.
    void Form_Load();
    // The exit sequence; true when the window must stay open.
    bool Form_Unload();

    // Menu handlers, by the item's index in its menu.
    void M_File_Click(int index);
    void M_Tool_Click(int index);
    void M_Help_Click(int index);

    // Puzzle types and the main display.
    void Sub_cmbTypeSet(std::int16_t mode);
    void cmbType_Click();
    void Sub_MainDspSet();

    // Solve timing: the one toggle for every start, cancel and stop, and the
    // two timers' ticks.
    void Sub_StartStop();
    void tmrCountDown_Timer();
    void tmrCount_Timer();

    // The series: colours, average, completion and saving.
    BestWorst MarkBestWorst();
    QString SeriesAverage(const BestWorst &marks);
    void completeSeries(const BestWorst &marks);
    void Sub_Save();

    // The background of a label as 0x00BBGGRR.
    static std::uint32_t backColor(const QLabel *label);
    static void setBackColor(QLabel *label, std::uint32_t bgr);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void resetSeriesControls();
    // Brings back the series left in W_Time at the last exit.
    void restoreSeries();
    void beginTiming(std::int64_t now);
    void finishSolve(std::int64_t now);
    void settleAfterFailure();
    void showStatus(const QString &text);

    bool inTick_ = false;  // a tick's error box is open

    Program &program_;
};

}  // namespace spinlog
