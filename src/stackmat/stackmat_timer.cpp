#include "stackmat/stackmat_timer.h"

namespace spinlog {

namespace {

StackmatTimer::Phase phaseOf(const StackmatPacket &packet)
{
    using Phase = StackmatTimer::Phase;
    switch (packet.status) {
        case kStackmatRunning: return Phase::Running;
        case 'S': return Phase::Stopped;
        case 'A': return Phase::Ready;
        case 'L':
        case 'R':
        case 'C': return Phase::HandsOn;
        default: return packet.time.ms == 0 ? Phase::Reset : Phase::Stopped;
    }
}

}  // namespace

StackmatTimer::StackmatTimer(QObject *parent) : QObject(parent) {}

void StackmatTimer::take(const StackmatPacket &packet)
{
    lastNs_ = packet.atNs;
    if (!receiving_) {
        receiving_ = true;
        emit receivingChanged(true);
    }
    const StackmatTime before = time_;
    time_ = packet.time;
    Phase phase = phaseOf(packet);
    if (timing_) {
        // A hand on a pad while the time still moves is a solve running on;
        // 'S', or the fourth generation's 'I', is a stop at once.
        if (phase == Phase::HandsOn || phase == Phase::Ready)
            phase = packet.time.ms == before.ms ? Phase::Stopped : Phase::Running;
        if (phase == Phase::Running) {
            if (packet.time != before)
                emit timeChanged(packet.time);
        } else if (packet.time.ms == 0) {
            timing_ = false;
            emit abandoned(Abandon::Reset);
            armed_ = true;
            emit readied();
        } else {
            timing_ = false;
            emit stopped(packet.time);
        }
    } else if (phase == Phase::Running) {
        if (armed_) {
            armed_ = false;
            timing_ = true;
            emit started(packet.time);
        }
    } else if (packet.time.ms == 0 && !armed_) {
        armed_ = true;
        emit readied();
    }
    setPhase(phase);
}

void StackmatTimer::advanceTo(std::int64_t nowNs)
{
    if (receiving_ && nowNs - lastNs_ > kStackmatLostNs)
        lose();
}

void StackmatTimer::endOfSignal()
{
    if (receiving_)
        lose();
}

void StackmatTimer::lose()
{
    receiving_ = false;
    armed_ = false;
    if (timing_) {
        timing_ = false;
        emit abandoned(Abandon::SignalLost);
    }
    emit receivingChanged(false);
    setPhase(Phase::Unknown);
}

void StackmatTimer::setPhase(Phase phase)
{
    if (phase == phase_)
        return;
    phase_ = phase;
    emit phaseChanged(phase);
}

}  // namespace spinlog
