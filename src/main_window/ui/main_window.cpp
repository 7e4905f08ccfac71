#include "main_window/ui/main_window.h"

#include "base/error_log.h"
#include "base/error_report.h"
#include "base/number_text.h"
#include "base/seams.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "data/history_list.h"
#include "data/history_writer.h"
#include "data/puzzle_type_store.h"
#include "main_window/control_states.h"
#include "main_window/ui/time_box.h"
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
#include <algorithm>
#include <cmath>
#include <utility>

namespace spinlog {

namespace {

// Clears a flag when the handler that set it ends, however it ends.
class Flag {
public:
    explicit Flag(bool &flag) : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }

private:
    bool &flag_;
};

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
    buildControls();
    buildMenus();
    connect(&session_, &SolveSession::changed, this, &frmMain::render);
    // The type of a series under way must survive a crash: start-up restores
    // the series under the type it selects, so that is written down as soon
    // as the series has its first solve, as the exit would write it.
    connect(&session_, &SolveSession::solveStored, this, [this] {
        if (session_.solves().size() == 1)
            rememberPlace();
    });
    // The status bar's averages follow the series under way once the solve
    // itself is painted: its label is never kept waiting for them.
    averagesLater_ = new QTimer(this);
    averagesLater_->setSingleShot(true);
    averagesLater_->setInterval(0);
    connect(averagesLater_, &QTimer::timeout, this, [this] { showRecentAverages(false); });
    connect(&session_, &SolveSession::solvesChanged, averagesLater_, qOverload<>(&QTimer::start));
    // A save here or a change in the history window changes the best values.
    connect(&parts_.history, &HistoryWriter::changed, this, &frmMain::historyChanged);
    // The options' changes come as several signals: one refresh follows them.
    followOptions_ = new QTimer(this);
    followOptions_->setSingleShot(true);
    followOptions_->setInterval(0);
    connect(followOptions_, &QTimer::timeout, this, &frmMain::followOptions);
    connect(&parts_.types, &PuzzleTypeStore::changed, this, &frmMain::optionsChanged);
    connect(&parts_.settings, &Settings::changed, this, &frmMain::optionsChanged);
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
    const QString status = c.status.isEmpty() ? timerStatus_ : c.status;
    if (status != shownStatus_)
        showStatus(status);

    const int count = session_.type().length();
    std::array<QString, 13> tips;
    for (const Solve &solve : session_.solves()) {
        QStringList lines;
        if (!solve.details.scramble.isEmpty())
            lines << Text::tr("スクランブル: ") + solve.details.scramble;
        if (!solve.details.comment.isEmpty())
            lines << Text::tr("コメント: ") + solve.details.comment;
        if (solve.no >= 1 && solve.no <= 12)
            tips[std::size_t(solve.no)] = lines.join(QLatin1Char('\n'));
    }
    for (int n = 1; n <= 12; ++n) {
        QLabel *label = lblTime_[std::size_t(n)];
        label->setText(session_.solveText(n));
        paintBackground(label, session_.solveColor(n));
        label->setVisible(n <= count);
        // A solve's scramble and comment where the pointer rests on it.
        if (label->toolTip() != tips[std::size_t(n)])
            label->setToolTip(tips[std::size_t(n)]);
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
        parts_.prompts.message(Text::tr("計測中です、計測を停止してから終了してください"),
                               Icon::Exclamation, Buttons::Ok);
        // The running display goes on from the true elapsed time, not from
        // the ticks that were held up while the message was open.
        session_.correctElapsed(parts_.clock.monotonicNs());
        return true;
    }

    rememberPlace();
    showStatus(Text::tr("MDB最適化中..."));
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
    if (!std::exchange(shownOnce_, true))
        emit firstShown();
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
            choices_ = TypeChoices(parts_.types.all());
            cmbType_->addItems(choices_.entries());
            cmbType_->setCurrentIndex(-1);
        }

        QString problem;
        int entry = -1;
        try {
            entry = choice == TypeChoice::Stored ? parts_.settings.defaultTypePosition()
                                                 : choices_.entryOf(session_.type().id);
        } catch (const SpinlogError &e) {
            problem = e.description();
        }
        if (problem.isEmpty() && entry >= 0 && entry < cmbType_->count()) {
            cmbType_->setCurrentIndex(entry);
            return;
        }
        // "-1" is what the last exit stored when no type was chosen; the
        // current type is not listed once it has been taken out (in the
        // options, or with the import that made it).
        if (problem.isEmpty() && entry != -1)
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
        // The type's row as it stands now, whatever the list was filled with.
        const PuzzleType *listed = choices_.typeAt(cmbType_->currentIndex());
        const TypeId id = listed ? listed->id : TypeId();
        const std::optional<PuzzleType> row = parts_.types.find(id);
        const PuzzleType type = row ? *row : missingType(id, cmbType_->currentText());
        session_.showType(type, loadEnd_);
        usable = type.timeable();
        readTypeFigures();
    });
    render();
    if (!usable)
        parts_.prompts.message(unusableTypeText(session_.type()), Icon::Exclamation, Buttons::Ok);
}

void frmMain::optionsChanged()
{
    followOptions_->start();
}

void frmMain::followOptions()
{
    followOptions_->stop();
    // The type chosen again, its display reset, as after the options dialog.
    if (session_.state() == SessionState::Idle && !session_.seriesUnderWay()) {
        Sub_cmbTypeSet(TypeChoice::Current);
        return;
    }
    // A series under way keeps its type and its display: the list shows the
    // names as they are now.
    guarded(parts_.reporter, Procedure::TypeSet, [this] {
        const QSignalBlocker quiet(cmbType_);
        choices_ = TypeChoices(parts_.types.all());
        cmbType_->clear();
        cmbType_->addItems(choices_.entries());
        cmbType_->setCurrentIndex(choices_.entryOf(session_.type().id));
    });
}

void frmMain::historyChanged(const HistoryChange &change)
{
    if (!change.concerns(session_.type().id))
        return;
    guarded(parts_.reporter, Procedure::MainDisplay, [this] { readTypeFigures(); });
    render();
}

void frmMain::readTypeFigures()
{
    bests_ = parts_.historyList.bests(TypeFilter(session_.type().id));
    showRecentAverages(true);
}

void frmMain::showRecentAverages(bool readSaved)
{
    if (commands_.recentAverages)
        statusAverages_->setText(commands_.recentAverages(readSaved));
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

void frmMain::timerStarted(std::int64_t hundredths)
{
    const std::int64_t now = parts_.clock.monotonicNs();
    PressResult result = PressResult::Ignored;
    guarded(parts_.reporter, Procedure::StartStop,
            [&] { result = session_.timerStarted(now, hundredths); });
    if (result == PressResult::Refused)
        parts_.prompts.message(unusableTypeText(session_.type()), Icon::Exclamation, Buttons::Ok);
}

void frmMain::timerShows(std::int64_t hundredths)
{
    session_.timerShows(hundredths);
}

void frmMain::timerStopped(std::int64_t hundredths)
{
    PressResult result = PressResult::Ignored;
    guarded(parts_.reporter, Procedure::StartStop,
            [&] { result = session_.timerStopped(hundredths); });
    if (result == PressResult::Completed)
        Sub_Save();
}

bool frmMain::timerAbandoned()
{
    return session_.timerAbandoned();
}

void frmMain::showTimerStatus(const QString &text)
{
    timerStatus_ = text;
    render();
}

void frmMain::givePenalty(int no, Penalty penalty)
{
    guarded(parts_.reporter, Procedure::Penalty, [&] { session_.setPenalty(no, penalty); });
}

void frmMain::solveMenu(int no, const QPoint &at)
{
    if (!session_.penaltiesOpen() || session_.solveText(no).isEmpty())
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("M_SolvePenalty"));
    const std::pair<QString, Penalty> kinds[] = {{Text::tr("ペナルティなし"), Penalty::None},
                                                 {QStringLiteral("+2"), Penalty::PlusTwo},
                                                 {QStringLiteral("DNF"), Penalty::Dnf}};
    for (const auto &[caption, penalty] : kinds) {
        QAction *action = menu.addAction(caption);
        connect(action, &QAction::triggered, this, [this, no, p = penalty] { givePenalty(no, p); });
    }
    menu.addSeparator();
    QAction *comment = menu.addAction(Text::tr("コメント..."));
    comment->setObjectName(QStringLiteral("M_SolveComment"));
    connect(comment, &QAction::triggered, this, [this, no] { giveComment(no); });
    menu.exec(at);
}

void frmMain::giveComment(int no)
{
    const auto solve = std::find_if(session_.solves().begin(), session_.solves().end(),
                                    [no](const Solve &s) { return s.no == no; });
    if (solve == session_.solves().end())
        return;
    const std::optional<QString> comment = parts_.prompts.inputText(
        Text::tr("コメント"), Text::tr("%1回目 (%2) のコメント:").arg(no).arg(solve->time),
        solve->details.comment);
    if (comment)
        guarded(parts_.reporter, Procedure::Comment,
                [&] { session_.setComment(no, comment->trimmed()); });
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

void frmMain::scrambleShown(bool shown)
{
    actScramble_->setChecked(shown);
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
    const QString question =
        Text::tr("平均タイム: ") + session_.averageText() + Text::tr("\r\n結果を保存しますか");
    if (parts_.prompts.message(question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    showStatus(Text::tr("保存中..."));
    const bool saved = guarded(
        parts_.reporter, Procedure::Save, [this] { session_.save(parts_.clock.localNow()); },
        // The hourglass goes first, or it would cover the error box too.
        [] { QApplication::restoreOverrideCursor(); });
    if (saved) {
        Sub_MainDspSet();
        QApplication::restoreOverrideCursor();
    }
    showStatus(timerStatus_);
}

void frmMain::reset()
{
    if (parts_.prompts.message(Text::tr("リセットします、よろしいですか"), Icon::Question,
                               Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    Sub_MainDspSet();
}

}  // namespace spinlog
