// The stopwatch: start, inspection countdown, running clock with its alarm,
// cancel and stop. A solve is the difference of two monotonic clock readings
// taken when the start and the stop are handled; the one-second ticks only
// drive the displays.

#include "app/errors.h"
#include "app/program.h"
#include "app/sound.h"
#include "app/time_values.h"
#include "data/database.h"
#include "main_window/main_window.h"
#include "app/number_text.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

namespace spinlog {

namespace {

const QString kStart = QStringLiteral("計測開始");
const QString kStop = QStringLiteral("計測停止");
constexpr std::uint32_t kCountdownColor = 12632319;
constexpr std::uint32_t kRunningColor = 16761024;
constexpr std::uint32_t kStoppedColor = 16777215;

// Clears a flag when the handler that set it ends, however it ends.
class Flag {
public:
    explicit Flag(bool &flag) : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }

private:
    bool &flag_;
};

}  // namespace

void frmMain::showStatus(const QString &text)
{
    statusPanel->setText(text);
    StatusBar->repaint();
}

void frmMain::Sub_StartStop()
{
    // The moment this press is handled is when the solve starts or ends.
    const std::int64_t now = program_.services.clock.monotonicNs();
    try {
        if (cmdStartStop->text() == kStart) {
            // Read before anything changes, so a setting that is no number
            // leaves the window as it was.
            const std::int16_t countdown = int16FromText(program_.settings.CntDownTm);
            cmdStartStop->setText(kStop);
            cmbType->setEnabled(false);
            M_File[4]->setEnabled(false);
            M_Tool[3]->setEnabled(false);
            M_File[2]->setEnabled(false);
            // A negative countdown would never reach 0: it counts as none.
            if (countdown <= 0) {
                beginTiming(now);
                return;
            }
            CntDownLeft = countdown;
            lblTm->setText(QString::number(CntDownLeft));
            setBackColor(lblTm, kCountdownColor);
            tmrCountDown->start();
            return;
        }

        setBackColor(lblTm, kStoppedColor);
        showStatus(QString());
        cmdStartStop->setText(kStart);
        M_File[2]->setEnabled(true);
        if (tmrCountDown->isActive()) {
            tmrCountDown->stop();
            CntDownLeft = int16FromText(program_.settings.CntDownTm);
            lblTm->setText(QString::number(CntDownLeft));
            if (lblTime[1]->text().isEmpty()) {
                cmbType->setEnabled(true);
                M_Tool[3]->setEnabled(true);
            }
            return;
        }
        finishSolve(now);
    } catch (const SpinlogError &e) {
        program_.reportError(QStringLiteral("計測開始/停止エラー"),
                             QStringLiteral("[frmMain]-[Sub_StartStop] "), e.description());
        showStatus(QString());
        settleAfterFailure();
    }
}

void frmMain::beginTiming(std::int64_t now)
{
    setBackColor(lblTm, kRunningColor);
    showStatus(QStringLiteral("計測中..."));
    ElapsedSec.clear();
    tmrCount->start();
    StartTm = now;
    Sub_Sound(program_);
}

void frmMain::finishSolve(std::int64_t now)
{
    if (!tmrCount->isActive())
        return;  // no solve is running: there is nothing to record
    tmrCount->stop();
    StopTm = now;
    const QString seconds = secondsText(hundredthsFromNs(StopTm - StartTm));
    const QString time = displayForm(seconds);
    lblTm->setText(time);

    int n = 1;
    while (n <= 12 && !lblTime[n]->text().isEmpty()) ++n;
    if (n > 12)
        throw SpinlogError(invalidPropertyText());
    // The row first: a label never shows a solve the table does not hold.
    program_.db().execute(
        QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (?,?,?)"),
        {n, time, seconds.toDouble()});
    lblTime[n]->setText(time);

    const BestWorst marks = MarkBestWorst();
    if (n == program_.CurTypeCnt)
        completeSeries(marks);
}

// After a failure the window must still be in one of its states: with no
// timer running it is Idle, whatever the failure interrupted.
void frmMain::settleAfterFailure()
{
    if (tmrCount->isActive() || tmrCountDown->isActive())
        return;
    if (cmdStartStop->text() == kStop) {
        cmdStartStop->setText(kStart);
        setBackColor(lblTm, kStoppedColor);
    }
    M_File[2]->setEnabled(true);
    if (cmdStartStop->isEnabled() && lblTime[1]->text().isEmpty()) {
        cmbType->setEnabled(true);
        M_Tool[3]->setEnabled(true);
    }
}

void frmMain::tmrCountDown_Timer()
{
    const std::int64_t now = program_.services.clock.monotonicNs();
    if (inTick_)
        return;
    const Flag ticking(inTick_);
    try {
        if (!tmrCountDown->isActive())
            return;
        --CntDownLeft;
        lblTm->setText(QString::number(CntDownLeft));
        if (CntDownLeft <= 0) {
            tmrCountDown->stop();
            beginTiming(now);
        }
    } catch (const SpinlogError &e) {
        program_.reportError(QStringLiteral("カウントダウンタイマエラー"),
                             QStringLiteral("[frmMain]-[tmrCountDown_Timer] "), e.description());
    }
}

void frmMain::tmrCount_Timer()
{
    // A tick arriving while an earlier tick's error box is open is dropped,
    // so the boxes do not pile up once a second.
    if (inTick_)
        return;
    const Flag ticking(inTick_);
    try {
        if (!tmrCount->isActive())
            return;
        const std::int64_t shown =
            ElapsedSec.isEmpty() ? 0 : std::llround(numericValue(ElapsedSec));
        ElapsedSec = QString::number(shown + 1);
        lblTm->setText(Fun_TimeChangeHNS(program_, ElapsedSec));

        const std::int64_t alarm = std::llround(numericValue(program_.settings.AlarmTm));
        if (alarm != 0 && (shown + 1) % alarm == 0)
            Sub_Sound(program_);
    } catch (const SpinlogError &e) {
        program_.reportError(QStringLiteral("計測タイマエラー"),
                             QStringLiteral("[frmMain]-[tmrCount_Timer] "), e.description());
    }
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the type list starts and stops as the button does; the key
    // still reaches the list.
    if (watched == cmbType && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            Sub_StartStop();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace spinlog
