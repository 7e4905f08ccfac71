#include "main_window/control_states.h"
#include "base/shown_text.h"

namespace spinlog {

namespace {

constexpr std::uint32_t kCountdownColor = 12632319;  // pink
constexpr std::uint32_t kRunningColor = 16761024;    // light blue
constexpr std::uint32_t kStoppedColor = 16777215;    // white
constexpr std::uint32_t kWarningColor = 4227327;     // orange: the inspection's last seconds
constexpr std::uint32_t kHoldingColor = 8421631;     // red: held, not yet long enough
constexpr std::uint32_t kReadyColor = 8454016;       // green: let go to start

}  // namespace

MainControls controlsFor(SessionState state, bool seriesUnderWay, ClockMark mark)
{
    MainControls c;
    const bool running = state == SessionState::Countdown || state == SessionState::Timing ||
                         state == SessionState::Inspection;
    // In the inspection the next press starts the solve.
    c.startStopCaption =
        running && state != SessionState::Inspection ? Text::tr("計測停止") : Text::tr("計測開始");
    c.startStopEnabled = state != SessionState::Complete;
    c.startStopItemEnabled = c.startStopEnabled;
    c.typeListEnabled = state == SessionState::Idle && !seriesUnderWay;
    c.optionsEnabled = c.typeListEnabled;
    c.resetEnabled = !running;
    c.saveEnabled = state == SessionState::Complete;
    c.clockColor = state == SessionState::Countdown || state == SessionState::Inspection
                       ? kCountdownColor
                   : state == SessionState::Timing ? kRunningColor
                                                   : kStoppedColor;
    switch (mark) {
        case ClockMark::None: break;
        case ClockMark::Warning: c.clockColor = kWarningColor; break;
        case ClockMark::Holding: c.clockColor = kHoldingColor; break;
        case ClockMark::Ready: c.clockColor = kReadyColor; break;
    }
    if (state == SessionState::Timing)
        c.status = Text::tr("計測中...");
    return c;
}

}  // namespace spinlog
