#pragma once
// The Stackmat timer as the main window's clock while the options choose it:
// the audio input chosen there is listened to, the timer's solve reaches the
// window as its start, running time, stop and end without a time, and the
// timer's state shows in the window's status bar. The choice is read at
// start-up and followed when the options store it.

#include "stackmat/audio/stackmat_input.h"
#include "stackmat/stackmat_timer.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace spinlog {

class ErrorLog;
class Settings;
class frmMain;

class StackmatLink : public QObject {
    Q_OBJECT
public:
    // A child of WINDOW; the settings and the log outlive it.
    StackmatLink(const Settings &settings, const ErrorLog &log, frmMain &window);
    ~StackmatLink() override;

    // The timer the input feeds; tests feed it packets of their own.
    StackmatTimer &timer() { return timer_; }

private:
    void follow();
    void abandoned(StackmatTimer::Abandon why);
    void inputChanged(StackmatInput::Status status);
    void showStatus();

    const Settings &settings_;
    const ErrorLog &log_;
    frmMain &window_;
    StackmatTimer timer_;                   // before the input, which reads into it
    std::unique_ptr<StackmatInput> input_;  // made when the Stackmat is first chosen
    bool on_ = false;
    QString device_;
    bool lostSolve_ = false;  // a solve went with the signal, which has not come back
    QTimer follow_;           // one look at the settings after the options' changes
};

}  // namespace spinlog
