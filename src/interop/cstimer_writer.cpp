#include "interop/cstimer_file.h"

namespace spinlog {

QByteArray jsonString(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    const QChar *const end = text.constData() + text.size();
    for (const QChar *c = text.constData(); c != end;) {
        // A run of plain ASCII at once: most scrambles and comments are one.
        const QChar *plain = c;
        while (plain != end && plain->unicode() >= 0x20 && plain->unicode() < 0x7F &&
               plain->unicode() != '"' && plain->unicode() != '\\')
            ++plain;
        if (plain != c) {
            const qsizetype at = out.size();
            out.resize(at + (plain - c));
            for (char *to = out.data() + at; c != plain; ++c) *to++ = char(c->unicode());
            continue;
        }
        const char16_t u = c->unicode();
        if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
        }
        ++c;
    }
    out += '"';
    return out;
}

CsTimerWriter::CsTimerWriter() : out_("{"), data_("{") {}

void CsTimerWriter::beginSession(const QString &name)
{
    endSession();
    const QByteArray number = QByteArray::number(++sessions_);
    if (sessions_ > 1) {
        out_ += ',';
        data_ += ',';
    }
    out_ += "\"session" + number + "\":[";
    data_ += "\"" + number + "\":{\"name\":" + jsonString(name) + ",\"opt\":{},\"rank\":" + number;
    open_ = true;
    solves_ = dnfs_ = timed_ = sumMs_ = first_ = last_ = 0;
}

void CsTimerWriter::add(const Attempt &attempt, const SolveDetails &details)
{
    const char *penalty = attempt.penalty == Penalty::PlusTwo ? "2000"
                          : attempt.penalty == Penalty::Dnf   ? "-1"
                                                              : "0";
    const std::int64_t ms = details.rawMs.value_or(attempt.raw * 10);
    const std::int64_t seconds = details.moment.value_or(0) / 1000;
    if (solves_ > 0)
        out_ += ',';
    out_ += "[[";
    out_ += penalty;
    out_ += ',';
    out_ += QByteArray::number(ms);
    for (const std::int64_t split : details.splits) out_ += ',' + QByteArray::number(split);
    out_ += "],";
    out_ += jsonString(details.scramble);
    out_ += ',';
    out_ += jsonString(details.comment);
    out_ += ',';
    out_ += QByteArray::number(seconds);
    out_ += ']';
    if (solves_ == 0)
        first_ = seconds;
    last_ = seconds;
    ++solves_;
    if (attempt.penalty == Penalty::Dnf) {
        ++dnfs_;
    } else {
        sumMs_ += ms + (attempt.penalty == Penalty::PlusTwo ? 2000 : 0);
        ++timed_;
    }
}

void CsTimerWriter::endSession()
{
    if (!open_)
        return;
    out_ += ']';
    data_ += ",\"stat\":[" + QByteArray::number(solves_) + ',' + QByteArray::number(dnfs_) + ',' +
             QByteArray::number(timed_ > 0 ? sumMs_ / timed_ : -1) + "],\"date\":[" +
             QByteArray::number(first_) + ',' + QByteArray::number(last_) + "]}";
    open_ = false;
}

QByteArray CsTimerWriter::finish()
{
    endSession();
    data_ += '}';
    // csTimer reads sessions 1 to sessionN; its data text is a string inside.
    if (sessions_ > 0)
        out_ += ',';
    out_ += "\"properties\":{\"sessionN\":" + QByteArray::number(sessions_) +
            ",\"session\":1,\"sessionData\":" + jsonString(QString::fromLatin1(data_)) + "}}";
    return std::move(out_);
}

QByteArray writeCsTimer(const std::vector<CsTimerSession> &sessions)
{
    CsTimerWriter writer;
    for (const CsTimerSession &session : sessions) {
        writer.beginSession(session.name);
        for (const CsTimerSolve &solve : session.solves) writer.add(solve.attempt, solve.details);
    }
    return writer.finish();
}

}  // namespace spinlog
