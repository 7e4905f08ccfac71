#include "widgets/window_place.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "widgets/units.h"

#include <QWidget>
#include <cmath>

namespace spinlog {

namespace {

constexpr float kMost = 1.0e6f;

}  // namespace

WindowPlace::WindowPlace(const std::array<Setting, 4> &keys, float leastWidth, float leastHeight)
    : keys_(keys), least_{-kMost, -kMost, leastWidth, leastHeight}
{
}

void WindowPlace::restore(const Settings &settings, QWidget &window)
{
    for (std::size_t i = 0; i < 4; ++i) {
        placed_[i] = singleFromText(keyOf(keys_[i]).defaultText);
        try {
            const float value = singleFromText(settings.read(keys_[i]));
            if (std::isfinite(value) && value >= least_[i] && value <= kMost)
                placed_[i] = value;
        } catch (const SpinlogError &) {
        }
    }
    window.setMinimumSize(px(least_[2]), px(least_[3]));
    window.move(px(placed_[0]), px(placed_[1]));
    window.resize(px(placed_[2]), px(placed_[3]));
}

void WindowPlace::remember(const Settings &settings, const QWidget &window) const
{
    const int now[4] = {window.x(), window.y(), window.width(), window.height()};
    for (std::size_t i = 0; i < 4; ++i)
        settings.write(keys_[i], singleText(twipsKeeping(now[i], placed_[i])));
}

}  // namespace spinlog
