#include "stackmat/audio/stackmat_input.h"

#include "stackmat/stackmat_timer.h"

#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace spinlog {

namespace {

// A device quiet for longer than this is stalled: an input delivers every few
// tens of milliseconds.
constexpr std::int64_t kGraceNs = 300'000'000;
constexpr int kWatchMs = 250;

// The format to read DEVICE in: its own rate within the decoder's range, one
// or two channels, 16-bit when it offers that.
QAudioFormat formatFor(const QAudioDevice &device)
{
    QAudioFormat format = device.preferredFormat();
    if (format.sampleRate() < kStackmatMinRate || format.sampleRate() > kStackmatMaxRate)
        format.setSampleRate(48000);
    format.setChannelCount(std::clamp(format.channelCount(), 1, 2));
    QAudioFormat int16 = format;
    int16.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(int16))
        return int16;
    return device.isFormatSupported(format) ? format : device.preferredFormat();
}

template <typename T>
void scaled(const char *data, std::size_t count, float offset, float scale, float *out)
{
    for (std::size_t i = 0; i < count; ++i) {
        T value;
        std::memcpy(&value, data + i * sizeof(T), sizeof(T));
        out[i] = (float(value) - offset) * scale;
    }
}

// COUNT samples of FORMAT at DATA as full scale -1 to 1.
void toFloat(const char *data, std::size_t count, QAudioFormat::SampleFormat format, float *out)
{
    switch (format) {
        case QAudioFormat::UInt8: scaled<std::uint8_t>(data, count, 128.0f, 1.0f / 128, out); break;
        case QAudioFormat::Int16: scaled<std::int16_t>(data, count, 0.0f, 1.0f / 32768, out); break;
        case QAudioFormat::Int32:
            scaled<std::int32_t>(data, count, 0.0f, 1.0f / 2147483648.0f, out);
            break;
        case QAudioFormat::Float: std::memcpy(out, data, count * sizeof(float)); break;
        default: std::fill(out, out + count, 0.0f); break;
    }
}

}  // namespace

std::vector<AudioInputDevice> StackmatInput::devices()
{
    const QAudioDevice fallback = QMediaDevices::defaultAudioInput();
    std::vector<AudioInputDevice> list;
    for (const QAudioDevice &device : QMediaDevices::audioInputs())
        list.push_back({device.id(), device.description(), device.id() == fallback.id()});
    return list;
}

StackmatInput::StackmatInput(StackmatTimer &timer, QObject *parent)
    : QObject(parent), timer_(timer), media_(std::make_unique<QMediaDevices>())
{
    connect(media_.get(), &QMediaDevices::audioInputsChanged, this, &StackmatInput::devicesChanged);
    watchdog_.setInterval(kWatchMs);
    connect(&watchdog_, &QTimer::timeout, this, &StackmatInput::watch);
}

StackmatInput::~StackmatInput()
{
    watchdog_.stop();
    close();
}

bool StackmatInput::start(const QByteArray &id)
{
    close();
    wanted_ = id;
    knownIds_.clear();
    for (const QAudioDevice &device : QMediaDevices::audioInputs()) knownIds_ << device.id();
    watchdog_.start();
    const QAudioDevice device = wantedDevice();
    if (device.isNull()) {
        timer_.endOfSignal();
        setStatus(Status::NoDevice);
        return false;
    }
    return open(device);
}

void StackmatInput::stop()
{
    watchdog_.stop();
    close();
    timer_.endOfSignal();
    setStatus(Status::Off);
}

QAudioDevice StackmatInput::wantedDevice() const
{
    if (wanted_.isEmpty())
        return QMediaDevices::defaultAudioInput();
    for (const QAudioDevice &device : QMediaDevices::audioInputs())
        if (device.id() == wanted_)
            return device;
    return {};
}

bool StackmatInput::open(const QAudioDevice &device)
{
    device_ = device;
    format_ = formatFor(device);
    if (format_.sampleRate() < kStackmatMinRate || format_.sampleRate() > kStackmatMaxRate ||
        format_.bytesPerFrame() <= 0) {
        setStatus(Status::Failed);
        return false;
    }
    source_ = std::make_unique<QAudioSource>(device, format_);
    // A short buffer: each stop packet reaches the decoder within tens of
    // milliseconds.
    source_->setBufferSize(format_.bytesForDuration(40'000));
    connect(source_.get(), &QAudioSource::stateChanged, this, &StackmatInput::stateChanged);
    stream_ = source_->start();
    if (stream_ == nullptr || source_->error() != QAudio::NoError) {
        close();
        timer_.endOfSignal();
        setStatus(Status::Failed);
        return false;
    }
    connect(stream_, &QIODevice::readyRead, this, &StackmatInput::read);
    decoder_ = std::make_unique<StackmatDecoder>(format_.sampleRate(), format_.channelCount());
    sinceData_.start();
    countedQuietNs_ = 0;
    setStatus(Status::Listening);
    return true;
}

void StackmatInput::close()
{
    if (source_) {
        // The time line goes on where this stream ended.
        openedAtNs_ = timelineNs();
        stalledNs_ = 0;
        source_->disconnect(this);
        source_->stop();
        source_.reset();
    }
    stream_ = nullptr;
    decoder_.reset();
    partial_.clear();
}

std::int64_t StackmatInput::timelineNs() const
{
    return openedAtNs_ + stalledNs_ + (decoder_ ? decoder_->streamNs() : 0);
}

void StackmatInput::read()
{
    if (!stream_ || !decoder_)
        return;
    partial_ += stream_->readAll();
    const int frameBytes = format_.bytesPerFrame();
    const std::size_t frames = std::size_t(partial_.size() / frameBytes);
    if (frames == 0)
        return;
    sinceData_.restart();
    countedQuietNs_ = 0;
    const std::size_t count = frames * std::size_t(format_.channelCount());
    samples_.resize(count);
    toFloat(partial_.constData(), count, format_.sampleFormat(), samples_.data());
    partial_.remove(0, qsizetype(frames) * frameBytes);
    const std::int64_t offset = openedAtNs_ + stalledNs_;
    for (StackmatPacket packet : decoder_->feed(samples_.data(), frames)) {
        packet.atNs += offset;
        timer_.take(packet);
    }
    timer_.advanceTo(timelineNs());
}

void StackmatInput::watch()
{
    // Qt 6.4 does not tell of devices that come and go on PulseAudio: the
    // list is read again here.
    QList<QByteArray> ids;
    for (const QAudioDevice &device : QMediaDevices::audioInputs()) ids << device.id();
    if (ids != knownIds_) {
        knownIds_ = ids;
        devicesChanged();
    }
    const std::int64_t quiet = sinceData_.nsecsElapsed();
    if (status_ != Status::Listening || quiet <= kGraceNs)
        return;
    stalledNs_ += quiet - std::max(kGraceNs, countedQuietNs_);
    countedQuietNs_ = quiet;
    timer_.advanceTo(timelineNs());
}

void StackmatInput::devicesChanged()
{
    if (status_ == Status::Off)
        return;
    const QAudioDevice device = wantedDevice();
    if (device.isNull()) {
        close();
        timer_.endOfSignal();
        if (status_ != Status::NoDevice)
            setStatus(Status::DeviceGone);
        return;
    }
    // The same device still there; or the one that failed, not tried again
    // until asked.
    if ((status_ == Status::Listening || status_ == Status::Failed) && device.id() == device_.id())
        return;
    close();
    open(device);
}

void StackmatInput::stateChanged()
{
    if (!source_ || source_->state() != QAudio::StoppedState || source_->error() == QAudio::NoError)
        return;
    close();
    timer_.endOfSignal();
    setStatus(Status::Failed);
}

void StackmatInput::setStatus(Status status)
{
    if (status == status_)
        return;
    status_ = status;
    emit statusChanged(status);
}

}  // namespace spinlog
