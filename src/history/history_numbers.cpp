#include "history/history_numbers.h"

#include "app/errors.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace spinlog {

namespace {

double numberFromText(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw SpinlogError(describe::typeMismatch());
    return value;
}

// Whole numbers round half to even, as the settings' numbers always have.
double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

}  // namespace

std::int16_t positionFromText(const QString &text)
{
    const double value = roundHalfEven(numberFromText(text));
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw SpinlogError(describe::overflow());
    return static_cast<std::int16_t>(value);
}

float singleFromText(const QString &text)
{
    const double value = numberFromText(text);
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        throw SpinlogError(describe::overflow());
    return static_cast<float>(value);
}

QString textFromSingle(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

std::uint32_t colourFromText(const QString &text)
{
    const double value = roundHalfEven(numberFromText(text));
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw SpinlogError(describe::overflow());
    // Only the low three bytes name a colour.
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 0xFFFFFFu;
}

}  // namespace spinlog
