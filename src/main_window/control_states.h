#pragma once
// What the main window's controls show in each state of the solve session:
// the start/stop caption, which controls take input, the large clock's colour
// and the status text.

#include "session/solve_session.h"

#include <QString>
#include <cstdint>

namespace spinlog {

struct MainControls {
    QString startStopCaption;
    bool startStopEnabled = false;  // the button
    bool typeListEnabled = false;
    bool startStopItemEnabled = false;  // File > start/stop (F5)
    bool resetEnabled = false;
    bool saveEnabled = false;
    bool optionsEnabled = false;
    std::uint32_t clockColor = 0;  // 0x00BBGGRR
    QString status;
};

// What the large clock shows besides the state: the inspection's last
// seconds, a start key held not yet long enough, or long enough.
enum class ClockMark { None, Warning, Holding, Ready };

// The type can change only while no series is under way.
MainControls controlsFor(SessionState state, bool seriesUnderWay, ClockMark mark = ClockMark::None);

}  // namespace spinlog
