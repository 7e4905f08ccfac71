#include "base/attempts.h"

#include "base/errors.h"
#include "base/time_values.h"

#include <algorithm>
#include <array>

namespace spinlog {

namespace {

const QString kDnf = QStringLiteral("DNF");

}  // namespace

Counted Attempt::counted() const
{
    switch (penalty) {
        case Penalty::None: return {raw, false};
        case Penalty::PlusTwo: return {raw + kPlusTwoHundredths, false};
        case Penalty::Dnf: break;
    }
    return Counted::dnfResult();
}

QString Attempt::text() const
{
    return countedText(counted(), penalty == Penalty::PlusTwo);
}

QString countedText(const Counted &counted, bool plusTwo)
{
    if (counted.dnf)
        return kDnf;
    const QString time = displayForm(counted.hundredths);
    return plusTwo ? time + QLatin1Char('+') : time;
}

std::optional<Counted> countedFromText(const QString &text)
{
    // A short text of plain characters goes by its bytes: an import reads
    // three a series.
    std::array<char, 24> bytes{};
    if (text.size() > qsizetype(bytes.size()))
        return countedByRule(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return countedByRule(text);
        bytes[std::size_t(i)] = char(c);
    }
    return countedFromUtf8(std::string_view(bytes.data(), std::size_t(text.size())));
}

std::optional<Counted> countedByRule(const QString &text)
{
    if (text == kDnf)
        return Counted::dnfResult();
    const QString time = text.endsWith(QLatin1Char('+')) ? text.chopped(1) : text;
    if (time.isEmpty())
        return std::nullopt;
    try {
        const std::optional<std::int64_t> hundredths = hundredthsFromSecondsText(timeChangeS(time));
        if (!hundredths || *hundredths < 0 || *hundredths >= kDnfHundredths)
            return std::nullopt;
        return Counted{*hundredths, false};
    } catch (const SpinlogError &) {
        return std::nullopt;
    }
}

std::optional<Counted> countedFromUtf8(std::string_view text)
{
    const auto slow = [text] {
        return countedByRule(QString::fromUtf8(text.data(), qsizetype(text.size())));
    };
    if (text == "DNF")
        return Counted::dnfResult();
    std::size_t end = text.size();
    if (end > 0 && text[end - 1] == '+')
        --end;
    // Up to three groups of one to four digits before the point (hours,
    // minutes, seconds), then one or two decimals: what fits the 16-bit parts
    // the display form is read with.
    std::array<std::int64_t, 3> groups{};
    int count = 0;
    int digits = 0;
    std::int64_t value = 0;
    std::size_t i = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++digits > 4)
                return slow();
            value = value * 10 + (c - '0');
            continue;
        }
        if (digits == 0 || (c != ':' && c != '.') || count == 3)
            return slow();
        groups[std::size_t(count++)] = value;
        value = 0;
        digits = 0;
        if (c == '.')
            break;
    }
    const std::size_t decimals = end - std::min(end, i + 1);
    if (i == end || decimals < 1 || decimals > 2)
        return slow();
    std::int64_t fraction = 0;
    for (std::size_t d = i + 1; d < end; ++d) {
        if (text[d] < '0' || text[d] > '9')
            return slow();
        fraction = fraction * 10 + (text[d] - '0');
    }
    if (decimals == 1)
        fraction *= 10;
    const std::int64_t seconds = groups[std::size_t(count - 1)];
    const std::int64_t minutes = count >= 2 ? groups[std::size_t(count - 2)] : 0;
    const std::int64_t hours = count == 3 ? groups[0] : 0;
    // Minutes times 60 must fit 16 bits; the reader refuses more.
    if (minutes * 60 > 32767)
        return slow();
    const std::int64_t hundredths = ((hours * 60 + minutes) * 60 + seconds) * 100 + fraction;
    if (hundredths >= kDnfHundredths)
        return slow();
    return Counted{hundredths, false};
}

std::optional<Attempt> attemptFromText(const QString &text)
{
    const std::optional<Counted> counted = countedFromText(text);
    if (!counted)
        return std::nullopt;
    if (counted->dnf)
        return Attempt{0, Penalty::Dnf};
    if (text.endsWith(QLatin1Char('+')))
        return Attempt{std::max<std::int64_t>(counted->hundredths - kPlusTwoHundredths, 0),
                       Penalty::PlusTwo};
    return Attempt{counted->hundredths, Penalty::None};
}

QString attemptToken(const Attempt &attempt)
{
    QString token = QString::number(attempt.raw);
    if (attempt.penalty == Penalty::PlusTwo)
        token += QLatin1Char('+');
    else if (attempt.penalty == Penalty::Dnf)
        token += QLatin1Char('D');
    return token;
}

std::optional<Attempt> attemptFromToken(QStringView token)
{
    Attempt attempt;
    if (token.endsWith(u'+')) {
        attempt.penalty = Penalty::PlusTwo;
        token.chop(1);
    } else if (token.endsWith(u'D')) {
        attempt.penalty = Penalty::Dnf;
        token.chop(1);
    }
    bool ok = false;
    attempt.raw = token.toLongLong(&ok);
    if (!ok || attempt.raw < 0 || attempt.raw >= kDnfHundredths)
        return std::nullopt;
    return attempt;
}

Penalty inspectionPenalty(std::int64_t inspectionNs)
{
    constexpr std::int64_t kSecond = 1'000'000'000;
    if (inspectionNs <= 15 * kSecond)
        return Penalty::None;
    if (inspectionNs <= 17 * kSecond)
        return Penalty::PlusTwo;
    return Penalty::Dnf;
}

}  // namespace spinlog
