#include "app/ui/stackmat_link.h"

#include "base/error_log.h"
#include "base/error_report.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "main_window/ui/main_window.h"

namespace spinlog {

namespace {

QString inputText(StackmatInput::Status status)
{
    switch (status) {
        case StackmatInput::Status::NoDevice: return Text::tr("入力デバイスなし");
        case StackmatInput::Status::DeviceGone: return Text::tr("入力デバイスが外れました");
        case StackmatInput::Status::Failed: return Text::tr("入力デバイスを開けません");
        case StackmatInput::Status::Off:
        case StackmatInput::Status::Listening: break;
    }
    return {};
}

}  // namespace

StackmatLink::StackmatLink(const Settings &settings, const ErrorLog &log, frmMain &window)
    : QObject(&window), settings_(settings), log_(log), window_(window)
{
    // Only while chosen: with the keyboard, nothing the timer hears times a solve.
    connect(&timer_, &StackmatTimer::started, this, [this](StackmatTime time) {
        if (on_)
            window_.timerStarted(time.hundredths());
    });
    connect(&timer_, &StackmatTimer::timeChanged, this, [this](StackmatTime time) {
        if (on_)
            window_.timerShows(time.hundredths());
    });
    connect(&timer_, &StackmatTimer::stopped, this, [this](StackmatTime time) {
        if (on_)
            window_.timerStopped(time.hundredths());
    });
    connect(&timer_, &StackmatTimer::abandoned, this, &StackmatLink::abandoned);
    connect(&timer_, &StackmatTimer::receivingChanged, this, [this](bool receiving) {
        if (receiving)
            lostSolve_ = false;
        showStatus();
    });
    // The options store their values one by one: the choice is read once
    // they are all in.
    follow_.setSingleShot(true);
    follow_.setInterval(0);
    connect(&follow_, &QTimer::timeout, this, &StackmatLink::follow);
    connect(&settings_, &Settings::changed, this, [this](Setting setting) {
        if (setting == Setting::Timer || setting == Setting::StackmatDevice)
            follow_.start();
    });
    follow();
}

StackmatLink::~StackmatLink() = default;

void StackmatLink::follow()
{
    const bool on = settings_.timesByStackmat();
    const QString device = settings_.text(Setting::StackmatDevice).trimmed();
    if (on == on_ && device == device_)
        return;
    on_ = on;
    device_ = device;
    lostSolve_ = false;
    if (!on) {
        if (input_)
            input_->stop();
        showStatus();
        return;
    }
    // Qt's audio devices are looked at only once the Stackmat is chosen.
    if (!input_) {
        input_ = std::make_unique<StackmatInput>(timer_);
        connect(input_.get(), &StackmatInput::statusChanged, this, &StackmatLink::inputChanged);
    }
    input_->start(device.toUtf8());
    showStatus();
}

void StackmatLink::abandoned(StackmatTimer::Abandon why)
{
    if (!on_)
        return;
    // The timer reset on purpose needs no word; a solve lost with the
    // signal does.
    if (!window_.timerAbandoned() || why != StackmatTimer::Abandon::SignalLost)
        return;
    lostSolve_ = true;
    log_.write(reportOf(Procedure::Stackmat).logPrefix +
               Text::tr("計測中にスタックマットの信号が途切れたため、タイムを記録しませんでした"));
    showStatus();
}

void StackmatLink::inputChanged(StackmatInput::Status status)
{
    // What became of the device is the newer word.
    if (status != StackmatInput::Status::Listening)
        lostSolve_ = false;
    if (status == StackmatInput::Status::DeviceGone || status == StackmatInput::Status::Failed)
        log_.write(reportOf(Procedure::Stackmat).logPrefix + inputText(status) +
                   QStringLiteral(": ") + input_->deviceDescription());
    showStatus();
}

void StackmatLink::showStatus()
{
    QString text;
    if (on_) {
        const QString device = input_ ? inputText(input_->status()) : QString();
        // A solve lost says so first, whatever took the signal away.
        text = timer_.receiving()  ? Text::tr("接続中")
               : lostSolve_        ? Text::tr("信号が途切れ、記録なし")
               : !device.isEmpty() ? device
                                   : Text::tr("信号なし");
        text = Text::tr("スタックマット: ") + text;
    }
    window_.showTimerStatus(text);
}

}  // namespace spinlog
