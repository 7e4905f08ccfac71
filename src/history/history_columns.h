#pragma once
// The history list's column headers, as the grid and the CSV's first line
// show them: date and time, type, the twelve solves, the average.

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

}  // namespace spinlog
