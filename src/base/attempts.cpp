#include "base/attempts.h"

#include "base/errors.h"
#include "base/time_values.h"

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
    if (text == kDnf)
        return Counted::dnfResult();
    const QString time = text.endsWith(QLatin1Char('+')) ? text.chopped(1) : text;
    if (time.isEmpty())
        return std::nullopt;
    try {
        const std::optional<std::int64_t> hundredths =
            hundredthsFromSecondsText(timeChangeS(time));
        if (!hundredths || *hundredths < 0 || *hundredths >= kDnfHundredths)
            return std::nullopt;
        return Counted{*hundredths, false};
    } catch (const SpinlogError &) {
        return std::nullopt;
    }
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
