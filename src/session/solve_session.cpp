#include "session/solve_session.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/seams.h"
#include "base/settings.h"
#include "base/time_values.h"

#include <QDateTime>
#include <algorithm>

namespace spinlog {

// Tells the observers once an input is handled, however it ends.
class SolveSession::Notify {
public:
    explicit Notify(SolveSession &session) : session_(session) {}
    ~Notify() { emit session_.changed(); }
    Notify(const Notify &) = delete;
    Notify &operator=(const Notify &) = delete;

private:
    SolveSession &session_;
};

SolveSession::SolveSession(const Settings &settings, SeriesStore &store, QObject *parent)
    : QObject(parent), settings_(settings), store_(store)
{
}

QString SolveSession::solveText(int no) const
{
    for (const Solve &s : solves_)
        if (s.no == no)
            return s.time;
    return {};
}

bool SolveSession::inspects() const
{
    return settings_.isOn(Setting::Inspection) && type_.inspected;
}

bool SolveSession::holdToStart() const
{
    return settings_.isOn(Setting::HoldToStart);
}

bool SolveSession::penaltiesOpen() const
{
    return !solves_.empty() && (state_ == SessionState::Idle || state_ == SessionState::Complete);
}

PressResult SolveSession::press(std::int64_t nowNs)
{
    const Notify notify(*this);
    heldSince_.reset();
    switch (state_) {
        case SessionState::Idle: {
            if (!type_.timeable())
                return PressResult::Refused;
            if (inspects()) {
                state_ = SessionState::Inspection;
                beforeInspection_ = clockText_;
                startNs_ = nowNs;
                ticks_ = 0;
                clockText_ = QStringLiteral("15");
                return PressResult::Started;
            }
            // Read before anything changes, so a setting that is no number
            // leaves the session as it was.
            const std::int16_t countdown = settings_.countdownSeconds();
            // A negative countdown would never reach 0: it counts as none.
            if (countdown <= 0) {
                beginTiming(nowNs);
                return PressResult::Started;
            }
            state_ = SessionState::Countdown;
            countdownLeft_ = countdown;
            clockText_ = QString::number(countdownLeft_);
            return PressResult::Started;
        }
        case SessionState::Countdown:
            // Cancelled: nothing is recorded.
            state_ = SessionState::Idle;
            countdownLeft_ = settings_.countdownSeconds();
            clockText_ = QString::number(countdownLeft_);
            return PressResult::Cancelled;
        case SessionState::Inspection:
            // The solve begins; how long the inspection took decides its penalty.
            beginTiming(nowNs, inspectionPenalty(nowNs - startNs_));
            return PressResult::Started;
        case SessionState::Timing: return stop(nowNs);
        case SessionState::Complete: break;
    }
    return PressResult::Ignored;
}

HoldPhase SolveSession::holdPhase(std::int64_t nowNs) const
{
    if (!heldSince_)
        return HoldPhase::None;
    return nowNs - *heldSince_ >= kHoldNs ? HoldPhase::Ready : HoldPhase::Holding;
}

void SolveSession::holdDown(std::int64_t nowNs)
{
    const bool startable =
        (state_ == SessionState::Idle && type_.timeable()) || state_ == SessionState::Inspection;
    if (!holdToStart() || !startable || heldSince_)
        return;
    const Notify notify(*this);
    heldSince_ = nowNs;
}

PressResult SolveSession::holdUp(std::int64_t nowNs)
{
    if (!heldSince_)
        return PressResult::Ignored;
    if (nowNs - *heldSince_ < kHoldNs) {
        const Notify notify(*this);
        heldSince_.reset();
        return PressResult::Ignored;
    }
    return press(nowNs);
}

bool SolveSession::cancelInspection()
{
    if (state_ != SessionState::Inspection)
        return false;
    const Notify notify(*this);
    state_ = SessionState::Idle;
    heldSince_.reset();
    clockText_ = beforeInspection_;
    return true;
}

std::vector<Solve>::iterator SolveSession::solveAt(int no)
{
    return std::find_if(solves_.begin(), solves_.end(),
                        [no](const Solve &s) { return s.no == no; });
}

bool SolveSession::setPenalty(int no, Penalty penalty)
{
    if (!penaltiesOpen())
        return false;
    const auto at = solveAt(no);
    if (at == solves_.end())
        return false;
    const Notify notify(*this);
    const Attempt attempt{at->attempt.raw, penalty};
    const Solve solve{no, attempt.counted().hundredths, attempt.text(), attempt, at->details};
    // Stored first: the session never shows what the store does not hold.
    store_.update(solve);
    // The large clock follows when it shows this solve.
    if (clockText_ == at->time && no == solves_.back().no)
        clockText_ = solve.time;
    *at = solve;
    markBestWorst();
    if (state_ == SessionState::Complete)
        average_ = seriesAverage();
    emit solvesChanged();
    return true;
}

bool SolveSession::setComment(int no, const QString &comment)
{
    if (!penaltiesOpen())
        return false;
    const auto at = solveAt(no);
    if (at == solves_.end())
        return false;
    const Notify notify(*this);
    Solve solve = *at;
    solve.details.comment = comment;
    store_.update(solve);
    *at = std::move(solve);
    return true;
}

void SolveSession::beginTiming(std::int64_t nowNs, Penalty penalty)
{
    // The clock keeps its text (the countdown's 0, or the last solve) until
    // the first running tick.
    state_ = SessionState::Timing;
    elapsed_ = 0;
    startNs_ = nowNs;
    startPenalty_ = penalty;
    startScramble_ = scrambleShown_ ? scrambleShown_() : QString();
    byTimer_ = false;
    emit sound();
}

PressResult SolveSession::stop(std::int64_t nowNs)
{
    lastSolveNs_ = nowNs - startNs_;
    return finish(hundredthsFromNs(lastSolveNs_));
}

PressResult SolveSession::finish(std::int64_t hundredths)
{
    state_ = SessionState::Idle;
    byTimer_ = false;
    const Attempt attempt{hundredths, startPenalty_};
    const QString time = attempt.text();
    clockText_ = time;

    // The first free slot: solves are numbered in the order they finish.
    int no = 1;
    while (no <= 12 && !solveText(no).isEmpty()) ++no;
    if (no > 12)
        throw SpinlogError(invalidPropertyText());
    Solve solve{no, attempt.counted().hundredths, time, attempt, {}};
    if (wallClock_)
        solve.details.moment = wallClock_->localNow().toMSecsSinceEpoch();
    solve.details.scramble = startScramble_;
    // Stored first: the session never shows a solve the store does not hold.
    store_.add(solve);
    solves_.insert(std::upper_bound(solves_.begin(), solves_.end(), solve,
                                    [](const Solve &a, const Solve &b) { return a.no < b.no; }),
                   solve);
    emit solveStored(no);

    marks_ = bestAndWorst(solves_);
    const bool complete = no == type_.length();
    if (complete) {
        average_ = seriesAverage();
        state_ = SessionState::Complete;
    }
    markBestWorst();
    emit solvesChanged();
    return complete ? PressResult::Completed : PressResult::Stored;
}

void SolveSession::countdownTick(std::int64_t nowNs)
{
    if (state_ == SessionState::Inspection) {
        const Notify notify(*this);
        ++ticks_;
        clockText_ = ticks_ < 15   ? QString::number(15 - ticks_)
                     : ticks_ < 17 ? QStringLiteral("+2")
                                   : QStringLiteral("DNF");
        if (ticks_ == 8 || ticks_ == 12)
            emit warning();
        return;
    }
    if (state_ != SessionState::Countdown)
        return;
    const Notify notify(*this);
    --countdownLeft_;
    clockText_ = QString::number(countdownLeft_);
    if (countdownLeft_ <= 0)
        beginTiming(nowNs);
}

void SolveSession::runningTick()
{
    if (state_ != SessionState::Timing)
        return;
    const Notify notify(*this);
    ++elapsed_;
    // The timer's solve shows the timer's own time.
    if (!byTimer_)
        clockText_ = timeChangeHNS(QString::number(elapsed_));
    // Converted at each tick, after the display moved on, as every setting is
    // converted where it is used.
    const std::int16_t alarm = settings_.alarmSeconds();
    if (alarm != 0 && elapsed_ % alarm == 0)
        emit sound();
}

void SolveSession::correctElapsed(std::int64_t nowNs)
{
    if (state_ == SessionState::Timing)
        elapsed_ = (nowNs - startNs_) / 1'000'000'000;
}

PressResult SolveSession::timerStarted(std::int64_t nowNs, std::int64_t hundredths)
{
    Penalty penalty = Penalty::None;
    switch (state_) {
        case SessionState::Idle:
            if (!type_.timeable()) {
                const Notify notify(*this);
                return PressResult::Refused;
            }
            break;
        case SessionState::Countdown: break;
        case SessionState::Inspection: penalty = inspectionPenalty(nowNs - startNs_); break;
        case SessionState::Timing:
        case SessionState::Complete: return PressResult::Ignored;
    }
    const Notify notify(*this);
    heldSince_.reset();
    beginTiming(nowNs, penalty);
    byTimer_ = true;
    clockText_ = countedText({hundredths});
    return PressResult::Started;
}

void SolveSession::timerShows(std::int64_t hundredths)
{
    if (!timedByTimer())
        return;
    const QString text = countedText({hundredths});
    if (text == clockText_)
        return;
    const Notify notify(*this);
    clockText_ = text;
}

PressResult SolveSession::timerStopped(std::int64_t hundredths)
{
    if (!timedByTimer())
        return PressResult::Ignored;
    const Notify notify(*this);
    lastSolveNs_ = hundredths * 10'000'000;
    return finish(hundredths);
}

bool SolveSession::timerAbandoned()
{
    if (!timedByTimer())
        return false;
    const Notify notify(*this);
    state_ = SessionState::Idle;
    byTimer_ = false;
    clockText_ = settings_.text(Setting::CntDownTm);
    return true;
}

void SolveSession::showType(const std::optional<PuzzleType> &type, bool discardSeries)
{
    const Notify notify(*this);
    state_ = SessionState::Idle;
    heldSince_.reset();
    clockText_ = settings_.text(Setting::CntDownTm);
    average_.clear();
    if (type) {
        type_ = *type;
        emit typeChanged();
    }
    if (discardSeries)
        store_.clear();
    // At start-up the display starts empty too; restore() brings the solves.
    solves_.clear();
    marks_ = {};
    colors_.fill(settings_.color(Setting::DefColor));
    emit solvesChanged();
}

void SolveSession::restore()
{
    const Notify notify(*this);
    std::vector<Solve> solves = store_.load();
    if (solves.empty())
        return;
    solves_ = std::move(solves);
    markBestWorst();
    if (!solveText(type_.length()).isEmpty()) {
        // Complete, its save declined before the last exit: the question
        // waits for the save command.
        average_ = seriesAverage();
        state_ = SessionState::Complete;
    }
    emit solvesChanged();
}

void SolveSession::save(const QDateTime &now)
{
    const Notify notify(*this);
    std::array<QString, 12> labels;
    for (int no = 1; no <= 12; ++no) labels[std::size_t(no - 1)] = solveText(no);
    store_.save(seriesRecord(now, type_.id, labels, average_, solves_));
    solves_.clear();
    marks_ = {};
    average_.clear();
    state_ = SessionState::Idle;
    emit solvesChanged();
}

void SolveSession::markBestWorst()
{
    // All three first, so a colour that is no colour paints nothing.
    const std::uint32_t plain = settings_.color(Setting::DefColor);
    const std::uint32_t best = settings_.color(Setting::BestColor);
    const std::uint32_t worst = settings_.color(Setting::WorstColor);
    marks_ = bestAndWorst(solves_);
    colors_.fill(plain);
    if (marks_.best != 0) {
        // Worst first: a single solve is both and shows as best.
        colors_[std::size_t(marks_.worst)] = worst;
        colors_[std::size_t(marks_.best)] = best;
    }
}

QString SolveSession::seriesAverage() const
{
    // From the solves' display texts, as they are shown.
    std::vector<Solve> counted;
    for (int no = 1; no <= std::min(type_.length(), 12); ++no) {
        const QString text = solveText(no);
        const std::optional<Counted> value = countedFromText(text);
        if (!value)
            throw SpinlogError(describe::typeMismatch());
        counted.push_back(Solve{no, value->hundredths, text, {}, {}});
    }
    return countedText(spinlog::seriesAverage(counted, type_.average, marks_));
}

}  // namespace spinlog
