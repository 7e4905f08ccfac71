#pragma once
// The white, bordered, centred labels that show times, and their background.

#include "widgets/units.h"

#include <QFrame>
#include <QLabel>
#include <cstdint>

namespace spinlog {

inline void paintBackground(QLabel *label, std::uint32_t bgr)
{
    const QColor color = colorFromBgr(bgr);
    if (label->palette().color(QPalette::Window) == color)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
}

inline void makeTimeBox(QLabel *label, const QFont &font)
{
    label->setFont(font);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    paintBackground(label, 0xFFFFFF);
}

}  // namespace spinlog
