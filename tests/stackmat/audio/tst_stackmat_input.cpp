// The audio input with a real PulseAudio server, started here in a folder of
// its own and fed a made signal through a pipe source: a device that goes
// away is a status (and listened to again when it comes back), a missing one
// too. A whole solve through the server is the end-to-end test's.
//
// The server runs in the foreground as whoever runs the tests (as root too:
// it only warns), with no configuration (-n), only the native protocol on a
// socket in the test's folder (anonymous, so no cookie is shared), no pid
// file and no real-time scheduling; it ends itself ten seconds after its last
// client goes, should the test die before ending it. The pipe source makes its
// FIFO itself (it must not exist beforehand).

#include "stackmat/audio/stackmat_input.h"
#include "stackmat/stackmat_timer.h"
#include "stackmat_signal/stackmat_signal.h"
#include "support/test_main.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

using namespace spinlog;
using namespace spinlog::signal_maker;

namespace {

bool hasDevice(const QByteArray &id)
{
    for (const AudioInputDevice &device : StackmatInput::devices())
        if (device.id == id)
            return true;
    return false;
}

// Writes BYTES into the FIFO at PATH, giving up after a while instead of
// waiting for ever on a server that does not read.
void feedFifo(const QString &path, QByteArray bytes)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return;
    qsizetype at = 0;
    for (int waits = 0; at < bytes.size() && waits < 200;) {
        const ssize_t wrote = ::write(fd, bytes.constData() + at, std::size_t(bytes.size() - at));
        if (wrote > 0) {
            at += wrote;
            continue;
        }
        pollfd ready{fd, POLLOUT, 0};
        ::poll(&ready, 1, 100);
        ++waits;
    }
    ::close(fd);
}

}  // namespace

class TestStackmatInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable("pulseaudio").isEmpty(),
                 "pulseaudio is not installed (scripts/packages.sh installs it)");
        QVERIFY(folder_.isValid());
        const QString socket = folder_.filePath("native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder_.path());
        env.insert("PULSE_RUNTIME_PATH", folder_.filePath("runtime"));
        env.insert("PULSE_STATE_PATH", folder_.filePath("state"));
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(
            "pulseaudio",
            {"-n", "--daemonize=no", "--exit-idle-time=10", "--use-pid-file=no", "--realtime=no",
             "--high-priority=no", "--disable-shm=yes", "--log-level=error", "-L",
             "module-native-protocol-unix auth-anonymous=1 socket=" + socket});
        QVERIFY(server_.waitForStarted());
        // This process's client library finds the server by this alone.
        qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        qputenv("PULSE_COOKIE", folder_.filePath("no-cookie").toLocal8Bit());
        QTRY_VERIFY_WITH_TIMEOUT(pactl({"info"}), 10000);
    }
    void cleanupTestCase()
    {
        server_.terminate();
        server_.waitForFinished(5000);
    }

    // No input at all, or none by the id asked for; the device plugged in
    // later is listened to.
    void noDeviceYet()
    {
        StackmatTimer timer;
        StackmatInput input(timer);
        QVERIFY(StackmatInput::devices().empty());
        QVERIFY(!input.start({}));
        QCOMPARE(input.status(), StackmatInput::Status::NoDevice);
        QVERIFY(!input.start("stackmat"));
        QCOMPARE(input.status(), StackmatInput::Status::NoDevice);
        loadPipe();
        QTRY_COMPARE_WITH_TIMEOUT(input.status(), StackmatInput::Status::Listening, 5000);
        QCOMPARE(input.deviceDescription().isEmpty(), false);
    }

    // The device unloaded while listened to, then loaded again.
    void deviceGoesAndComesBack()
    {
        loadPipe();
        StackmatTimer timer;
        StackmatInput input(timer);
        QVERIFY(input.start("stackmat"));
        std::thread writer(feedFifo, fifo(), int16Samples(shortReset().render({48000, 0.3})));
        QTRY_VERIFY_WITH_TIMEOUT(timer.receiving(), 10000);
        writer.join();
        QVERIFY(pactl({"unload-module", module_}));
        QTRY_COMPARE_WITH_TIMEOUT(input.status(), StackmatInput::Status::DeviceGone, 5000);
        QVERIFY(!timer.receiving());
        loadPipe();
        QTRY_COMPARE_WITH_TIMEOUT(input.status(), StackmatInput::Status::Listening, 5000);
        std::thread again(feedFifo, fifo(), int16Samples(shortReset().render({48000, 0.3})));
        QTRY_VERIFY_WITH_TIMEOUT(timer.receiving(), 10000);
        again.join();
        input.stop();
        QCOMPARE(input.status(), StackmatInput::Status::Off);
    }

private:
    static TimerLine shortReset()
    {
        TimerLine line(3);
        line.rest(0.05);
        line.reset(0.5);
        return line;
    }
    QString fifo() const { return folder_.filePath("stackmat.fifo"); }

    bool pactl(const QStringList &args, QString *out = nullptr)
    {
        QProcess run;
        run.start("pactl", args);
        if (!run.waitForFinished(10000) || run.exitStatus() != QProcess::NormalExit ||
            run.exitCode() != 0)
            return false;
        if (out)
            *out = QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed();
        return true;
    }
    // The pipe source "stackmat", 48 kHz mono 16-bit, once Qt lists it.
    void loadPipe()
    {
        if (hasDevice("stackmat"))
            return;
        QFile::remove(fifo());
        QVERIFY(pactl({"load-module", "module-pipe-source", "source_name=stackmat",
                       "file=" + fifo(), "format=s16le", "rate=48000", "channels=1"},
                      &module_));
        QTRY_VERIFY_WITH_TIMEOUT(hasDevice("stackmat"), 5000);
    }

    QTemporaryDir folder_;
    QProcess server_;
    QString module_;
};

SPINLOG_TEST(TestStackmatInput)
#include "tst_stackmat_input.moc"
