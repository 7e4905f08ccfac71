#include "stackmat/signal_decoder.h"

#include <algorithm>
#include <cmath>

namespace spinlog {

namespace {

// Below this the detector's output is taken for silence: a twentieth of the
// step a signal at 2 % of full scale makes, well above a quiet input's noise.
constexpr double kQuietStep = 0.002;
// The comparator's levels, as a part of the recent peaks: low enough that a
// hum opposing an edge does not hide it, high enough that noise between
// edges does not cross. The first edge after a rest may be half the others:
// the coupling capacitor has drawn the resting line to the middle, and a
// clipped input then swings only from there to one rail.
constexpr double kThreshold = 0.4;
constexpr double kRestThreshold = 0.35;
// How fast the recent peak forgets: halved in half a second, so a packet's
// edges (nine a second) hold it and a weaker signal is followed soon.
constexpr double kPeakHalfLifeSeconds = 0.5;
// Past the longest run of equal bits in a byte and its stop bit, the line
// rests; nothing more to read until the next edge.
constexpr int kBitsPerEdge = 12;
// Another channel is listened to only when the one listened to has given
// no packet for this long (about three packets).
constexpr std::int64_t kSwitchNs = 350'000'000;

}  // namespace

StackmatLineDecoder::StackmatLineDecoder(int rate)
    : rate_(std::clamp(rate, kStackmatMinRate, kStackmatMaxRate)),
      bitSamples_(rate_ / kStackmatBaud),
      half_(std::max(1, int(bitSamples_ * 0.45))),
      perHalf_(1.0 / half_),
      ring_(std::size_t(2 * half_), 0.0f),
      peakDecay_(std::pow(0.5, 1.0 / (kPeakHalfLifeSeconds * rate_)))
{
    receivers_[0].idleHigh = false;
    receivers_[1].idleHigh = true;
}

std::int64_t StackmatLineDecoder::nsAt(std::int64_t sample) const
{
    return sample / rate_ * 1'000'000'000 + sample % rate_ * 1'000'000'000 / rate_;
}

double StackmatLineDecoder::stepWith(float x)
{
    // A broken float input (NaN, infinities) must not stick in the sums.
    if (!(x > -4.0f && x < 4.0f))
        x = 0.0f;
    const std::size_t size = ring_.size();
    std::size_t middle = ringAt_ + std::size_t(half_);
    if (middle >= size)
        middle -= size;
    const float halfAgo = ring_[middle];
    recent_ += x - halfAgo;
    older_ += halfAgo - ring_[ringAt_];
    ring_[ringAt_] = x;
    if (++ringAt_ == size)
        ringAt_ = 0;
    return (recent_ - older_) * perHalf_;
}

void StackmatLineDecoder::compare(double step, std::vector<StackmatPacket> &out)
{
    peak_ = std::max(std::abs(step), peak_ * peakDecay_);
    // An edge is a step towards the other level; after a rest (or at the
    // start) a step either way, since the level at rest may have been taken
    // wrongly (a line that began at its space level, or came back).
    const bool resting = bitsSinceEdge_ >= kBitsPerEdge;
    const double threshold = std::max(kQuietStep, (resting ? kRestThreshold : kThreshold) * peak_);
    if ((high_ ? -step : step) > threshold || (resting && std::abs(step) > threshold)) {
        const bool rising = step > 0;
        // The line rested at the other level: a receiver that has not yet
        // seen it at rest (at the start) takes that as its idle.
        if (resting)
            for (Receiver &receiver : receivers_) receiver.bit(!rising, nsAt(sample_), out);
        const double toward = rising ? step : -step;
        const double rise = toward - (rising ? lastStep_ : -lastStep_);
        high_ = rising;
        sinceEdge_ = rise > 0 ? std::min(1.0, (toward - threshold) / rise) : 0.0;
        nextBit_ = 0.5 * bitSamples_;
        bitsSinceEdge_ = 0;
    } else {
        sinceEdge_ += 1.0;
    }
    lastStep_ = step;
}

void StackmatLineDecoder::feed(const float *samples, std::size_t count, std::size_t stride,
                               std::vector<StackmatPacket> &out)
{
    for (std::size_t i = 0; i < count; ++i) {
        compare(stepWith(samples[i * stride]), out);
        while (sinceEdge_ >= nextBit_ && bitsSinceEdge_ < kBitsPerEdge) {
            const std::int64_t at = nsAt(sample_);
            for (Receiver &receiver : receivers_) receiver.bit(high_, at, out);
            nextBit_ += bitSamples_;
            ++bitsSinceEdge_;
        }
        ++sample_;
    }
    // The running sums are made exact again from time to time, so rounding
    // cannot creep in over hours.
    if (sample_ % (1 << 16) < std::int64_t(count)) {
        const std::size_t size = ring_.size();
        recent_ = older_ = 0;
        for (int k = 0; k < half_; ++k) {
            recent_ += ring_[(ringAt_ + size - 1 - std::size_t(k)) % size];
            older_ += ring_[(ringAt_ + size - 1 - std::size_t(half_ + k)) % size];
        }
    }
}

void StackmatLineDecoder::Receiver::bit(bool high, std::int64_t atNs,
                                        std::vector<StackmatPacket> &out)
{
    const bool mark = high == idleHigh;
    switch (expect) {
        case Expect::Idle:
            if (mark)
                expect = Expect::Start;
            break;
        case Expect::Start:
            if (!mark) {
                expect = Expect::Data;
                bits = 0;
                value = 0;
            }
            break;
        case Expect::Data:
            value |= unsigned(mark) << bits;
            if (++bits == 8)
                expect = Expect::Stop;
            break;
        case Expect::Stop:
            if (mark) {
                byte(std::uint8_t(value), atNs, out);
                expect = Expect::Start;
            } else {
                // No stop bit: the byte is wrong, and with it the packet.
                length = 0;
                expect = Expect::Idle;
            }
            break;
    }
}

void StackmatLineDecoder::Receiver::byte(std::uint8_t value, std::int64_t atNs,
                                         std::vector<StackmatPacket> &out)
{
    if (length == bytes.size()) {
        std::copy(bytes.begin() + 1, bytes.end(), bytes.begin());
        --length;
    }
    bytes[length++] = value;
    if (value != '\r' || length < 2 || bytes[length - 2] != '\n')
        return;
    for (const std::size_t size : {std::size_t(10), std::size_t(9)}) {
        if (length < size)
            continue;
        if (auto packet = readStackmatPacket({bytes.data() + length - size, size})) {
            packet->atNs = atNs;
            out.push_back(*packet);
            break;
        }
    }
    length = 0;
}

StackmatDecoder::StackmatDecoder(int rate, int channels)
    : rate_(std::clamp(rate, kStackmatMinRate, kStackmatMaxRate)),
      channels_(std::max(1, channels)),
      lines_(std::size_t(std::min(channels_, 2)), StackmatLineDecoder(rate_)),
      found_(lines_.size())
{
}

std::int64_t StackmatDecoder::streamNs() const
{
    return frames_ / rate_ * 1'000'000'000 + frames_ % rate_ * 1'000'000'000 / rate_;
}

std::vector<StackmatPacket> StackmatDecoder::feed(const float *frames, std::size_t count)
{
    for (std::size_t c = 0; c < lines_.size(); ++c) {
        found_[c].clear();
        lines_[c].feed(frames + c, count, std::size_t(channels_), found_[c]);
    }
    frames_ += std::int64_t(count);
    // The channels' packets in the order they ended (the first channel first
    // at the same moment), each taken when it comes from the channel
    // listened to or that one has fallen silent.
    std::vector<StackmatPacket> packets;
    std::vector<std::size_t> next(lines_.size(), 0);
    for (;;) {
        std::size_t from = lines_.size();
        for (std::size_t c = 0; c < lines_.size(); ++c)
            if (next[c] < found_[c].size() &&
                (from == lines_.size() || found_[c][next[c]].atNs < found_[from][next[from]].atNs))
                from = c;
        if (from == lines_.size())
            return packets;
        const StackmatPacket &packet = found_[from][next[from]++];
        if (from == heard_ || heardAtNs_ < 0 || packet.atNs - heardAtNs_ > kSwitchNs) {
            heard_ = from;
            heardAtNs_ = packet.atNs;
            packets.push_back(packet);
        }
    }
}

}  // namespace spinlog
