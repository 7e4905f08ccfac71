#pragma once
// A Stackmat timer's state as its checked packets tell it, for a session that
// times solves by the timer. Time is the signal's own (the packets' moments
// and advanceTo), never a clock read here.
//
// A solve is the timer running from zero while we listen: started() when the
// timer begins to run after it showed zero at rest (a reset, or hands on
// after one), then timeChanged() with each new time, then exactly one of
// stopped() with the timer's final time (once, however many packets repeat
// it) or abandoned() (the timer reset while running, or the signal lost).
// A timer already running when the signal comes, or running on from a
// stopped time without a reset, starts nothing. Garbage never reaches here:
// only packets that passed every check do.

#include "stackmat/stackmat_packet.h"

#include <QObject>
#include <cstdint>

namespace spinlog {

// Without a packet for this long of signal, the signal is lost.
inline constexpr std::int64_t kStackmatLostNs = 1'000'000'000;

class StackmatTimer : public QObject {
    Q_OBJECT
public:
    enum class Phase {
        Unknown,  // no signal
        Reset,    // at rest showing zero
        HandsOn,  // one or both hands on, not yet ready
        Ready,    // both hands on long enough: lifting them starts
        Running,
        Stopped,  // at rest showing a time
    };
    enum class Abandon { Reset, SignalLost };

    explicit StackmatTimer(QObject *parent = nullptr);

    // A packet came within the last second of signal.
    bool receiving() const { return receiving_; }
    Phase phase() const { return phase_; }
    // The time the timer showed in its last packet.
    StackmatTime time() const { return time_; }
    // Started and neither stopped nor abandoned yet.
    bool solveUnderWay() const { return timing_; }

    // A checked packet, in the order they came.
    void take(const StackmatPacket &packet);
    // The signal has been read up to NOWNS (the packets' time base): a
    // second without a packet loses it.
    void advanceTo(std::int64_t nowNs);
    // The input is gone: the signal is lost at once.
    void endOfSignal();

signals:
    void receivingChanged(bool receiving);
    void phaseChanged(spinlog::StackmatTimer::Phase phase);
    // The timer shows zero at rest: the next solve may start.
    void readied();
    void started(spinlog::StackmatTime time);
    // A new time while a solve runs.
    void timeChanged(spinlog::StackmatTime time);
    // The solve's final time, the timer's own.
    void stopped(spinlog::StackmatTime time);
    // The solve under way ended without a time: nothing to store.
    void abandoned(spinlog::StackmatTimer::Abandon why);

private:
    void setPhase(Phase phase);
    void lose();

    bool receiving_ = false;
    std::int64_t lastNs_ = 0;
    Phase phase_ = Phase::Unknown;
    StackmatTime time_;
    bool armed_ = false;  // showed zero at rest since the last solve
    bool timing_ = false;
};

}  // namespace spinlog
