#include "base/time_values.h"

#include "base/errors.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace spinlog {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A number as the classic BASIC conversions read it: an optional sign,
// digits with "." as the decimal point and an optional exponent, gathered as
// ASCII for the conversion with what its range check needs.
struct ScannedNumber {
    std::string ascii;
    int integerDigits = 0;  // significant digits before the point
    int leadingFractionZeros = 0;
    bool significant = false;  // a digit other than 0
    long long exponent = 0;
};

// Scans the text between begin and end; throws "type mismatch" unless all of
// it is such a number.
ScannedNumber scanNumber(const QString &text, qsizetype i, qsizetype end)
{
    ScannedNumber n;
    if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
        if (text.at(i) == u'-')
            n.ascii += '-';
        ++i;
    }
    int digits = 0;
    for (; i < end && isDigit(text.at(i)); ++i, ++digits) {
        n.ascii += char(text.at(i).unicode());
        n.significant = n.significant || text.at(i) != u'0';
        if (n.significant)
            ++n.integerDigits;
    }
    if (i < end && text.at(i) == u'.') {
        n.ascii += '.';
        for (++i; i < end && isDigit(text.at(i)); ++i, ++digits) {
            n.ascii += char(text.at(i).unicode());
            if (!n.significant && text.at(i) == u'0')
                ++n.leadingFractionZeros;
            n.significant = n.significant || text.at(i) != u'0';
        }
    }
    if (digits == 0)
        throw SpinlogError(describe::typeMismatch());
    if (i < end &&
        (text.at(i) == u'e' || text.at(i) == u'E' || text.at(i) == u'd' || text.at(i) == u'D')) {
        n.ascii += 'e';
        ++i;
        bool negative = false;
        if (i < end && (text.at(i) == u'+' || text.at(i) == u'-')) {
            negative = text.at(i) == u'-';
            n.ascii += char(text.at(i).unicode());
            ++i;
        }
        const qsizetype first = i;
        for (; i < end && isDigit(text.at(i)); ++i) {
            n.ascii += char(text.at(i).unicode());
            n.exponent = std::min(n.exponent * 10 + text.at(i).digitValue(), 1'000'000'000LL);
        }
        if (i == first)
            throw SpinlogError(describe::typeMismatch());
        if (negative)
            n.exponent = -n.exponent;
    }
    if (i != end)
        throw SpinlogError(describe::typeMismatch());
    return n;
}

// Reads text the way the classic BASIC conversions do: blanks around it and
// a number as scanNumber takes it. Throws "type mismatch" for anything else
// and "overflow" beyond the floating range.
double basicDouble(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) ++begin;
    while (end > begin && isBlank(text.at(end - 1))) --end;
    const ScannedNumber n = scanNumber(text, begin, end);
    if (!n.significant)
        return 0.0;

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(n.ascii.data(), n.ascii.data() + n.ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large overflows; too small is as good as zero.
        const long long magnitude =
            n.exponent + (n.integerDigits > 0 ? n.integerDigits : -n.leadingFractionZeros);
        if (magnitude > 0)
            throw SpinlogError(describe::overflow());
        return 0.0;
    }
    if (ec != std::errc() || ptr != n.ascii.data() + n.ascii.size() || !std::isfinite(value))
        throw SpinlogError(describe::overflow());
    return value;
}

// A whole number of the given width, halves rounded to the even neighbour.
template <typename Int>
Int basicWhole(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= double(std::numeric_limits<Int>::min()) &&
          rounded <= double(std::numeric_limits<Int>::max())))
        throw SpinlogError(describe::overflow());
    return static_cast<Int>(rounded);
}

// The pattern "00": at least two digits, the sign in front.
QString twoDigits(std::int32_t n)
{
    const QString digits = QString::number(std::abs(n)).rightJustified(2, u'0');
    return n < 0 ? QLatin1Char('-') + digits : digits;
}

std::int16_t part(const QString &text)
{
    return basicWhole<std::int16_t>(basicDouble(text));
}

}  // namespace

QString timeChangeHNS(const QString &seconds)
{
    const double value = basicDouble(seconds);
    const std::int32_t x = basicWhole<std::int32_t>(value);
    QString result;
    const std::int32_t h = x / 3600;
    if (h != 0)
        result += QString::number(h) + QLatin1Char(':');
    const std::int32_t m = (x % 3600) / 60;
    if (m != 0 || h != 0)
        result += (h != 0 ? twoDigits(m) : QString::number(m)) + QLatin1Char(':');
    const std::int32_t s = (x % 3600) % 60;
    result += value >= 10 ? twoDigits(s) : QString::number(s);
    return result;
}

QString timeChangeS(const QString &time)
{
    if (time.isEmpty())
        return QString();
    qsizetype p1 = -1;
    qsizetype p2 = -1;
    for (qsizetype i = 0; i < time.size(); ++i) {
        if (time.at(i) == u'.')
            break;
        if (time.at(i) == u':') {
            if (p1 >= 0) {
                p2 = i;
                break;
            }
            p1 = i;
        }
    }
    const qsizetype d = time.indexOf(u'.');
    if (d < 0)
        throw SpinlogError(describe::invalidArgument());

    std::int16_t hours = 0;
    std::int16_t minutes = 0;
    std::int16_t seconds = 0;
    if (p1 < 0) {
        seconds = part(time.left(d));
    } else if (p2 < 0) {
        minutes = part(time.left(p1));
        seconds = part(time.mid(p1 + 1, d - p1 - 1));
    } else {
        hours = part(time.left(p1));
        minutes = part(time.mid(p1 + 1, p2 - p1 - 1));
        seconds = part(time.mid(p2 + 1, d - p2 - 1));
    }
    const QString fraction = time.mid(d + 1);

    const std::int32_t hourSeconds = std::int32_t(hours) * 3600;
    // Minutes times 60 is worked out in 16 bits: 547 minutes and more overflow.
    const std::int32_t minuteSeconds = std::int32_t(minutes) * 60;
    if (minuteSeconds < std::numeric_limits<std::int16_t>::min() ||
        minuteSeconds > std::numeric_limits<std::int16_t>::max())
        throw SpinlogError(describe::overflow());
    const std::int32_t total = hourSeconds + minuteSeconds + seconds;
    return QString::number(total) + QLatin1Char('.') + fraction;
}

QString secondsText(std::int64_t hundredths)
{
    const bool negative = hundredths < 0;
    // Unsigned, so the most negative value has a magnitude too.
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(hundredths) : std::uint64_t(hundredths);
    QString text = QString::number(magnitude / 100) + QLatin1Char('.') +
                   QString::number(magnitude % 100).rightJustified(2, u'0');
    return negative ? QLatin1Char('-') + text : text;
}

QString displayForm(const QString &secondsText)
{
    if (secondsText.size() < 3)
        throw SpinlogError(describe::invalidArgument());
    return timeChangeHNS(secondsText.left(secondsText.size() - 3)) + secondsText.right(3);
}

QString displayForm(std::int64_t hundredths)
{
    // A solve's time, written straight: an import writes a million of them.
    // Others (negative, or beyond the whole part's 32 bits) take the rule.
    constexpr std::int64_t kStraightBelow = std::int64_t(100) << 31;
    if (hundredths < 0 || hundredths >= kStraightBelow)
        return displayForm(secondsText(hundredths));
    const std::int64_t whole = hundredths / 100;
    const std::int64_t h = whole / 3600, m = whole % 3600 / 60, s = whole % 60;
    // At most 8 + 1 + 2 + 1 + 2 + 1 + 2 characters.
    std::array<char, 24> text{};
    std::size_t n = 0;
    const auto put = [&text, &n](std::int64_t value, bool twoDigits) {
        std::array<char, 20> digits{};
        std::size_t k = 0;
        do {
            digits[k++] = char('0' + value % 10);
            value /= 10;
        } while (value != 0 && k < digits.size());
        if (twoDigits && k < 2)
            digits[k++] = '0';
        while (k > 0 && n < text.size()) text[n++] = digits[--k];
    };
    const auto mark = [&text, &n](char c) {
        if (n < text.size())
            text[n++] = c;
    };
    if (h != 0) {
        put(h, false);
        mark(':');
    }
    if (m != 0 || h != 0) {
        put(m, h != 0);
        mark(':');
    }
    put(s, whole >= 10);
    mark('.');
    put(hundredths % 100, true);
    return QString::fromLatin1(text.data(), qsizetype(n));
}

std::int64_t hundredthsFromNs(std::int64_t ns)
{
    constexpr std::int64_t kNsPerHundredth = 10'000'000;
    std::int64_t quotient = ns / kNsPerHundredth;
    std::int64_t remainder = ns % kNsPerHundredth;
    if (remainder < 0) {
        quotient -= 1;
        remainder += kNsPerHundredth;
    }
    return remainder * 2 >= kNsPerHundredth ? quotient + 1 : quotient;
}

std::optional<std::int64_t> hundredthsFromSecondsText(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-')) {
        negative = t.at(i) == u'-';
        ++i;
    }
    // Whole seconds small enough that the hundredths and a rounding step fit.
    constexpr std::int64_t kMaxWhole = (std::numeric_limits<std::int64_t>::max() - 100) / 100;
    std::int64_t value = 0;
    int digits = 0;
    for (; i < t.size() && isDigit(t.at(i)); ++i, ++digits) {
        const int digit = t.at(i).digitValue();
        if (value > (kMaxWhole - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    value *= 100;  // now in hundredths
    if (i < t.size() && t.at(i) == u'.') {
        int place = 0;
        for (++i; i < t.size() && isDigit(t.at(i)); ++i, ++digits, ++place) {
            if (place == 0)
                value += 10 * t.at(i).digitValue();
            else if (place == 1)
                value += t.at(i).digitValue();
            else if (place == 2 && t.at(i).digitValue() >= 5)
                value += 1;  // the nearest hundredth, halves away from zero
        }
    }
    if (digits == 0 || i != t.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::int64_t roundedMean(std::int64_t sum, std::int64_t counted)
{
    std::int64_t quotient = sum / counted;
    const std::int64_t twiceRest = 2 * (sum % counted);
    if (twiceRest > counted || (twiceRest == counted && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

double secondsValue(std::int64_t hundredths)
{
    // The value of the text "12.34" is the double nearest to 12.34, and so
    // is 1234 / 100.0: the division of two exact numbers is rounded once.
    // Beyond 2^53 a number of hundredths is no longer exact: read the text.
    constexpr std::int64_t kExact = std::int64_t(1) << 53;
    if (hundredths > -kExact && hundredths < kExact)
        return double(hundredths) / 100.0;
    return secondsText(hundredths).toDouble();
}

}  // namespace spinlog
