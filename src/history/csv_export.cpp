#include "history/csv_export.h"

#include "app/encoding.h"
#include "app/errors.h"

#include <QFile>

namespace spinlog {

namespace {

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

bool needsQuotes(const QString &field)
{
    for (const QChar ch : field) {
        if (ch == QLatin1Char(',') || ch == QLatin1Char('"') || ch == QLatin1Char('\r') ||
            ch == QLatin1Char('\n'))
            return true;
    }
    return false;
}

}  // namespace

QString csvField(const QString &cellText)
{
    QString field = trimSpaces(cellText);
    if (!needsQuotes(field))
        return field;
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

// Appends the line of these cells to out.
static void appendLine(QString &out, const QStringList &cells)
{
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (c > 0)
            out += QLatin1Char(',');
        out += csvField(cells.at(c));
    }
    out += QLatin1String("\r\n");
}

QString csvLine(const QStringList &cells)
{
    QString line;
    appendLine(line, cells);
    return line;
}

void writeCsvFile(const QString &path, int rows, int cols,
                  const std::function<QString(int row, int col)> &cellText, int *stoppedRow)
{
    *stoppedRow = -1;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw SpinlogError(file.errorString());

    // Lines are encoded a block at a time: one encoder per block instead of
    // one per line, with the same bytes since code page 932 keeps no state.
    constexpr qsizetype kBlockChars = 1 << 16;
    QString block;
    block.reserve(kBlockChars + 1024);
    auto writeBlock = [&] {
        const QByteArray bytes = toCp932(block);
        block.clear();
        if (file.write(bytes) != bytes.size())
            throw SpinlogError(file.errorString());
    };
    QStringList cells;
    cells.reserve(cols);
    for (int r = 0; r < rows; ++r) {
        *stoppedRow = r;
        cells.clear();
        for (int c = 0; c < cols; ++c) cells << cellText(r, c);
        // Straight into the block: no string of its own for each line.
        appendLine(block, cells);
        if (block.size() >= kBlockChars)
            writeBlock();
    }
    if (!block.isEmpty())
        writeBlock();
    if (!file.flush())
        throw SpinlogError(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw SpinlogError(file.errorString());
}

}  // namespace spinlog
