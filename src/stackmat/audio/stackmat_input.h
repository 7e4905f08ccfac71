#pragma once
// The Stackmat's signal read from an audio input device (Qt Multimedia) into
// the decoder, and the packets handed to a StackmatTimer. A device missing,
// gone or failing is a status, never a wait: the timer then loses the signal
// at once, and a device that comes back (or comes at all) is listened to.
//
// The timer's time base is the signal's own (samples read), with the time a
// device delivered nothing added, so a stalled device loses the signal too.

#include "stackmat/signal_decoder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class QAudioSource;
class QIODevice;
class QMediaDevices;

namespace spinlog {

class StackmatTimer;

struct AudioInputDevice {
    QByteArray id;  // kept as text in the settings; empty: the system's default
    QString description;
    bool isDefault = false;
};

class StackmatInput : public QObject {
    Q_OBJECT
public:
    enum class Status {
        Off,  // not asked to listen
        Listening,
        NoDevice,    // no input at all, or none with the id asked for
        DeviceGone,  // the device listened to went away
        Failed,      // the device would not open, or failed while read
    };

    // The input devices there are now.
    static std::vector<AudioInputDevice> devices();

    // TIMER must outlive the input.
    explicit StackmatInput(StackmatTimer &timer, QObject *parent = nullptr);
    ~StackmatInput() override;

    // Listens to the device with ID, or to the system's default input when
    // ID is empty. False when nothing could be opened; status() says why.
    bool start(const QByteArray &id);
    void stop();
    Status status() const { return status_; }
    // The device listened to, or last listened to.
    QString deviceDescription() const { return device_.description(); }
    // The samples as read (valid while listening).
    QAudioFormat format() const { return format_; }

signals:
    void statusChanged(spinlog::StackmatInput::Status status);

private:
    QAudioDevice wantedDevice() const;
    bool open(const QAudioDevice &device);
    void close();
    void read();
    void watch();
    void devicesChanged();
    void stateChanged();
    void setStatus(Status status);
    std::int64_t timelineNs() const;

    StackmatTimer &timer_;
    std::unique_ptr<QMediaDevices> media_;
    QByteArray wanted_;
    QList<QByteArray> knownIds_;  // the inputs there were at the last look
    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<QAudioSource> source_;
    QIODevice *stream_ = nullptr;  // owned by source_
    std::unique_ptr<StackmatDecoder> decoder_;
    QByteArray partial_;  // bytes of a frame not yet whole
    std::vector<float> samples_;
    Status status_ = Status::Off;
    QTimer watchdog_;
    QElapsedTimer sinceData_;
    std::int64_t openedAtNs_ = 0;  // the time line where this device's stream began
    std::int64_t stalledNs_ = 0;   // time the device delivered nothing, beyond a grace
    std::int64_t countedQuietNs_ = 0;
};

}  // namespace spinlog
