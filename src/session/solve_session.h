#pragma once
// The solve session: the stopwatch and the series under way, as plain state
// driven by presses and ticks. A solve is the difference of two clock
// readings handed in with the presses, or the time a timer of its own (the
// Stackmat) measured; the one-second ticks only drive the displays and the
// alarm. Finished solves go to the series store at once, so
// a series survives the end of the program.
//
// Every input either completes or throws SpinlogError, leaving the session in
// one of its states; the caller reports the failure under its own title.
// Observers learn of every change through changed().

#include "data/series_store.h"
#include "session/series_rules.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QDateTime;

namespace spinlog {

class Clock;
class Settings;

enum class SessionState {
    Idle,        // waiting for a press; a series may be under way
    Countdown,   // the inspection countdown runs
    Inspection,  // the competition's inspection runs; a press starts the solve
    Timing,      // the clock runs
    Complete,    // every solve of the series is in; waiting for save or reset
};

// Where a held start key is: not held, held too briefly, held long enough
// that its release starts.
enum class HoldPhase { None, Holding, Ready };

// How long a start key must be held before its release starts.
inline constexpr std::int64_t kHoldNs = 300'000'000;

// Refused: the type cannot be timed (its count is no count of 1 to 12).
enum class PressResult { Started, Cancelled, Stored, Completed, Ignored, Refused };

class SolveSession : public QObject {
    Q_OBJECT
public:
    // Both must outlive the session.
    SolveSession(const Settings &settings, SeriesStore &store, QObject *parent = nullptr);

    // Where a stored solve's moment and scramble come from: the wall clock
    // read at the stop, and the scramble shown for the type when the solve
    // starts (empty: none). Without them a solve has neither, and its
    // series' save dates it.
    void setWallClock(const Clock *clock) { wallClock_ = clock; }
    void setScrambleShown(std::function<QString()> scramble)
    {
        scrambleShown_ = std::move(scramble);
    }

    SessionState state() const { return state_; }
    const PuzzleType &type() const { return type_; }
    // At least one solve of the series is in.
    bool seriesUnderWay() const { return !solves_.empty(); }
    const std::vector<Solve> &solves() const { return solves_; }
    // The display text of solve no (1 to 12); empty while it is not done.
    QString solveText(int no) const;
    // The background of solve no's label, 0x00BBGGRR.
    std::uint32_t solveColor(int no) const { return colors_.at(std::size_t(no)); }
    BestWorst marks() const { return marks_; }
    // The average of a complete series, display form; empty otherwise.
    const QString &averageText() const { return average_; }
    // The large clock: the countdown, the running whole seconds or the last
    // solve. Its colour follows the state.
    const QString &clockText() const { return clockText_; }
    std::int64_t elapsedSeconds() const { return elapsed_; }
    // The last solve as measured, before it was rounded to hundredths.
    std::int64_t lastSolveNs() const { return lastSolveNs_; }
    // The last seconds of the inspection: the clock shows its warning colour.
    bool inspectionWarning() const { return state_ == SessionState::Inspection && ticks_ >= 12; }
    // Where a held start key is at the moment given.
    HoldPhase holdPhase(std::int64_t nowNs) const;
    // Whether presses start at the release of a held key (an option).
    bool holdToStart() const;
    // Whether a penalty can be given now: a solve is in and the clock is at rest.
    bool penaltiesOpen() const;

    // The one toggle: starts (with the countdown when one is set), cancels
    // the countdown, or stops the clock and stores the solve. A type that
    // cannot be timed starts nothing.
    PressResult press(std::int64_t nowNs);
    // A start key held down and let go, with the hold-to-start option: the
    // release after a hold of at least kHoldNs presses; a shorter one, or
    // any hold without the option, does nothing.
    void holdDown(std::int64_t nowNs);
    PressResult holdUp(std::int64_t nowNs);
    // Ends an inspection without a solve (a press began it by mistake): the
    // display shows what it showed before. False when none is under way.
    bool cancelInspection();
    // Gives solve no (1 to 12) of the series a penalty, or takes it away:
    // stored first, then marks and average worked out again. Only while
    // penaltiesOpen(); false when there is no such solve.
    bool setPenalty(int no, Penalty penalty);
    // Gives solve no a comment (empty: none), stored first; only while
    // penaltiesOpen(); false when there is no such solve.
    bool setComment(int no, const QString &comment);
    // The countdown's one-second tick; timing begins on the tick that shows 0.
    // During the inspection it shows the seconds left, then "+2" and "DNF",
    // and gives the warnings at 8 and 12 seconds.
    void countdownTick(std::int64_t nowNs);
    // The running clock's one-second tick: the display and the alarm.
    void runningTick();
    // Sets the running display to the true elapsed whole seconds, after ticks
    // were held up (a refused exit).
    void correctElapsed(std::int64_t nowNs);

    // A timer of its own as the clock. Its start begins the solve from Idle,
    // ends a countdown, or ends the inspection with the inspection's penalty;
    // while its solve runs the clock shows the timer's time; its stop stores
    // the timer's own time. A solve a press began stays the presses': the
    // timer's start and stop leave it, as a press stops the timer's solve by
    // the clock.
    PressResult timerStarted(std::int64_t nowNs, std::int64_t hundredths);
    void timerShows(std::int64_t hundredths);
    PressResult timerStopped(std::int64_t hundredths);
    // The timer's solve ended without a time (the timer reset while running,
    // its signal lost): nothing is stored. False when none was under way.
    bool timerAbandoned();
    // The solve under way was begun by the timer.
    bool timedByTimer() const { return state_ == SessionState::Timing && byTimer_; }

    // A fresh display for the type (nothing: the type stays): the clock shows
    // the countdown setting, every label is empty in the plain colour. With
    // discardSeries the series under way is emptied in the store too; without
    // it (start-up) the store is left for restore().
    void showType(const std::optional<PuzzleType> &type, bool discardSeries);
    // Brings back the series the store holds: solves, colours and, when the
    // last solve of the type's series is in, the average (Complete, without
    // asking to save).
    void restore();
    // Moves the complete series into the history and starts an empty one.
    void save(const QDateTime &now);

signals:
    void changed();
    // The start signal or an alarm is due.
    void sound();
    // The inspection's call at 8 and at 12 seconds is due.
    void warning();
    // Solve no was stored.
    void solveStored(int no);
    // The solves of the series under way changed: one stored, a penalty, the
    // series restored, saved or emptied.
    void solvesChanged();
    // A type was chosen (also the same one again).
    void typeChanged();

private:
    class Notify;
    void beginTiming(std::int64_t nowNs, Penalty penalty = Penalty::None);
    bool inspects() const;
    PressResult stop(std::int64_t nowNs);
    PressResult finish(std::int64_t hundredths);
    void markBestWorst();
    QString seriesAverage() const;
    std::vector<Solve>::iterator solveAt(int no);

    const Settings &settings_;
    SeriesStore &store_;
    SessionState state_ = SessionState::Idle;
    PuzzleType type_;
    std::vector<Solve> solves_;               // in solve number order
    std::array<std::uint32_t, 13> colors_{};  // [0] unused
    BestWorst marks_;
    QString average_;
    QString clockText_;
    QString beforeInspection_;  // the display an inspection cancelled goes back to
    std::int16_t countdownLeft_ = 0;
    std::int64_t elapsed_ = 0;
    std::int64_t startNs_ = 0;
    std::int64_t lastSolveNs_ = 0;
    Penalty startPenalty_ = Penalty::None;  // given by the inspection
    bool byTimer_ = false;                  // the solve under way is the timer's
    int ticks_ = 0;                         // of the inspection
    std::optional<std::int64_t> heldSince_;
    const Clock *wallClock_ = nullptr;
    std::function<QString()> scrambleShown_;
    QString startScramble_;  // shown when the solve under way started
};

}  // namespace spinlog
