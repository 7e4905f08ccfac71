#pragma once
// Writing the history list as a CSV file: one line per grid row, header line
// first, fields trimmed of spaces and joined with ",", CR LF after every line,
// code page 932 without a byte-order mark.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace spinlog {

// One field: the cell text without leading and trailing spaces. A text that
// holds a comma, a double quote, CR or LF goes between double quotes with its
// double quotes doubled, so it cannot shift the columns of its line; every
// other text is written as it is.
QString csvField(const QString &cellText);

// The fields joined with ",", followed by CR LF (not yet encoded).
QString csvLine(const QStringList &cells);

// Writes rows 0 to rows - 1 of cols columns, reading each cell through
// cellText. Creates or truncates the file. Throws SpinlogError with the
// system's description when the file cannot be written; stoppedRow then holds
// the row the writing had reached (-1 when the file could not be opened).
void writeCsvFile(const QString &path, int rows, int cols,
                  const std::function<QString(int row, int col)> &cellText, int *stoppedRow);

}  // namespace spinlog
