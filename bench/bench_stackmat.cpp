// The Stackmat decoder's cost and promptness:
//  1. processor time to decode a minute of signal (a reset timer, a solve of
//     50 s, its stop), fed in 20 ms blocks as an input delivers it, as a
//     percentage of one core: 48 kHz mono (the common case), 96 kHz stereo
//     (the most work any input gives it) and 8 kHz mono; median of 9 runs;
//  2. when each packet is read, against the moment its last bit ends in the
//     signal (negative: before the end, as the stop bit is read in its
//     middle); median and latest over the minute;
//  3. from the stop packet's last sample reaching the program (the 40 ms
//     block an input delivers, holding it) to the solve stored (its W_Time
//     row committed) and the large clock repainted: the block decoded, the
//     timer, the main window as start-up assembles it, the session, the
//     store, the paint. 100 solves timed by the timer, median and worst,
//     beside the packet's own length; the database in the temporary folder
//     (on disk, its commit waiting for the disk) and on tmpfs (the program's
//     own work).

#include "app/mdb.h"
#include "app/ui/stackmat_link.h"
#include "app/ui/startup.h"
#include "bench_support.h"
#include "data/record_stores.h"
#include "main_window/ui/main_window.h"
#include "stackmat/signal_decoder.h"
#include "stackmat_signal/stackmat_signal.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
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

// Notes when a watched widget is painted.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at == 0)
            at = nowNs();
        return false;
    }
    std::int64_t at = 0;
};

// The main window with the Stackmat chosen, in a fresh folder; twelve solves
// a series, so a stop never runs into the save question.
struct TimedWindow {
    explicit TimedWindow(const QString &folder)
        : dir(folder + QStringLiteral("/spinlog-XXXXXX")), world(dir.path())
    {
        installDatabase(deliveredDatabase(), dir.path());
        QFile ini(dir.filePath(QStringLiteral("Spinlog.ini")));
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write("[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\nTimer=stackmat\r\n") < 0)
            throw SpinlogError(QStringLiteral("cannot write the settings"));
        ini.close();
        Program &program = world.program;
        if (!Fun_MDBOpen(program, dir.filePath(QStringLiteral("Spinlog.mdb"))))
            throw SpinlogError(QStringLiteral("cannot open the database"));
        program.settings.load();
        program.records->database().execute(
            QStringLiteral("update MT_Type set TypeCnt=12 where TypeID='1'"));
        window = makeMainWindow(program);
        window->show();
        QCoreApplication::processEvents();
    }
    QTemporaryDir dir;
    BenchWorld world;
    std::unique_ptr<frmMain> window;
};

void stopLatency(const QString &folder, const char *where)
{
    TimedWindow timed(folder);
    frmMain &window = *timed.window;
    StackmatTimer &timer = window.findChild<StackmatLink *>()->timer();
    PaintClock painted;
    window.findChild<QLabel *>(QStringLiteral("lblTm"))->installEventFilter(&painted);
    QAction *reset = window.findChild<QAction *>(QStringLiteral("M_File2"));
    bool stopped = false;
    QObject::connect(&timer, &StackmatTimer::stopped, [&stopped] { stopped = true; });

    TimerLine line(4);
    for (int i = 0; i < 100; ++i) {
        line.reset(0.4);
        line.run(1000 + i * 7);
        line.stop(0.3);
    }
    const std::vector<float> samples = line.render({48000, 0.2, false, 0.002, 0.01});
    StackmatDecoder decoder(48000, 1);
    const std::size_t block = 48000 / 25;  // 40 ms, the input's buffer
    std::vector<double> doneMs;
    const SolveSession &session = *timed.world.program.session;
    for (std::size_t at = 0; at < samples.size(); at += block) {
        if (session.solves().size() >= 11 && session.state() == SessionState::Idle)
            reset->trigger();  // a new series
        const std::int64_t arrived = nowNs();
        painted.at = 0;
        stopped = false;
        const std::size_t count = std::min(block, samples.size() - at);
        for (const StackmatPacket &packet : decoder.feed(samples.data() + at, count))
            timer.take(packet);
        timer.advanceTo(decoder.streamNs());
        if (!stopped) {
            QCoreApplication::processEvents();
            continue;
        }
        // The row is committed within the calls above; the clock is painted
        // there or by the event loop.
        const std::int64_t stored = nowNs();
        QCoreApplication::processEvents();
        doneMs.push_back(double(std::max(stored, painted.at ? painted.at : nowNs()) - arrived) /
                         1e6);
    }
    std::printf(
        "stop packet's block to solve stored and clock repainted, %s: median %.3f ms, "
        "worst %.3f ms (%zu stops; the packet itself lasts %.1f ms)\n",
        where, median(doneMs), worst(doneMs), doneMs.size(), 10 * 10 / kStackmatBaud * 1000);
    report(QStringLiteral("stackmat.stop_to_shown.%1.median").arg(where), median(doneMs), "ms");
    report(QStringLiteral("stackmat.stop_to_shown.%1.worst").arg(where), worst(doneMs), "ms");
}

}  // namespace

int main(int argc, char **argv)
{
    const TimerLine line = aMinute();
    cost(line, 48000, 1, "48k_mono");
    cost(line, 96000, 2, "96k_stereo");
    cost(line, 8000, 1, "8k_mono");
    promptness(line);
    // No sound server: the window's audio input finds no device, and the
    // benchmark feeds the timer itself.
    qputenv("PULSE_SERVER", "unix:/nonexistent");
    QApplication app(argc, argv);
    setUpApplication();
    stopLatency(QDir::tempPath(), "disk");
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        stopLatency(QStringLiteral("/dev/shm"), "tmpfs");
    return 0;
}
