#pragma once
// A Stackmat timer's line made from its protocol, as a sound card would
// record it: the packets a timer sends while reset, running and stopped,
// then the input's coupling capacitor, hum and noise. For the decoder's
// tests, the audio input's, and (through the stackmat_signal program) the
// whole program's.

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace spinlog::signal_maker {

// How the line reaches the input.
struct LineShape {
    int rate = 48000;
    double amplitude = 0.5;  // the line's peaks, of full scale; above 1 the input clips
    bool idleHigh = false;   // the level the line rests at, as the input sees it
    double noise = 0;        // white noise, rms, of full scale
    double hum = 0;          // a 50 Hz hum's amplitude, of full scale
    double baud = 1200;      // the timer's own clock, a little off if wished
    double couplingHz = 20;  // the input's high-pass corner; 0 for none
    std::uint32_t seed = 1;
};

// A packet as a timer of GENERATION (3: nine bytes; 4: ten) sends it.
QByteArray stackmatBytes(char status, int ms, int generation);

// What a packet should read as: its status and time, when it began (seconds
// from the start of the line) and its length in bytes.
struct SentPacket {
    char status;
    int ms;  // as the packet shows it: hundredths only before the fourth generation
    double atSeconds;
    int size;
};

// A timer's line, written in order.
class TimerLine {
public:
    explicit TimerLine(int generation = 4) : generation_(generation) {}

    // Packets every 112 ms showing STATUS and MS, for SECONDS.
    void show(char status, int ms, double seconds);
    void reset(double seconds) { show('I', 0, seconds); }
    // Running from zero for MS: each packet shows the time it starts at.
    void run(int ms);
    // Stopped at the last run's time: 'S', or 'I' on the fourth generation.
    void stop(double seconds);
    // Any bytes, sent as a packet is, then the line rests for the period.
    void bytes(const QByteArray &bytes);
    // The line at rest, no packets.
    void rest(double seconds) { at_ += seconds; }
    // No line at all (the cable pulled).
    void silence(double seconds);

    double seconds() const { return at_; }
    // The packets written, checked ones only (those a timer would send).
    const std::vector<SentPacket> &sent() const { return sent_; }
    std::vector<float> render(const LineShape &shape) const;

private:
    struct Burst {
        double at;
        QByteArray bytes;
    };
    int generation_;
    double at_ = 0;
    int lastMs_ = 0;
    std::vector<Burst> bursts_;
    std::vector<std::pair<double, double>> silences_;
    std::vector<SentPacket> sent_;
};

// Full scale to 16-bit little-endian samples, each frame CHANNELS copies.
QByteArray int16Samples(const std::vector<float> &samples, int channels = 1);

}  // namespace spinlog::signal_maker
