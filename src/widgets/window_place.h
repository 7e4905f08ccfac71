#pragma once
// The place of a window of our own (left, top, width, height in twips) kept
// in four settings: read quietly (anything unreadable or out of range is the
// default: a window's place is not worth an error box) and written back
// without creeping between pixels.

#include "base/settings.h"

#include <array>

class QWidget;

namespace spinlog {

class WindowPlace {
public:
    // keys: left, top, width, height; least: the smallest width and height.
    WindowPlace(const std::array<Setting, 4> &keys, float leastWidth, float leastHeight);

    // Reads the four settings and puts the window there.
    void restore(const Settings &settings, QWidget &window);
    // Writes where the window is now.
    void remember(const Settings &settings, const QWidget &window) const;

private:
    std::array<Setting, 4> keys_;
    std::array<float, 4> least_;
    std::array<float, 4> placed_{};
};

}  // namespace spinlog
