#include "main_window/control_states.h"

namespace spinlog {

namespace {

constexpr std::uint32_t kCountdownColor = 12632319;  // pink
constexpr std::uint32_t kRunningColor = 16761024;    // light blue
constexpr std::uint32_t kStoppedColor = 16777215;    // white

}  // namespace

MainControls controlsFor(SessionState state, bool seriesUnderWay)
{
    MainControls c;
    const bool running = state == SessionState::Countdown || state == SessionState::Timing;
    c.startStopCaption = running ? QStringLiteral("計測停止") : QStringLiteral("計測開始");
    c.startStopEnabled = state != SessionState::Complete;
    c.startStopItemEnabled = c.startStopEnabled;
    c.typeListEnabled = state == SessionState::Idle && !seriesUnderWay;
    c.optionsEnabled = c.typeListEnabled;
    c.resetEnabled = !running;
    c.saveEnabled = state == SessionState::Complete;
    c.clockColor = state == SessionState::Countdown ? kCountdownColor
                   : state == SessionState::Timing  ? kRunningColor
                                                    : kStoppedColor;
    if (state == SessionState::Timing)
        c.status = QStringLiteral("計測中...");
    return c;
}

}  // namespace spinlog
