#pragma once
// A Stackmat timer's serial line (1200 baud, 8 data bits, no parity, one stop
// bit) read back from audio samples, at any rate from 8 to 96 kHz, with either
// line level as the idle one, on any channel.
//
// The line reaches a sound card through its coupling capacitor, with hum and
// noise on top, so levels mean little; its edges do. Each channel's samples
// go through a step detector (the mean of the last half bit less the mean of
// the half bit before it), which answers an edge with a peak of the step's
// size, a slow hum with a fraction of its slope and noise with a fraction of
// its spread. A comparator with hysteresis at 40 % of the recent peaks turns
// the peaks back into a two-level line, the moment of each crossing
// interpolated between samples. Bits are read in the middle of each bit
// period counted from the last edge, so a timer's clock a few percent off
// still reads. Two receivers read the same bits, one taking the high level as
// idle and one the low; only whole packets that pass their checks come out.

#include "stackmat/stackmat_packet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace spinlog {

inline constexpr double kStackmatBaud = 1200.0;
inline constexpr int kStackmatMinRate = 8000;
inline constexpr int kStackmatMaxRate = 96000;

// One channel's line.
class StackmatLineDecoder {
public:
    // RATE in samples per second, kStackmatMinRate to kStackmatMaxRate.
    explicit StackmatLineDecoder(int rate);

    // Reads COUNT samples (full scale -1 to 1), every STRIDE-th value from
    // SAMPLES, and appends the packets completed in them to OUT.
    void feed(const float *samples, std::size_t count, std::size_t stride,
              std::vector<StackmatPacket> &out);

private:
    // One reading of the bits: an asynchronous receiver with the packet's
    // bytes, for one choice of the idle level.
    struct Receiver {
        enum class Expect { Start, Data, Stop, Idle };
        void bit(bool high, std::int64_t atNs, std::vector<StackmatPacket> &out);
        void byte(std::uint8_t value, std::int64_t atNs, std::vector<StackmatPacket> &out);

        bool idleHigh = false;
        Expect expect = Expect::Idle;
        int bits = 0;
        unsigned value = 0;
        std::array<std::uint8_t, 10> bytes{};
        std::size_t length = 0;
    };
    // Takes sample X in; the step detector's output.
    double stepWith(float x);
    // The comparator: an edge sets the level and restarts the bit clock.
    void compare(double step, std::vector<StackmatPacket> &out);
    std::int64_t nsAt(std::int64_t sample) const;

    const int rate_;
    const double bitSamples_;
    const int half_;  // samples in each of the step detector's two halves
    const double perHalf_;
    std::vector<float> ring_;  // the last 2 * half_ samples
    std::size_t ringAt_ = 0;
    double recent_ = 0;  // sum of the last half_ samples
    double older_ = 0;   // sum of the half_ before them
    double lastStep_ = 0;
    double peak_ = 0;  // decaying peak of the detector's output
    const double peakDecay_;
    bool high_ = false;
    double sinceEdge_ = 1e9;       // samples since the last edge
    double nextBit_ = 0;           // when the next bit is read, in samples since the edge
    int bitsSinceEdge_ = 1 << 20;  // at rest
    std::int64_t sample_ = 0;      // samples read so far
    std::array<Receiver, 2> receivers_;
};

// Every channel of a stream, listening to the one that last gave a packet:
// a timer may send on both channels, and then each packet comes twice.
class StackmatDecoder {
public:
    // RATE as for StackmatLineDecoder; the first two of CHANNELS are read.
    StackmatDecoder(int rate, int channels);

    // Reads FRAMES interleaved frames and returns the packets completed in
    // them, in order.
    std::vector<StackmatPacket> feed(const float *frames, std::size_t count);
    // The signal read so far, in nanoseconds.
    std::int64_t streamNs() const;
    int rate() const { return rate_; }
    int channels() const { return channels_; }

private:
    const int rate_;
    const int channels_;
    std::vector<StackmatLineDecoder> lines_;
    std::vector<std::vector<StackmatPacket>> found_;
    std::int64_t frames_ = 0;
    std::size_t heard_ = 0;        // the channel listened to
    std::int64_t heardAtNs_ = -1;  // its last packet
};

}  // namespace spinlog
