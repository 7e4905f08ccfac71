// The main window's keys: held keys and their repeats told apart before any
// widget or shortcut sees them, hold-to-start's press and release, Escape
// during an inspection.

#include "main_window/ui/main_window.h"

#include "base/error_report.h"
#include "base/seams.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <utility>

namespace spinlog {

namespace {

// How long a start key's release waits for the press of a repeat: enough
// for a busy machine to take a pair that was sent together.
constexpr std::int64_t kRepeatGraceNs = 60'000'000;

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

bool frmMain::isRepeat(const QKeyEvent *key) const
{
    // A window system repeats a held key as release and press pairs that share
    // one timestamp, and the first pair can arrive unmarked: a press at the very
    // moment of the same key's release is a repeat too.
    return key->isAutoRepeat() ||
           (key->key() == releasedKey_ && key->timestamp() != 0 && key->timestamp() == releasedAt_);
}

bool frmMain::holdKey(QKeyEvent *key)
{
    const std::int64_t now = parts_.clock.monotonicNs();
    const bool startKey = (key->key() == Qt::Key_Space || key->key() == Qt::Key_F5) &&
                          key->modifiers() == Qt::NoModifier;
    const bool real = !isRepeat(key);
    switch (key->type()) {
        case QEvent::ShortcutOverride:
            // F5's menu item does not fire: the press and the release decide.
            if (startKey || session_.state() == SessionState::Timing)
                key->accept();
            return startKey;
        case QEvent::KeyPress:
            // Any key stops the clock.
            if (session_.state() == SessionState::Timing) {
                if (real)
                    Sub_StartStop();
                return true;
            }
            if (!startKey)
                return false;
            // A countdown, or a type that cannot be timed, takes the press as
            // it does without the option: it cancels, or says why not.
            if (session_.state() == SessionState::Countdown ||
                (session_.state() == SessionState::Idle && !session_.type().timeable())) {
                if (real)
                    Sub_StartStop();
                return true;
            }
            // A held key's repeat: the release just before it was its own.
            releasedNs_.reset();
            tmrRelease_->stop();
            if (real) {
                session_.holdDown(now);
                tmrHold_->start();
                render();
            }
            return true;
        case QEvent::KeyRelease:
            if (!startKey)
                return false;
            if (!key->isAutoRepeat() && !releasedNs_) {
                releasedNs_ = now;
                tmrRelease_->start(int(kRepeatGraceNs / 1'000'000));
            }
            return true;
        default: return false;
    }
}

void frmMain::releaseSettled()
{
    if (!releasedNs_)
        return;
    // Waited by the clock the solve is measured with.
    const std::int64_t waited = parts_.clock.monotonicNs() - *releasedNs_;
    if (waited < kRepeatGraceNs) {
        tmrRelease_->start(int((kRepeatGraceNs - waited + 999'999) / 1'000'000));
        return;
    }
    releaseHeld(*std::exchange(releasedNs_, std::nullopt));
}

void frmMain::releaseHeld(std::int64_t nowNs)
{
    tmrHold_->stop();
    PressResult result = PressResult::Ignored;
    guarded(parts_.reporter, Procedure::StartStop, [&] { result = session_.holdUp(nowNs); });
    render();
    if (result == PressResult::Completed)
        Sub_Save();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Escape takes back an inspection begun by mistake.
    if (type == QEvent::KeyPress && key->key() == Qt::Key_Escape &&
        session_.state() == SessionState::Inspection) {
        session_.cancelInspection();
        render();
        return true;
    }
    // With the hold-to-start option, keys in this window start and stop by
    // their press and release.
    if (session_.holdToStart() && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this && holdKey(key)) {
        if (type == QEvent::KeyRelease) {
            releasedKey_ = key->key();
            releasedAt_ = key->timestamp();
        }
        return true;
    }
    // Space on the focused button is one press at its first key-down, as F5
    // is: the button's own handling would click at the release, and again
    // at every release of a held key's repeats.
    const bool spaceOnButton = watched == cmdStartStop_ && key->key() == Qt::Key_Space &&
                               key->modifiers() == Qt::NoModifier;
    if (type == QEvent::KeyRelease) {
        releasedKey_ = key->key();
        releasedAt_ = key->timestamp();
        return spaceOnButton || QMainWindow::eventFilter(watched, event);
    }
    // Only a real press starts or stops the clock or opens a window: a held
    // key's repeats go nowhere.
    const bool once = key->key() == Qt::Key_F5 || key->key() == Qt::Key_F6 ||
                      key->key() == Qt::Key_F12 || key->key() == Qt::Key_F1 ||
                      ((watched == cmdStartStop_ || watched == cmbType_) &&
                       (isEnter(key) || key->key() == Qt::Key_Space));
    if (once && isRepeat(key)) {
        // An accepted override keeps the shortcut from firing; the key press
        // that follows is dropped here too.
        event->accept();
        return true;
    }
    if (type == QEvent::KeyPress && spaceOnButton) {
        Sub_StartStop();
        return true;
    }
    // Enter in the type list starts and stops as the button does; the key
    // still reaches the list.
    if (type == QEvent::KeyPress && watched == cmbType_ && isEnter(key))
        Sub_StartStop();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace spinlog
