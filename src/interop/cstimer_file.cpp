// csTimer's export: one object with a key "sessionN" per session, each an
// array of solves [[penalty, ms, phase ms...], scramble, comment, unix
// seconds], and "properties", csTimer's settings, whose "sessionData" is a
// JSON text (in a string) naming the sessions: {"1": {"name": ...}, ...}.
// Files of older copies keep the sessions and the properties as JSON texts in
// strings, and the names in "sessionName"; both are read.

#include "interop/cstimer_file.h"
#include "base/errors.h"
#include "base/shown_text.h"
#include "interop/history_file.h"
#include "interop/json_reader.h"

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
                withText(reader, QString::fromLatin1(key),
                         [&](JsonReader &inner) { readSolves(inner, session); });
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

    static void readSolves(JsonReader &reader, ImportedSession &session)
    {
        if (reader.peek() != '[')
            reader.fail(Text::tr("記録の配列があるべきところです"));
        reader.expect('[');
        bool first = true;
        while (reader.nextItem(first)) session.solves.push_back(readSolve(reader));
    }

    // [[penalty, ms, phases...], scramble, comment, seconds, ...]
    static ImportedSolve readSolve(JsonReader &reader)
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
        const std::optional<std::int64_t> hundredths = hundredthsFromMs(ms);
        if (!hundredths)
            reader.fail(Text::tr("ありえない時間 %1 ms です").arg(ms, 0, 'g', 15));
        attempt.raw = *hundredths;
        for (int field = 0; field < 2; ++field) {  // scramble and comment
            if (!reader.take(','))
                reader.fail(Text::tr("記録の日時がありません"));
            reader.skipValue(2);
        }
        if (!reader.take(','))
            reader.fail(Text::tr("記録の日時がありません"));
        const double seconds = reader.readNumber();
        if (!(seconds >= 1 && seconds <= double(std::numeric_limits<std::uint32_t>::max())))
            reader.fail(Text::tr("ありえない日時 %1 です").arg(seconds, 0, 'g', 15));
        while (reader.take(',')) reader.skipValue(2);
        reader.expect(']');
        return ImportedSolve(std::uint32_t(seconds), attempt);
    }
};

// A JSON string: ASCII only, everything else as \u escapes, so a reader
// that takes the file byte by byte (as csTimer's own import does) still gets
// the names right.
QByteArray jsonString(const QString &text)
{
    QByteArray out = "\"";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
        }
    }
    return out + '"';
}

}  // namespace

std::vector<ImportedSession> readCsTimer(QByteArrayView json)
{
    CsTimerReader reader;
    JsonReader text(json);
    reader.readFile(text);
    std::vector<ImportedSession> sessions;
    for (auto &[n, session] : reader.sessions) {
        if (reader.names.count(n))
            session.name = reader.names[n];
        else if (reader.oldNames.count(n))
            session.name = reader.oldNames[n];
        if (session.name.isEmpty())
            session.name = QString::number(n);
        sessions.push_back(std::move(session));
    }
    return sessions;
}

QByteArray writeCsTimer(const std::vector<CsTimerSession> &sessions)
{
    QByteArray out = "{";
    QByteArray data = "{";
    for (std::size_t s = 0; s < sessions.size(); ++s) {
        const CsTimerSession &session = sessions[s];
        const QByteArray number = QByteArray::number(qulonglong(s + 1));
        if (s > 0) {
            out += ',';
            data += ',';
        }
        out += "\"session" + number + "\":[";
        int dnf = 0;
        qint64 sumMs = 0;
        qint64 timed = 0;
        for (std::size_t k = 0; k < session.solves.size(); ++k) {
            const CsTimerSolve &solve = session.solves[k];
            const char *penalty = solve.attempt.penalty == Penalty::PlusTwo ? "2000"
                                  : solve.attempt.penalty == Penalty::Dnf   ? "-1"
                                                                            : "0";
            if (k > 0)
                out += ',';
            out += "[[";
            out += penalty;
            out += ',';
            out += QByteArray::number(solve.attempt.raw * 10);
            out += "],\"\",\"\",";
            out += QByteArray::number(solve.unixSeconds);
            out += ']';
            if (solve.attempt.penalty == Penalty::Dnf) {
                ++dnf;
            } else {
                sumMs += solve.attempt.counted().hundredths * 10;
                ++timed;
            }
        }
        out += ']';
        const qint64 first = session.solves.empty() ? 0 : session.solves.front().unixSeconds;
        const qint64 last = session.solves.empty() ? 0 : session.solves.back().unixSeconds;
        data += "\"" + number + "\":{\"name\":" + jsonString(session.name) +
                ",\"opt\":{},\"rank\":" + number + ",\"stat\":[" +
                QByteArray::number(qulonglong(session.solves.size())) + ',' +
                QByteArray::number(dnf) + ',' + QByteArray::number(timed > 0 ? sumMs / timed : -1) +
                "],\"date\":[" + QByteArray::number(first) + ',' + QByteArray::number(last) + "]}";
    }
    data += '}';
    // csTimer reads sessions 1 to sessionN; its data text is a string inside.
    if (!sessions.empty())
        out += ',';
    out += "\"properties\":{\"sessionN\":" + QByteArray::number(qulonglong(sessions.size())) +
           ",\"session\":1,\"sessionData\":" + jsonString(QString::fromLatin1(data)) + "}}";
    return out;
}

}  // namespace spinlog
