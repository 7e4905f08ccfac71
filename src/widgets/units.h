#pragma once
// Twips, colour integers and the layout font: the units the windows are laid
// out in.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <cmath>
#include <cstdint>

namespace spinlog {

inline constexpr int kTwipsPerPixel = 15;  // 96 dpi

inline int px(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline double twipsFromPx(int pixels)
{
    return double(pixels) * kTwipsPerPixel;
}
// The twips to store for a window edge now at the given pixel: the stored
// value it was placed from while the window has not moved, so a position
// between two pixels does not creep at every closing.
inline float twipsKeeping(int pixels, float placedTwips)
{
    return pixels == px(placedTwips) ? placedTwips : float(twipsFromPx(pixels));
}
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// 0x00BBGGRR, red in the low byte.
inline QColor colorFromBgr(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
inline std::uint32_t bgrFromColor(const QColor &color)
{
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) |
           (std::uint32_t(color.blue()) << 16);
}

// The family the layout was drawn with; start-up maps it to IPA P Gothic.
inline const QString kLayoutFontFamily = QStringLiteral("ＭＳ Ｐゴシック");
inline QFont layoutFont(double points, bool bold = false)
{
    QFont font(kLayoutFontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace spinlog
