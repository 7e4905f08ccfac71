// The two CSV histories: Twisty Timer's backup and Spinlog's own list.

#include "base/encoding.h"
#include "base/errors.h"
#include "base/shown_text.h"
#include "history/history_columns.h"
#include "interop/history_file.h"
#include "interop/solve_records.h"
#include "interop/twisty_file.h"

#include <QDateTime>
#include <limits>
#include <map>

namespace spinlog {

namespace {

// No real field comes near this; a longer one is no history.
constexpr qsizetype kMaxFieldBytes = 4096;

[[noreturn]] void failAt(qsizetype line, const QString &what)
{
    throw SpinlogError(Text::tr("%1行目: %2").arg(line).arg(what));
}

bool digitsOnly(QByteArrayView text, qsizetype most)
{
    if (text.isEmpty() || text.size() > most)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Lines of bytes, ends (LF or CR LF) taken off, counted from 1.
class Lines {
public:
    explicit Lines(QByteArrayView bytes, qsizetype from = 0) : s_(bytes), i_(from) {}
    bool next(QByteArrayView &line)
    {
        if (i_ >= s_.size())
            return false;
        qsizetype end = s_.indexOf('\n', i_);
        if (end < 0)
            end = s_.size();
        line = s_.sliced(i_, end - i_);
        if (line.endsWith('\r'))
            line.chop(1);
        i_ = end + 1;
        ++number_;
        return true;
    }
    qsizetype number() const { return number_; }
    // Where the next line starts.
    qsizetype position() const { return i_; }

private:
    QByteArrayView s_;
    qsizetype i_ = 0;
    qsizetype number_ = 0;
};

QString twistyName(const QByteArray &puzzle, const QByteArray &category)
{
    const QString name = twistyPuzzleName(puzzle);
    // Every puzzle's first category is "Normal": the puzzle alone names it.
    return category == "Normal" ? name : name + QLatin1Char(' ') + QString::fromUtf8(category);
}

// One CSV record of Spinlog's list: fields split at ",", a field in double
// quotes may hold commas, line ends and doubled quotes. Returns false at the
// end of the bytes.
class CsvRecords {
public:
    explicit CsvRecords(QByteArrayView bytes) : s_(bytes) {}
    bool next(std::vector<QByteArray> &fields)
    {
        fields.clear();
        if (i_ >= s_.size())
            return false;
        line_ = nextLine_;
        QByteArray field;
        for (;;) {
            if (i_ < s_.size() && s_[i_] == '"') {
                ++i_;
                for (;;) {
                    if (i_ >= s_.size())
                        failAt(line_, Text::tr("引用符が閉じられないまま終わっています"));
                    const char c = s_[i_++];
                    if (c == '"') {
                        if (i_ < s_.size() && s_[i_] == '"') {
                            field += '"';
                            ++i_;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++nextLine_;
                    field += c;
                    if (field.size() > kMaxFieldBytes)
                        failAt(line_, Text::tr("項目が長すぎます"));
                }
            }
            while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != '\n') {
                field += s_[i_++];
                if (field.size() > kMaxFieldBytes)
                    failAt(line_, Text::tr("項目が長すぎます"));
            }
            if (i_ < s_.size() && s_[i_] == ',') {
                ++i_;
                fields.push_back(field);
                field.clear();
                if (fields.size() > 64)
                    failAt(line_, Text::tr("項目が多すぎます"));
                continue;
            }
            if (field.endsWith('\r'))
                field.chop(1);
            fields.push_back(field);
            ++i_;  // the line end
            ++nextLine_;
            return true;
        }
    }
    qsizetype line() const { return line_; }

private:
    QByteArrayView s_;
    qsizetype i_ = 0;
    qsizetype line_ = 1;
    qsizetype nextLine_ = 1;
};

}  // namespace

namespace {

// One Twisty Timer record, from LINE on, as its seven fields.
QList<QByteArray> twistyFields(Lines &lines, QByteArrayView line, qsizetype first)
{
    // A comment may hold line ends: the record goes on until it ends in a
    // quote with all its separators seen.
    QByteArray record = line.toByteArray();
    while (!(record.size() >= 2 && record.endsWith('"') && record.count("\";\"") >= 6)) {
        if (lines.number() - first >= 100 || !lines.next(line))
            failAt(first, Text::tr("記録が途中で終わっています（7項目を「\";\"」で区切り、"
                                   "\"で囲んだ行のはずです）"));
        record += '\n';
        record += line;
        if (record.size() > 16 * kMaxFieldBytes)
            failAt(first, Text::tr("記録が長すぎます"));
    }
    if (!record.startsWith('"'))
        failAt(first, Text::tr("記録が「\"」で始まっていません"));
    QList<QByteArray> fields;
    const QByteArray inner = record.mid(1, record.size() - 2);
    for (qsizetype from = 0;;) {
        const qsizetype at = inner.indexOf("\";\"", from);
        fields << inner.mid(from, at < 0 ? -1 : at - from);
        if (at < 0)
            break;
        from = at + 3;
    }
    // A separator may share the record's own first or last quote.
    if (fields.size() < 7)
        failAt(first, Text::tr("項目が %1 個です（7 個のはず）").arg(fields.size()));
    // Twisty Timer writes a comment as it is, separators and all.
    while (fields.size() > 7) fields[6] += "\";\"" + fields.takeAt(7);
    return fields;
}

// The raw time in ms and the penalty of a record's time and penalty fields.
std::pair<std::int64_t, Penalty> twistyAttempt(const QByteArray &time, const QByteArray &penalty,
                                               qsizetype first)
{
    if (!digitsOnly(time, 12))
        failAt(first,
               Text::tr("時間「%1」が数ではありません").arg(QString::fromUtf8(time.left(40))));
    Attempt attempt;
    double ms = double(time.toLongLong());
    if (penalty == "0") {
        attempt.penalty = Penalty::None;
    } else if (penalty == "1") {
        // Twisty Timer keeps a +2 solve's time with the two seconds in.
        attempt.penalty = Penalty::PlusTwo;
        ms -= 2000;
    } else if (penalty == "2") {
        attempt.penalty = Penalty::Dnf;
    } else {
        failAt(first, Text::tr("不明なペナルティ「%1」です（0、1、2 のどれか）")
                          .arg(QString::fromUtf8(penalty.left(40))));
    }
    const std::optional<std::int64_t> whole = msOfTime(ms);
    if (!whole)
        failAt(first, Text::tr("ありえない時間 %1 ms です").arg(QString::fromLatin1(time)));
    return {*whole, attempt.penalty};
}

// Twisty Timer writes "null" where a record has no scramble or comment.
QString twistyText(const QByteArray &field)
{
    return field == "null" ? QString() : QString::fromUtf8(field);
}

}  // namespace

void readTwistyTimer(HistoryFile &file, QByteArrayView csv)
{
    Lines lines(csv);
    QByteArrayView line;
    if (!lines.next(line) || !line.startsWith("Puzzle,Category,Time(millis),Date(millis)"))
        failAt(1, Text::tr("Twisty Timer のバックアップの見出しではありません"));
    std::vector<ImportedSession> &sessions = file.sessions;
    std::map<QString, std::size_t> byName;
    for (qsizetype at = lines.position(); lines.next(line); at = lines.position()) {
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype first = lines.number();
        const QList<QByteArray> fields = twistyFields(lines, line, first);
        // Twisty Timer keeps each category it creates as a row of penalty 10
        // that is no solve; some of its versions write those rows out too.
        if (fields[5] == "10")
            continue;
        const auto [ms, penalty] = twistyAttempt(fields[2], fields[5], first);
        const QByteArray &date = fields[3];
        if (!digitsOnly(date, 15))
            failAt(first,
                   Text::tr("日時「%1」が数ではありません").arg(QString::fromUtf8(date.left(40))));
        const qint64 moment = date.toLongLong();
        if (moment / 1000 < 1 || moment / 1000 > qint64(std::numeric_limits<std::uint32_t>::max()))
            failAt(first, Text::tr("ありえない日時 %1 です").arg(QString::fromLatin1(date)));
        const QString name = twistyName(fields[0], fields[1]);
        auto [named, added] = byName.try_emplace(name, sessions.size());
        if (added)
            sessions.push_back({name, {}});
        sessions[named->second].solves.emplace_back(moment, ms, penalty, std::uint32_t(at));
    }
}

SolveDetails twistyRecord(QByteArrayView text, qsizetype at)
{
    Lines lines(text, at);
    QByteArrayView line;
    lines.next(line);
    const QList<QByteArray> fields = twistyFields(lines, line, 1);
    SolveDetails details;
    details.scramble = twistyText(fields[4]);
    details.comment = twistyText(fields[6]);
    return details;
}

void readSpinlogCsv(HistoryFile &file, QByteArrayView csv)
{
    CsvRecords records(csv);
    std::vector<QByteArray> fields;
    QStringList header;
    if (records.next(fields))
        for (const QByteArray &field : fields) header << fromCp932(field);
    if (header != historyHeaders())
        failAt(1, Text::tr("Spinlog の CSV の見出し（日時,タイプ,1,…,12,平均）ではありません"));
    std::vector<ImportedSession> &sessions = file.sessions;
    std::map<QString, std::size_t> byName;
    while (records.next(fields)) {
        const qsizetype line = records.line();
        if (fields.size() == 1 && fields[0].trimmed().isEmpty())
            continue;
        if (fields.size() != 15)
            failAt(line, Text::tr("項目が %1 個です（15 個のはず）").arg(fields.size()));
        const QString dateText = fromCp932(fields[0]);
        const QDateTime date =
            QDateTime::fromString(dateText, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        const qint64 seconds = date.isValid() ? date.toSecsSinceEpoch() : 0;
        if (seconds < 1 || seconds > qint64(std::numeric_limits<std::uint32_t>::max()))
            failAt(line, Text::tr("日時「%1」が読めません").arg(dateText.left(40)));
        const QString name = fromCp932(fields[1]);
        auto [at, added] = byName.try_emplace(name, sessions.size());
        if (added)
            sessions.push_back({name, {}});
        ImportedSession &session = sessions[at->second];
        int solves = 0;
        for (int n = 1; n <= 12; ++n) {
            const QString text = fromCp932(fields[std::size_t(n + 1)]);
            if (text == QStringLiteral("-"))
                continue;
            if (solves != n - 1)
                failAt(line, Text::tr("%1回目の前に抜けた記録があります").arg(n));
            const std::optional<Attempt> attempt = attemptFromText(text);
            if (!attempt)
                failAt(line,
                       Text::tr("%1回目の「%2」が時間として読めません").arg(n).arg(text.left(40)));
            session.solves.emplace_back(seconds * 1000, attempt->raw * 10, attempt->penalty, 0);
            ++solves;
        }
        if (solves == 0)
            failAt(line, Text::tr("記録がひとつもありません"));
    }
}

}  // namespace spinlog
