#pragma once
// Writing the history list as a CSV file: the header line, then one line per
// listed series in the list's order; fields trimmed of spaces and joined
// with ",", CR LF after every line, code page 932 without a byte-order mark.

#include "data/history_list.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace spinlog {

// One field: the cell text without leading and trailing spaces. A text that
// holds a comma, a double quote, CR or LF goes between double quotes with its
// double quotes doubled, so it cannot shift the columns of its line; every
// other text is written as it is.
QString csvField(const QString &cellText);

struct CsvOutcome {
    int rows = 0;         // series written
    int lossyFields = 0;  // fields with a character code page 932 cannot hold ("?")
};

// Writes the header and every row that list hands to its sink into a new
// file that replaces the one at path only when it is whole, flushed and
// closed: a failure leaves an existing file as it was and no partial file.
// Throws SpinlogError with the system's description; reachedRow then holds
// the list row (from 1) the writing had reached, 0 for the header. One of
// the program's own files in appFolder is refused before anything is written.
CsvOutcome writeHistoryCsv(const QString &path, const QString &appFolder, const QStringList &header,
                           const std::function<void(HistorySink &)> &list, int *reachedRow);

}  // namespace spinlog
