#include "main_window/ui/main_window.h"

#include "base/error_log.h"
#include "base/error_report.h"
#include "base/number_text.h"
#include "base/seams.h"
#include "base/settings.h"
#include "data/history_store.h"
#include "data/puzzle_type_store.h"
#include "main_window/control_states.h"
#include "main_window/ui/time_box.h"
#include "scramble/ui/scramble_window.h"
#include "widgets/units.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <cmath>
#include <utility>

namespace spinlog {

namespace {

// How long a start key's release waits for the press of a repeat: enough
// for a busy machine to take a pair that was sent together.
constexpr std::int64_t kRepeatGraceNs = 60'000'000;

// Clears a flag when the handler that set it ends, however it ends.
class Flag {
public:
    explicit Flag(bool &flag) : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }

private:
    bool &flag_;
};

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

frmMain::frmMain(MainWindowParts parts, MainWindowCommands commands, QWidget *parent)
    : QMainWindow(parent), parts_(parts), commands_(std::move(commands)), session_(parts.session)
{
    setWindowTitle(QStringLiteral("Spinlog"));
    setWindowIcon(QIcon(QStringLiteral(":/spinlog/icon.png")));
    // Fixed size: no maximise button, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    scramble_ = new frmScramble(parts_.settings, parts_.reporter.log(), this);
    buildControls();
    buildMenus();
    connect(&session_, &SolveSession::changed, this, &frmMain::render);
    // The type of a series under way must survive a crash: start-up restores
    // the series under the type it selects, so that is written down as soon
    // as the series has its first solve, as the exit would write it.
    connect(&session_, &SolveSession::solveStored, this, [this] {
        scramble_->solveStored();
        if (session_.solves().size() == 1)
            rememberPlace();
    });
    connect(&session_, &SolveSession::typeChanged, this,
            [this] { scramble_->board().setPuzzleType(session_.type().name); });
    // A save here or a delete in the history window changes the best values.
    connect(&parts_.history, &HistoryStore::changed, this, &frmMain::refreshBestValues);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::render()
{
    ClockMark mark = session_.inspectionWarning() ? ClockMark::Warning : ClockMark::None;
    switch (session_.holdPhase(parts_.clock.monotonicNs())) {
        case HoldPhase::None: break;
        case HoldPhase::Holding: mark = ClockMark::Holding; break;
        case HoldPhase::Ready: mark = ClockMark::Ready; break;
    }
    const MainControls c = controlsFor(session_.state(), session_.seriesUnderWay(), mark);
    cmdStartStop_->setText(c.startStopCaption);
    cmdStartStop_->setEnabled(c.startStopEnabled);
    cmbType_->setEnabled(c.typeListEnabled);
    actStartStop_->setEnabled(c.startStopItemEnabled);
    actReset_->setEnabled(c.resetEnabled);
    actSave_->setEnabled(c.saveEnabled);
    actOptions_->setEnabled(c.optionsEnabled);
    // Whether a penalty can be given is the session's own rule.
    for (QAction *penalty : actPenalty_) penalty->setEnabled(session_.penaltiesOpen());
    paintBackground(lblTm_, c.clockColor);
    lblTm_->setText(session_.clockText());
    if (c.status != shownStatus_)
        showStatus(c.status);

    const int count = session_.type().count;
    for (int n = 1; n <= 12; ++n) {
        QLabel *label = lblTime_[std::size_t(n)];
        label->setText(session_.solveText(n));
        paintBackground(label, session_.solveColor(n));
        label->setVisible(n <= count);
    }
    lblAveTime_->setText(session_.averageText());
    lblBTm_->setText(bests_.bestTime);
    lblBAveTm_->setText(bests_.bestAverage);

    // At most one timer runs, started at the moment its state began.
    const auto run = [](QTimer *timer, bool on) {
        if (on && !timer->isActive())
            timer->start();
        else if (!on && timer->isActive())
            timer->stop();
    };
    run(tmrCountDown_, session_.state() == SessionState::Countdown ||
                           session_.state() == SessionState::Inspection);
    run(tmrCount_, session_.state() == SessionState::Timing);
}

void frmMain::showStatus(const QString &text)
{
    shownStatus_ = text;
    statusPanel_->setText(text);
    statusBar_->repaint();
}

void frmMain::Form_Load()
{
    const bool loaded = guarded(parts_.reporter, Procedure::MainLoad, [this] {
        loadEnd_ = false;
        place_.read(parts_.settings, parts_.reporter.log(), frameGeometry().size());
        move(place_.position());

        Sub_cmbTypeSet(TypeChoice::Stored);
        session_.restore();
        loadEnd_ = true;
    });
    render();
    // The program does not run with a half-loaded main window.
    if (!loaded)
        parts_.app.endNow();
}

bool frmMain::Form_Unload()
{
    const SessionState state = session_.state();
    if (state == SessionState::Countdown || state == SessionState::Timing) {
        parts_.prompts.message(QStringLiteral("計測中です、計測を停止してから終了してください"),
                               Icon::Exclamation, Buttons::Ok);
        // The running display goes on from the true elapsed time, not from
        // the ticks that were held up while the message was open.
        session_.correctElapsed(parts_.clock.monotonicNs());
        return true;
    }

    rememberPlace();
    scramble_->rememberPlace();
    showStatus(QStringLiteral("MDB最適化中..."));
    if (commands_.closeDatabase)
        commands_.closeDatabase();
    parts_.app.endNow();
    return false;
}

void frmMain::rememberPlace()
{
    const Settings &settings = parts_.settings;
    settings.write(Setting::MainTop, place_.text(WindowPlace::Top, y()));
    settings.write(Setting::MainLeft, place_.text(WindowPlace::Left, x()));
    settings.write(Setting::DefType, QString::number(cmbType_->currentIndex()));
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The scramble window comes back with the main window if it was open.
    if (!shownOnce_) {
        shownOnce_ = true;
        if (scramble_->shownLastTime())
            scramble_->show();
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->ignore();
    else
        event->accept();
}

void frmMain::Sub_cmbTypeSet(TypeChoice choice)
{
    guarded(parts_.reporter, Procedure::TypeSet, [&] {
        {
            // Filling the list is no choice of a type: only the selection
            // below shows the type.
            const QSignalBlocker quiet(cmbType_);
            cmbType_->clear();
            cmbType_->addItems(parts_.types.names());
            cmbType_->setCurrentIndex(-1);
        }

        QString problem;
        int entry = -1;
        try {
            entry = choice == TypeChoice::Stored ? parts_.settings.defaultTypePosition()
                                                 : int16FromText(session_.type().id) - 1;
        } catch (const SpinlogError &e) {
            problem = e.description();
        }
        if (problem.isEmpty() && entry >= 0 && entry < cmbType_->count()) {
            cmbType_->setCurrentIndex(entry);
            return;
        }
        // "-1" is what the last exit stored when no type was chosen.
        if (problem.isEmpty() && !(choice == TypeChoice::Stored && entry == -1))
            problem = invalidPropertyText();
        if (!problem.isEmpty())
            parts_.reporter.report(Procedure::TypeSet, problem);
        // The window is never left without a type while the list has one.
        if (cmbType_->count() > 0)
            cmbType_->setCurrentIndex(0);
    });
}

void frmMain::Sub_MainDspSet()
{
    bool usable = true;
    guarded(parts_.reporter, Procedure::MainDisplay, [&] {
        const QString id = QString::number(cmbType_->currentIndex() + 1);
        SeriesType type = seriesTypeOf(parts_.types.find(id), id, cmbType_->currentText());
        type.inspected =
            isInspected(parts_.settings.text(Setting::NoInspection), type.id, type.name);
        session_.showType(type, loadEnd_);
        usable = type.usable();
        readTypeFigures();
    });
    render();
    if (!usable)
        parts_.prompts.message(unusableTypeText(session_.type()), Icon::Exclamation, Buttons::Ok);
}

void frmMain::refreshBestValues()
{
    guarded(parts_.reporter, Procedure::MainDisplay, [this] { readTypeFigures(); });
    render();
}

void frmMain::readTypeFigures()
{
    bests_ = parts_.history.bestsOfType(session_.type().id);
    if (commands_.recentAverages)
        statusAverages_->setText(commands_.recentAverages(session_.type().id));
}

void frmMain::Sub_StartStop()
{
    // The moment this press is handled is when the solve starts or ends.
    const std::int64_t now = parts_.clock.monotonicNs();
    PressResult result = PressResult::Ignored;
    guarded(parts_.reporter, Procedure::StartStop, [&] { result = session_.press(now); });
    if (result == PressResult::Completed)
        Sub_Save();
    else if (result == PressResult::Refused)
        parts_.prompts.message(unusableTypeText(session_.type()), Icon::Exclamation, Buttons::Ok);
}

void frmMain::Sub_Penalty(int no, Penalty penalty)
{
    guarded(parts_.reporter, Procedure::Penalty, [&] { session_.setPenalty(no, penalty); });
}

void frmMain::solveMenu(int no, const QPoint &at)
{
    if (!session_.penaltiesOpen() || session_.solveText(no).isEmpty())
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("M_SolvePenalty"));
    const std::pair<QString, Penalty> kinds[] = {{QStringLiteral("ペナルティなし"), Penalty::None},
                                                 {QStringLiteral("+2"), Penalty::PlusTwo},
                                                 {QStringLiteral("DNF"), Penalty::Dnf}};
    for (const auto &[caption, penalty] : kinds) {
        QAction *action = menu.addAction(caption);
        connect(action, &QAction::triggered, this, [this, no, p = penalty] { Sub_Penalty(no, p); });
    }
    menu.exec(at);
}

void frmMain::tmrCountDown_Timer()
{
    const std::int64_t now = parts_.clock.monotonicNs();
    // A tick arriving while an earlier tick's error box is open is dropped,
    // so the boxes do not pile up once a second.
    if (inTick_)
        return;
    const Flag ticking(inTick_);
    guarded(parts_.reporter, Procedure::CountDownTimer, [&] { session_.countdownTick(now); });
}

void frmMain::tmrCount_Timer()
{
    if (inTick_)
        return;
    const Flag ticking(inTick_);
    guarded(parts_.reporter, Procedure::CountTimer, [this] { session_.runningTick(); });
}

void frmMain::Sub_Save()
{
    const QString question = QStringLiteral("平均タイム: ") + session_.averageText() +
                             QStringLiteral("\r\n結果を保存しますか");
    if (parts_.prompts.message(question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    showStatus(QStringLiteral("保存中..."));
    const bool saved = guarded(
        parts_.reporter, Procedure::Save, [this] { session_.save(parts_.clock.localNow()); },
        // The hourglass goes first, or it would cover the error box too.
        [] { QApplication::restoreOverrideCursor(); });
    if (saved) {
        Sub_MainDspSet();
        QApplication::restoreOverrideCursor();
    }
    showStatus(QString());
}

void frmMain::reset()
{
    if (parts_.prompts.message(QStringLiteral("リセットします、よろしいですか"), Icon::Question,
                               Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    Sub_MainDspSet();
}

bool frmMain::isRepeat(const QKeyEvent *key) const
{
    // A window system repeats a held key as release and press pairs that share
    // one timestamp, and the first pair can arrive unmarked: a press at the very
    // moment of the same key's release is a repeat too.
    return key->isAutoRepeat() ||
           (key->key() == releasedKey_ && key->timestamp() != 0 && key->timestamp() == releasedAt_);
}

bool frmMain::holdKey(QKeyEvent *key)
{
    const std::int64_t now = parts_.clock.monotonicNs();
    const bool startKey = (key->key() == Qt::Key_Space || key->key() == Qt::Key_F5) &&
                          key->modifiers() == Qt::NoModifier;
    const bool real = !isRepeat(key);
    switch (key->type()) {
        case QEvent::ShortcutOverride:
            // F5's menu item does not fire: the press and the release decide.
            if (startKey || session_.state() == SessionState::Timing)
                key->accept();
            return startKey;
        case QEvent::KeyPress:
            // Any key stops the clock.
            if (session_.state() == SessionState::Timing) {
                if (real)
                    Sub_StartStop();
                return true;
            }
            if (!startKey)
                return false;
            // A countdown, or a type that cannot be timed, takes the press as
            // it does without the option: it cancels, or says why not.
            if (session_.state() == SessionState::Countdown ||
                (session_.state() == SessionState::Idle && !session_.type().usable())) {
                if (real)
                    Sub_StartStop();
                return true;
            }
            // A held key's repeat: the release just before it was its own.
            releasedNs_.reset();
            tmrRelease_->stop();
            if (real) {
                session_.holdDown(now);
                tmrHold_->start();
                render();
            }
            return true;
        case QEvent::KeyRelease:
            if (!startKey)
                return false;
            if (!key->isAutoRepeat() && !releasedNs_) {
                releasedNs_ = now;
                tmrRelease_->start(int(kRepeatGraceNs / 1'000'000));
            }
            return true;
        default: return false;
    }
}

void frmMain::releaseSettled()
{
    if (!releasedNs_)
        return;
    // Waited by the clock the solve is measured with.
    const std::int64_t waited = parts_.clock.monotonicNs() - *releasedNs_;
    if (waited < kRepeatGraceNs) {
        tmrRelease_->start(int((kRepeatGraceNs - waited + 999'999) / 1'000'000));
        return;
    }
    releaseHeld(*std::exchange(releasedNs_, std::nullopt));
}

void frmMain::releaseHeld(std::int64_t nowNs)
{
    tmrHold_->stop();
    PressResult result = PressResult::Ignored;
    guarded(parts_.reporter, Procedure::StartStop, [&] { result = session_.holdUp(nowNs); });
    render();
    if (result == PressResult::Completed)
        Sub_Save();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Escape takes back an inspection begun by mistake.
    if (type == QEvent::KeyPress && key->key() == Qt::Key_Escape &&
        session_.state() == SessionState::Inspection) {
        session_.cancelInspection();
        render();
        return true;
    }
    // With the hold-to-start option, keys in this window start and stop by
    // their press and release.
    if (session_.holdToStart() && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this && holdKey(key)) {
        if (type == QEvent::KeyRelease) {
            releasedKey_ = key->key();
            releasedAt_ = key->timestamp();
        }
        return true;
    }
    // Space on the focused button is one press at its first key-down, as F5
    // is: the button's own handling would click at the release, and again
    // at every release of a held key's repeats.
    const bool spaceOnButton = watched == cmdStartStop_ && key->key() == Qt::Key_Space &&
                               key->modifiers() == Qt::NoModifier;
    if (type == QEvent::KeyRelease) {
        releasedKey_ = key->key();
        releasedAt_ = key->timestamp();
        return spaceOnButton || QMainWindow::eventFilter(watched, event);
    }
    // Only a real press starts or stops the clock or opens a window: a held
    // key's repeats go nowhere.
    const bool once = key->key() == Qt::Key_F5 || key->key() == Qt::Key_F6 ||
                      key->key() == Qt::Key_F12 || key->key() == Qt::Key_F1 ||
                      ((watched == cmdStartStop_ || watched == cmbType_) &&
                       (isEnter(key) || key->key() == Qt::Key_Space));
    if (once && isRepeat(key)) {
        // An accepted override keeps the shortcut from firing; the key press
        // that follows is dropped here too.
        event->accept();
        return true;
    }
    if (type == QEvent::KeyPress && spaceOnButton) {
        Sub_StartStop();
        return true;
    }
    // Enter in the type list starts and stops as the button does; the key
    // still reaches the list.
    if (type == QEvent::KeyPress && watched == cmbType_ && isEnter(key))
        Sub_StartStop();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace spinlog
