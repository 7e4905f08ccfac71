#include "base/number_text.h"

#include "base/errors.h"
#include "base/shown_text.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>

namespace spinlog {

double numericValue(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    // toDouble also takes "inf" and "nan", which no setting means.
    if (!ok || !std::isfinite(value))
        throw SpinlogError(describe::typeMismatch());
    return value;
}

std::int16_t int16FromText(const QString &text)
{
    const double rounded = std::nearbyint(numericValue(text));  // halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        throw SpinlogError(describe::overflow());
    return static_cast<std::int16_t>(rounded);
}

float singleFromText(const QString &text)
{
    const double value = numericValue(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw SpinlogError(describe::overflow());
    return static_cast<float>(value);
}

std::uint32_t colorFromText(const QString &text)
{
    const double value = std::nearbyint(numericValue(text));
    if (value < 0 || value > 0xFFFFFF)
        throw SpinlogError(invalidPropertyText());
    return static_cast<std::uint32_t>(value);
}

std::optional<double> numberFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString invalidPropertyText()
{
    return Text::tr("プロパティの値が不正です。");
}

QString singleText(float value)
{
    char buffer[64];
    // Plain decimals only: a reader of the file (and Windows' own
    // conversion) takes "300000", not "3e+05".
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

}  // namespace spinlog
