// csTimer's export: one object with a key "sessionN" per session, each an
// array of solves [[penalty, ms, phase ms...], scramble, comment, unix
// seconds], and "properties", csTimer's settings, whose "sessionData" is a
// JSON text (in a string) naming the sessions: {"1": {"name": ...}, ...}.
// Files of older copies keep the sessions and the properties as JSON texts in
// strings, and the names in "sessionName"; both are read. The oldest keep no
// date with a solve ([[penalty, ms], scramble, comment]).

#include "interop/cstimer_file.h"
#include "base/errors.h"
#include "base/shown_text.h"
#include "interop/history_file.h"
#include "interop/json_reader.h"
#include "interop/solve_records.h"

#include <cmath>
#include <limits>
#include <map>

namespace spinlog {

namespace {

constexpr double kPlusTwoMs = 2000;

// The session number of a key "session7"; nothing for other keys.
std::optional<int> sessionNumber(const QByteArray &key)
{
    if (!key.startsWith("session") || key.size() <= 7 || key.size() > 7 + 6)
        return std::nullopt;
    int n = 0;
    for (qsizetype k = 7; k < key.size(); ++k) {
        if (key[k] < '0' || key[k] > '9')
            return std::nullopt;
        n = n * 10 + (key[k] - '0');
    }
    return n > 0 ? std::optional(n) : std::nullopt;
}

// A name given as a string or a number (csTimer names new sessions 1, 2...).
QString nameValue(JsonReader &reader)
{
    if (reader.peek() == '"')
        return QString::fromUtf8(reader.readString());
    const char c = reader.peek();
    if (c == '-' || (c >= '0' && c <= '9')) {
        const double n = reader.readNumber();
        return n == std::floor(n) && std::fabs(n) < 1e15 ? QString::number(qint64(n))
                                                         : QString::number(n, 'g', 15);
    }
    reader.skipValue(1);
    return QString();
}

// Calls take(key) at each key of an object, the reader on its value; a
// value that is no object is passed over.
template <typename Take>
void eachKey(JsonReader &reader, const Take &take)
{
    if (reader.peek() != '{') {
        reader.skipValue(1);
        return;
    }
    reader.expect('{');
    QByteArray key;
    bool first = true;
    while (reader.nextKey(key, first)) take(key);
}

class CsTimerReader {
public:
    CsTimerReader(HistoryFile &file, std::int64_t undatedFrom)
        : file_(file), undatedFrom_(undatedFrom)
    {
    }

    std::map<int, ImportedSession> sessions;
    std::map<int, QString> names;     // from sessionData
    std::map<int, QString> oldNames;  // from sessionName, in older files

    void readFile(JsonReader &reader)
    {
        if (reader.peek() != '{')
            reader.fail(Text::tr("csTimer のデータ（{ で始まるオブジェクト）ではありません"));
        reader.expect('{');
        QByteArray key;
        bool first = true;
        while (reader.nextKey(key, first)) {
            if (const std::optional<int> n = sessionNumber(key)) {
                if (sessions.count(*n))
                    reader.fail(Text::tr("%1 が2回あります").arg(QString::fromLatin1(key)));
                ImportedSession &session = sessions[*n];
                if (reader.peek() == '"') {
                    // An older file's session: a JSON text, kept to read its
                    // solves' details from again.
                    session.text = int(file_.texts.size());
                    file_.texts.push_back(reader.readString());
                    const QByteArray &text = file_.texts.back();
                    if (text.trimmed().isEmpty())
                        continue;
                    JsonReader inner(text, QString::fromLatin1(key));
                    readSolves(inner, session);
                    inner.expectEnd();
                } else {
                    readSolves(reader, session);
                }
            } else if (key == "properties") {
                withText(reader, QStringLiteral("properties"),
                         [&](JsonReader &inner) { readProperties(inner); });
            } else {
                reader.skipValue(1);
            }
        }
        reader.expectEnd();
    }

private:
    // A value, or a JSON text of it in a string, as older files keep it.
    template <typename Read>
    void withText(JsonReader &reader, const QString &place, const Read &read)
    {
        if (reader.peek() != '"') {
            read(reader);
            return;
        }
        const QByteArray text = reader.readString();
        if (text.trimmed().isEmpty())
            return;
        JsonReader inner(text, place);
        read(inner);
        inner.expectEnd();
    }

    void readProperties(JsonReader &reader)
    {
        eachKey(reader, [&](const QByteArray &key) {
            if (key == "sessionData")
                withText(reader, QStringLiteral("sessionData"),
                         [&](JsonReader &inner) { readNames(inner, names, true); });
            else if (key == "sessionName")
                withText(reader, QStringLiteral("sessionName"),
                         [&](JsonReader &inner) { readNames(inner, oldNames, false); });
            else
                reader.skipValue(2);
        });
    }

    // {"1": {"name": ...}, ...} or, in older files, {"1": name, ...}.
    static void readNames(JsonReader &reader, std::map<int, QString> &into, bool entries)
    {
        eachKey(reader, [&](const QByteArray &key) {
            bool number = false;
            const int n = key.toInt(&number);
            if (!number)
                reader.skipValue(1);
            else if (!entries)
                into[n] = nameValue(reader);
            else
                eachKey(reader, [&](const QByteArray &field) {
                    if (field == "name")
                        into[n] = nameValue(reader);
                    else
                        reader.skipValue(2);
                });
        });
    }

    void readSolves(JsonReader &reader, ImportedSession &session)
    {
        if (reader.peek() != '[')
            reader.fail(Text::tr("記録の配列があるべきところです"));
        reader.expect('[');
        bool first = true;
        while (reader.nextItem(first)) {
            reader.peek();
            session.solves.push_back(readSolve(reader, std::uint32_t(reader.position())));
        }
    }

    // [[penalty, ms, phases...], scramble, comment, seconds, ...]; the oldest
    // files end after the comment.
    ImportedSolve readSolve(JsonReader &reader, std::uint32_t at)
    {
        reader.expect('[');
        reader.expect('[');
        const double penalty = reader.readNumber();
        reader.expect(',');
        const double ms = reader.readNumber();
        while (reader.take(',')) reader.skipValue(2);  // the phases' splits
        reader.expect(']');
        Attempt attempt;
        if (penalty == 0)
            attempt.penalty = Penalty::None;
        else if (penalty == kPlusTwoMs)
            attempt.penalty = Penalty::PlusTwo;
        else if (penalty == -1)
            attempt.penalty = Penalty::Dnf;
        else
            reader.fail(Text::tr("不明なペナルティ %1 です（0、2000、-1 のどれか）")
                            .arg(penalty, 0, 'g', 15));
        const std::optional<std::int64_t> whole = msOfTime(ms);
        if (!whole)
            reader.fail(Text::tr("ありえない時間 %1 ms です").arg(ms, 0, 'g', 15));
        int fields = 0;  // scramble and comment
        while (fields < 2 && reader.take(',')) {
            reader.skipValue(2);
            ++fields;
        }
        if (fields < 2 || !reader.take(',')) {
            reader.expect(']');
            // No date: the file's, a millisecond apart in the file's order.
            ++file_.undated;
            return ImportedSolve(undatedFrom_ + file_.undated - 1, *whole, attempt.penalty, at,
                                 false);
        }
        const double seconds = reader.readNumber();
        if (!(seconds >= 1 && seconds <= double(std::numeric_limits<std::uint32_t>::max())))
            reader.fail(Text::tr("ありえない日時 %1 です").arg(seconds, 0, 'g', 15));
        while (reader.take(',')) reader.skipValue(2);
        reader.expect(']');
        return ImportedSolve(std::int64_t(seconds) * 1000, *whole, attempt.penalty, at);
    }

private:
    HistoryFile &file_;
    std::int64_t undatedFrom_;
};

}  // namespace

void readCsTimer(HistoryFile &file, QByteArrayView json, std::int64_t undatedFrom)
{
    CsTimerReader reader(file, undatedFrom);
    JsonReader text(json);
    reader.readFile(text);
    std::vector<ImportedSession> &sessions = file.sessions;
    for (auto &[n, session] : reader.sessions) {
        if (reader.names.count(n))
            session.name = reader.names[n];
        else if (reader.oldNames.count(n))
            session.name = reader.oldNames[n];
        if (session.name.isEmpty())
            session.name = QString::number(n);
        sessions.push_back(std::move(session));
    }
}

SolveDetails csTimerRecord(QByteArrayView text, qsizetype at)
{
    SolveDetails details;
    JsonReader reader(text);
    reader.seek(at);
    reader.expect('[');
    reader.expect('[');
    reader.readNumber();
    reader.expect(',');
    reader.readNumber();
    while (reader.take(',')) {
        const char c = reader.peek();
        if (c == '-' || (c >= '0' && c <= '9'))
            details.splits.push_back(msOfTime(reader.readNumber()).value_or(0));
        else
            reader.skipValue(2);
    }
    reader.expect(']');
    for (QString *field : {&details.scramble, &details.comment}) {
        if (!reader.take(','))
            break;
        if (reader.peek() == '"')
            *field = QString::fromUtf8(reader.readString());
        else
            reader.skipValue(2);
    }
    return details;
}

}  // namespace spinlog
