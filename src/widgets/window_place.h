#pragma once
// The place of a window (left, top and, where it keeps them, width and
// height, in twips) in the settings. What cannot be used is never a reason
// to keep a user out: a position that does not convert or leaves the window
// off every screen is the window's default position, a size that does not
// convert or is below the least the default size, each with a log entry.
// Written back as plain decimals, without creeping between pixels.

#include "base/error_report.h"
#include "base/settings.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

class QWidget;

namespace spinlog {

class ErrorLog;

class WindowPlace {
public:
    enum Edge { Left, Top, Width, Height };
    // The keys of the edges the window keeps (a fixed size keeps none), the
    // least width and height in twips, and the window's load, whose log
    // prefix an unusable place is logged with.
    struct Keys {
        Setting left;
        Setting top;
        std::optional<Setting> width;
        std::optional<Setting> height;
    };
    WindowPlace(Keys keys, float leastWidth, float leastHeight, Procedure load);

    // Reads the stored place; what cannot be used is replaced and logged.
    // frameSize: the window's outer size in pixels where it keeps no size of
    // its own, for the test that it is on a screen.
    void read(const Settings &settings, const ErrorLog &log, QSize frameSize = {});
    // The position read, in pixels, and a size kept (its default where none).
    QPoint position() const;
    int pixels(Edge edge) const;

    // Puts the window at the place read: position and kept sizes.
    void apply(QWidget &window) const;
    // The text to store for an edge now at this many pixels: the value read
    // while the window has not moved there, so a place between two pixels
    // does not creep at every closing.
    QString text(Edge edge, int pixelsNow) const;
    // Writes every kept edge of the window as it is now.
    void remember(const Settings &settings, const QWidget &window) const;

private:
    std::optional<Setting> key(Edge edge) const;

    Keys keys_;
    std::array<float, 4> least_;
    Procedure load_;
    std::array<float, 4> placed_{};  // twips
};

// A stored edge or size as a number of twips; nothing for a text that does
// not convert or a value no screen coordinate could be.
std::optional<float> storedTwips(const QString &text);

// Whether a window at that place in pixels shows the start of its title bar
// (a strip along its top) on some screen.
bool isOnSomeScreen(const QRect &frame);

}  // namespace spinlog
