#include "widgets/window_place.h"

#include "base/error_log.h"
#include "base/errors.h"
#include "base/number_text.h"
#include "widgets/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace spinlog {

namespace {

constexpr float kMost = 1.0e6f;  // twips: far beyond any screen
constexpr int kStripPx = 20;     // the height of the title bar's strip
constexpr int kVisiblePx = 40;   // how much of it must be on a screen

// A place on the primary screen for a window whose default is on none.
QPoint onPrimaryScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().topLeft() + QPoint(kVisiblePx, kVisiblePx)
                  : QPoint(0, 0);
}

}  // namespace

std::optional<float> storedTwips(const QString &text)
{
    try {
        const float value = singleFromText(text);
        if (std::isfinite(value) && std::fabs(value) <= kMost)
            return value;
    } catch (const SpinlogError &) {
    }
    return std::nullopt;
}

bool isOnSomeScreen(const QRect &frame)
{
    const QRect strip(frame.topLeft(), QSize(std::max(frame.width(), kVisiblePx), kStripPx));
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = strip.intersected(screen->geometry());
        if (seen.width() >= std::min(kVisiblePx, strip.width()) && seen.height() >= kStripPx / 2)
            return true;
    }
    return false;
}

WindowPlace::WindowPlace(Keys keys, float leastWidth, float leastHeight, Procedure load)
    : keys_(keys), least_{-kMost, -kMost, leastWidth, leastHeight}, load_(load)
{
}

std::optional<Setting> WindowPlace::key(Edge edge) const
{
    switch (edge) {
        case Left: return keys_.left;
        case Top: return keys_.top;
        case Width: return keys_.width;
        case Height: return keys_.height;
    }
    return std::nullopt;
}

void WindowPlace::read(const Settings &settings, const ErrorLog &log, QSize frameSize)
{
    QStringList unusable;
    std::array<bool, 4> bad{};
    const auto stored = [&](Setting k) {
        return keyOf(k).key + QLatin1Char('=') + settings.read(k);
    };
    const auto defaultOf = [](Setting k) { return *storedTwips(keyOf(k).defaultText); };
    for (Edge edge : {Left, Top, Width, Height}) {
        const std::optional<Setting> k = key(edge);
        if (!k)
            continue;
        const std::optional<float> value = storedTwips(settings.read(*k));
        bad[edge] = !value || *value < least_[edge];
        placed_[edge] = bad[edge] ? defaultOf(*k) : *value;
        if (bad[edge])
            unusable << stored(*k);
    }
    // The position is one: either edge unusable, or the window on no screen
    // there, and both take their defaults.
    const QSize size(keys_.width ? pixels(Width) : frameSize.width(),
                     keys_.height ? pixels(Height) : frameSize.height());
    bool positionBad = bad[Left] || bad[Top];
    if (!positionBad && !isOnSomeScreen(QRect(position(), size))) {
        unusable << stored(keys_.left) << stored(keys_.top);
        positionBad = true;
    }
    if (unusable.isEmpty())
        return;
    if (positionBad) {
        placed_[Left] = defaultOf(keys_.left);
        placed_[Top] = defaultOf(keys_.top);
        if (!isOnSomeScreen(QRect(position(), size))) {
            const QPoint primary = onPrimaryScreen();
            placed_[Left] = float(twipsFromPx(primary.x()));
            placed_[Top] = float(twipsFromPx(primary.y()));
        }
    }
    log.write(reportOf(load_).logPrefix + QStringLiteral("位置の設定(") +
              unusable.join(QStringLiteral(", ")) +
              QStringLiteral(")を使えないため、既定の値で表示しました"));
}

QPoint WindowPlace::position() const
{
    return {px(placed_[Left]), px(placed_[Top])};
}

int WindowPlace::pixels(Edge edge) const
{
    return px(placed_[edge]);
}

void WindowPlace::apply(QWidget &window) const
{
    if (keys_.width || keys_.height)
        window.setMinimumSize(keys_.width ? px(least_[Width]) : 0,
                              keys_.height ? px(least_[Height]) : 0);
    window.move(position());
    if (keys_.width || keys_.height)
        window.resize(keys_.width ? pixels(Width) : window.width(),
                      keys_.height ? pixels(Height) : window.height());
}

QString WindowPlace::text(Edge edge, int pixelsNow) const
{
    return singleText(twipsKeeping(pixelsNow, placed_[edge]));
}

void WindowPlace::remember(const Settings &settings, const QWidget &window) const
{
    const int now[4] = {window.x(), window.y(), window.width(), window.height()};
    for (Edge edge : {Left, Top, Width, Height}) {
        if (const std::optional<Setting> k = key(edge))
            settings.write(*k, text(edge, now[edge]));
    }
}

}  // namespace spinlog
