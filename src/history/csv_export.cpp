#include "history/csv_export.h"

#include "base/encoding.h"
#include "base/errors.h"
#include "base/export_file.h"
#include "data/program_files.h"

#include <cstring>
#include <vector>

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

[[noreturn]] void throwSystemError(int error)
{
    throw SpinlogError(QString::fromLocal8Bit(std::strerror(error)));
}

// Lines gathered into blocks and encoded a block at a time: one encoder per
// block instead of one per line, with the same bytes since code page 932
// keeps no state. A block with a character the code page cannot hold is
// encoded again field by field, to count the fields that lost one.
class CsvFile : public HistorySink {
public:
    CsvFile(const QString &path, int *reachedRow) : file_(path), reachedRow_(reachedRow)
    {
        if (!file_.open())
            throwSystemError(file_.error());
        block_.reserve(kBlockChars + 1024);
    }

    void line(const QStringList &cells)
    {
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (c > 0)
                block_ += QLatin1Char(',');
            block_ += csvField(cells.at(c));
            fieldEnds_.push_back(block_.size());
        }
        block_ += QLatin1String("\r\n");
        if (block_.size() >= kBlockChars)
            writeBlock();
    }

    void clear() override {}
    void appendRows(const HistoryRows &rows) override
    {
        const std::size_t cells = rows.ends.size();
        QStringList line;
        std::uint32_t start = 0;
        for (std::size_t i = 0; i < cells; ++i) {
            line << QString::fromUtf8(rows.text.data() + start, rows.ends[i] - start);
            start = rows.ends[i];
            if (line.size() == kHistoryCols) {
                ++*reachedRow_;
                ++outcome_.rows;
                this->line(line);
                line.clear();
            }
        }
    }

    CsvOutcome commit()
    {
        if (!block_.isEmpty())
            writeBlock();
        if (!file_.commit())
            throwSystemError(file_.error());
        return outcome_;
    }

private:
    static constexpr qsizetype kBlockChars = 1 << 16;

    void writeBlock()
    {
        int lost = 0;
        QByteArray bytes = toCp932(block_, &lost);
        if (lost > 0) {
            bytes.clear();
            qsizetype start = 0;
            for (const qsizetype end : fieldEnds_) {
                int fieldLost = 0;
                // Each field with the separator or line end before it.
                bytes += toCp932(block_.mid(start, end - start), &fieldLost);
                outcome_.lossyFields += fieldLost > 0;
                start = end;
            }
            bytes += toCp932(block_.mid(start));
        }
        block_.clear();
        fieldEnds_.clear();
        if (!file_.write(bytes))
            throwSystemError(file_.error());
    }

    ExportFile file_;
    int *reachedRow_;
    QString block_;
    std::vector<qsizetype> fieldEnds_;
    CsvOutcome outcome_;
};

}  // namespace

QString csvField(const QString &cellText)
{
    QString field = trimSpaces(cellText);
    if (!needsQuotes(field))
        return field;
    field.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

CsvOutcome writeHistoryCsv(const QString &path, const QString &appFolder, const QStringList &header,
                           const std::function<void(HistorySink &)> &list, int *reachedRow)
{
    *reachedRow = 0;
    refuseProgramFile(path, appFolder);
    CsvFile file(path, reachedRow);
    file.line(header);
    list(file);
    return file.commit();
}

}  // namespace spinlog
