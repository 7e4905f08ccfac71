#pragma once
// The history list's column headers, as the grid and the CSV's first line
// show them: date and time, type, the twelve solves, the average.

#include "base/shown_text.h"
#include "data/history_list.h"

#include <QStringList>

namespace spinlog {

inline QStringList historyHeaders()
{
    QStringList headers{QStringLiteral("日時"), QStringLiteral("タイプ")};
    for (int n = 1; n <= 12; ++n) headers << QString::number(n);
    headers << QStringLiteral("平均");
    return headers;
}

// The same headers as the grid shows them, in the language shown.
inline QStringList shownHistoryHeaders()
{
    QStringList headers = historyHeaders();
    headers.first() = Text::tr("日時");
    headers[1] = Text::tr("タイプ");
    headers.last() = Text::tr("平均");
    return headers;
}

}  // namespace spinlog
