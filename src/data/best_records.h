#pragma once
// The best single time and the best average among saved series, as the main
// window and the history window show them ("-" when there is none).

#include <QString>
#include <optional>

namespace spinlog {

class Database;

struct BestRecords {
    QString bestTime = QStringLiteral("-");
    QString bestAverage = QStringLiteral("-");
};

// Over the series of one TypeID, or of every type when typeId is empty.
BestRecords bestRecords(Database &db, const std::optional<QString> &typeId);

}  // namespace spinlog
