// The decoder against lines made from the protocol: every rate, both
// generations, both idle levels, weak signals under hum and noise, a timer's
// clock a little off, damaged and cut packets, two channels, and garbage
// that must never read as a packet.

#include "stackmat/signal_decoder.h"
#include "stackmat/stackmat_timer.h"
#include "stackmat_signal/stackmat_signal.h"
#include "support/test_main.h"

#include <QSignalSpy>
#include <QTest>
#include <random>

using namespace spinlog;
using namespace spinlog::signal_maker;

Q_DECLARE_METATYPE(spinlog::signal_maker::LineShape)

namespace {

// Decodes SAMPLES (interleaved CHANNELS) in blocks of changing sizes, as an
// input delivers them.
std::vector<StackmatPacket> decode(const std::vector<float> &samples, int rate, int channels = 1)
{
    StackmatDecoder decoder(rate, channels);
    std::vector<StackmatPacket> packets;
    std::mt19937 random(7);
    std::size_t at = 0;
    const std::size_t frames = samples.size() / std::size_t(channels);
    while (at < frames) {
        const std::size_t count = std::min(frames - at, std::size_t(random() % 3000 + 1));
        for (const StackmatPacket &p : decoder.feed(samples.data() + at * channels, count))
            packets.push_back(p);
        at += count;
    }
    return packets;
}

// Packets as "I0 _56 _168 S1230" ('_' running).
QString texts(const std::vector<StackmatPacket> &packets)
{
    QStringList list;
    for (const StackmatPacket &p : packets)
        list << (p.status == ' ' ? '_' : QChar(p.status)) + QString::number(p.time.ms);
    return list.join(' ');
}

QString texts(const std::vector<SentPacket> &packets, std::size_t from = 0)
{
    std::vector<StackmatPacket> read;
    for (std::size_t i = from; i < packets.size(); ++i)
        read.push_back({packets[i].status, {packets[i].ms}, 0});
    return texts(read);
}

// A reset timer, hands on, a second's solve and its stop.
TimerLine shortSolve(int generation)
{
    TimerLine line(generation);
    line.rest(0.05);
    line.reset(0.4);
    line.show(generation >= 4 ? 'I' : 'C', 0, 0.3);
    line.run(1000);
    line.stop(0.4);
    return line;
}

}  // namespace

class TestStackmatDecoder : public QObject {
    Q_OBJECT
private slots:
    // Amplitudes are the line's peaks; noise is rms and hum a 50 Hz sine's
    // amplitude, all of full scale.
    void readsEveryPacket_data()
    {
        QTest::addColumn<int>("generation");
        QTest::addColumn<LineShape>("shape");
        for (const int rate : {8000, 44100, 48000, 96000})
            for (const int generation : {3, 4})
                for (const bool idleHigh : {false, true})
                    QTest::addRow("%d Hz, generation %d, idle %s", rate, generation,
                                  idleHigh ? "high" : "low")
                        << generation << LineShape{rate, 0.5, idleHigh};
        QTest::newRow("2 % at 8 kHz, noise and hum")
            << 4 << LineShape{8000, 0.02, false, 0.0015, 0.02};
        QTest::newRow("2 % at 44.1 kHz, noise and hum")
            << 3 << LineShape{44100, 0.02, true, 0.003, 0.03};
        QTest::newRow("2 % at 96 kHz, hum twice the signal")
            << 4 << LineShape{96000, 0.02, false, 0.002, 0.04};
        QTest::newRow("clipped at four times full scale, with hum")
            << 4 << LineShape{48000, 4.0, true, 0.01, 0.3};
        QTest::newRow("timer's clock 4 % fast") << 4 << LineShape{48000, 0.3, false, 0, 0, 1248};
        QTest::newRow("timer's clock 4 % slow, 8 kHz")
            << 3 << LineShape{8000, 0.3, true, 0, 0, 1152};
    }
    // Each packet once, as sent, read within a bit of its end.
    void readsEveryPacket()
    {
        QFETCH(int, generation);
        QFETCH(LineShape, shape);
        const TimerLine line = shortSolve(generation);
        auto packets = decode(line.render(shape), shape.rate);
        // Under noise the first packet may go to the garbage read before it,
        // while the decoder knows no level yet.
        const std::size_t first = shape.noise > 0 ? 1 : 0;
        std::erase_if(packets, [&](const StackmatPacket &p) {
            return p.atNs / 1e9 < line.sent()[first].atSeconds;
        });
        QCOMPARE(texts(packets), texts(line.sent(), first));
        for (std::size_t i = 0; i < packets.size(); ++i) {
            const SentPacket &sent = line.sent()[first + i];
            const double end = sent.atSeconds + sent.size * 10 / shape.baud;
            QVERIFY2(std::abs(packets[i].atNs / 1e9 - end) < 1 / shape.baud,
                     qPrintable(QString("packet %1 read %2 s after its end")
                                    .arg(i)
                                    .arg(packets[i].atNs / 1e9 - end)));
            QCOMPARE(packets[i].time.thousandths, generation >= 4);
        }
    }

    // Packets that fail a check are dropped; the good ones around them read.
    void dropsDamagedPackets()
    {
        for (const int rate : {8000, 48000}) {
            TimerLine line(3);
            line.rest(0.05);
            line.bytes(stackmatBytes('I', 0, 3));
            QByteArray bad = stackmatBytes(' ', 1230, 4);
            bad[7] = char(bad[7] + 1);
            line.bytes(bad);                                            // check byte off by one
            line.bytes(stackmatBytes(' ', 1230, 4).remove(3, 1));       // a byte dropped
            line.bytes(QByteArray(" 0:230") + char(64 + 15) + "\n\r");  // ':' counted as ten
            line.bytes(QByteArray("X01230") + char(64 + 6) + "\n\r");   // no such status
            line.bytes(QByteArray(" 07000") + char(64 + 7) + "\n\r");   // 70 seconds
            line.bytes(stackmatBytes(' ', 1230, 3).chopped(1));         // no CR
            line.bytes(stackmatBytes('S', 1230, 3));
            QCOMPARE(texts(decode(line.render({rate, 0.2, false}), rate)), QString("I0 S1230"));
        }
    }

    // A recording that begins inside a packet: that one is lost, none after.
    void packetCutByTheStart_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("cut");  // of the first packet's length
        for (const int rate : {8000, 48000})
            for (const double cut : {0.05, 0.3, 0.55, 0.8, 0.97})
                QTest::addRow("%d Hz, %.0f %%", rate, cut * 100) << rate << cut;
    }
    void packetCutByTheStart()
    {
        QFETCH(int, rate);
        QFETCH(double, cut);
        const TimerLine line = shortSolve(4);
        std::vector<float> samples = line.render({rate, 0.3, true});
        const double at = line.sent()[0].atSeconds + cut * 10 * 10 / 1200;
        samples.erase(samples.begin(), samples.begin() + std::ptrdiff_t(at * rate));
        QCOMPARE(texts(decode(samples, rate)), texts(line.sent(), 1));
    }

    // The signal on one channel or both: each packet once.
    void channels()
    {
        for (const int which : {1, 2, 3}) {  // left, right, both
            const TimerLine line = shortSolve(3);
            const auto signal = line.render({44100, 0.2, false});
            TimerLine quiet;
            quiet.silence(line.seconds());
            const auto noise = quiet.render({44100, 0.0, false, 0.01});
            std::vector<float> stereo;
            for (std::size_t i = 0; i < signal.size(); ++i) {
                stereo.push_back(which & 1 ? signal[i] : noise[i]);
                stereo.push_back(which & 2 ? signal[i] : 0.0f);
            }
            QCOMPARE(texts(decode(stereo, 44100, 2)), texts(line.sent()));
        }
    }

    // Noise, hum, and framed random bytes with LF CR among them (and near
    // packets whose check byte is wrong): nothing reads, nothing starts.
    void garbageReadsNothing()
    {
        TimerLine line(4);
        std::mt19937 random(30);
        for (int i = 0; i < 60; ++i) {
            QByteArray bytes;
            for (int k = 0; k < 8; ++k)
                bytes += char(random() % 4 == 0 ? "0123456789\n\r I"[random() % 15] : random());
            line.bytes(bytes + "\n\r");
            QByteArray near = stackmatBytes(' ', int(random() % 600000), 4);
            near[7] = char(near[7] ^ (1 << (random() % 7)));
            line.bytes(near);
        }
        const auto framed = line.render({48000, 0.3, false, 0.0, 0.0});
        TimerLine quiet;
        quiet.silence(10);
        const auto noisy = quiet.render({48000, 0.0, false, 0.3, 0.2});
        StackmatTimer timer;
        QSignalSpy started(&timer, &StackmatTimer::started);
        QSignalSpy receiving(&timer, &StackmatTimer::receivingChanged);
        for (const auto *signal : {&framed, &noisy}) {
            StackmatDecoder decoder(48000, 1);
            for (const StackmatPacket &packet : decoder.feed(signal->data(), signal->size()))
                timer.take(packet);
        }
        QCOMPARE(receiving.count(), 0);
        QCOMPARE(started.count(), 0);
    }

    // A whole solve through the decoder and the timer, advanced by the
    // decoder's stream time: the timer's time stored, cut to hundredths; a
    // cable pulled while running stores nothing.
    void solvesFromTheSignal()
    {
        for (const bool cablePulled : {false, true}) {
            TimerLine line(3);
            line.rest(0.03);
            line.reset(1);
            line.run(9870);
            cablePulled ? line.silence(1.5) : line.stop(2);
            const auto samples = line.render({48000, 0.1, true, 0.002, 0.01});
            StackmatTimer timer;
            QStringList log;
            connect(&timer, &StackmatTimer::stopped, [&](StackmatTime t) {
                log << QString("stop %1 %2").arg(t.ms).arg(t.hundredths());
            });
            connect(&timer, &StackmatTimer::abandoned, [&] { log << "lost"; });
            StackmatDecoder decoder(48000, 1);
            for (std::size_t at = 0; at < samples.size(); at += 960) {
                const std::size_t count = std::min<std::size_t>(960, samples.size() - at);
                for (const StackmatPacket &packet : decoder.feed(samples.data() + at, count))
                    timer.take(packet);
                timer.advanceTo(decoder.streamNs());
            }
            QCOMPARE(log.join(','), cablePulled ? "lost" : "stop 9870 987");
            QCOMPARE(timer.receiving(), !cablePulled);
        }
    }
};

SPINLOG_TEST(TestStackmatDecoder)
#include "tst_stackmat_decoder.moc"
