// The Stackmat decoder's cost and promptness:
//  1. processor time to decode a minute of signal (a reset timer, a solve of
//     50 s, its stop), fed in 20 ms blocks as an input delivers it, as a
//     percentage of one core: 48 kHz mono (the common case), 96 kHz stereo
//     (the most work any input gives it) and 8 kHz mono; median of 9 runs;
//  2. when each packet is read, against the moment its last bit ends in the
//     signal (negative: before the end, as the stop bit is read in its
//     middle); median and latest over the minute.

#include "bench_support.h"
#include "stackmat/signal_decoder.h"
#include "stackmat_signal/stackmat_signal.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace spinlog;
using namespace spinlog::bench;
using namespace spinlog::signal_maker;

namespace {

constexpr int kRuns = 9;
constexpr double kSeconds = 60;

TimerLine aMinute()
{
    TimerLine line(4);
    line.rest(0.02);
    line.reset(5);
    line.run(50'000);
    line.stop(kSeconds - line.seconds());
    return line;
}

// Interleaves CHANNELS copies of MONO.
std::vector<float> channels(const std::vector<float> &mono, int count)
{
    std::vector<float> frames;
    frames.reserve(mono.size() * std::size_t(count));
    for (const float sample : mono)
        for (int c = 0; c < count; ++c) frames.push_back(sample);
    return frames;
}

// Decodes FRAMES in 20 ms blocks; the packets read, into PACKETS.
void decode(const std::vector<float> &frames, int rate, int count,
            std::vector<StackmatPacket> &packets)
{
    StackmatDecoder decoder(rate, count);
    const std::size_t block = std::size_t(rate / 50);
    const std::size_t total = frames.size() / std::size_t(count);
    for (std::size_t at = 0; at < total; at += block) {
        const auto found =
            decoder.feed(frames.data() + at * std::size_t(count), std::min(block, total - at));
        packets.insert(packets.end(), found.begin(), found.end());
    }
}

void cost(const TimerLine &line, int rate, int count, const char *name)
{
    const std::vector<float> frames = channels(line.render({rate, 0.2, false, 0.002, 0.01}), count);
    std::vector<double> percents;
    std::size_t read = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<StackmatPacket> packets;
        packets.reserve(1000);
        const double start = cpuMs();
        decode(frames, rate, count, packets);
        percents.push_back((cpuMs() - start) / (line.seconds() * 1000) * 100);
        read = packets.size();
    }
    std::printf("%-34s %zu of %zu packets read; %% of a core:", name, read, line.sent().size());
    for (const double p : percents) std::printf(" %.4f", p);
    std::printf("\n");
    report(QStringLiteral("stackmat.decode.%1").arg(name), median(percents), "%");
}

void promptness(const TimerLine &line)
{
    std::vector<StackmatPacket> packets;
    decode(line.render({48000, 0.2, false, 0.002, 0.01}), 48000, 1, packets);
    std::vector<double> lateMs;
    for (const StackmatPacket &packet : packets) {
        // The sent packet that ended nearest.
        double best = 1e9;
        for (const SentPacket &sent : line.sent()) {
            const double end = sent.atSeconds + sent.size * 10 / kStackmatBaud;
            if (std::abs(packet.atNs / 1e6 - end * 1000) < std::abs(best))
                best = packet.atNs / 1e6 - end * 1000;
        }
        lateMs.push_back(best);
    }
    std::printf("packet read against its end: median %.3f ms, latest %.3f ms (%zu packets)\n",
                median(lateMs), worst(lateMs), lateMs.size());
    report(QStringLiteral("stackmat.read_after_end.median"), median(lateMs), "ms");
    report(QStringLiteral("stackmat.read_after_end.latest"), worst(lateMs), "ms");
}

}  // namespace

int main()
{
    const TimerLine line = aMinute();
    cost(line, 48000, 1, "48k_mono");
    cost(line, 96000, 2, "96k_stereo");
    cost(line, 8000, 1, "8k_mono");
    promptness(line);
    return 0;
}
