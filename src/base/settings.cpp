#include "base/settings.h"

#include "base/errors.h"
#include "base/ini_file.h"
#include "base/number_text.h"
#include "base/type_names.h"

#include <QFileInfo>

#include <utility>

namespace spinlog {

namespace {

const QString kMain = QStringLiteral("Main");
const QString kOption = QStringLiteral("Option");
const QString kView = QStringLiteral("View");
const QString kChart = QStringLiteral("Chart");
const QString kScramble = QStringLiteral("Scramble");

// In the order of Setting.
const std::array<SettingKey, kSettingCount> kKeys = {{
    {kMain, QStringLiteral("Left"), QStringLiteral("4000")},
    {kMain, QStringLiteral("Top"), QStringLiteral("5000")},
    {kMain, QStringLiteral("DefType"), QStringLiteral("0")},
    {kOption, QStringLiteral("CntDownTm"), QStringLiteral("15")},
    {kOption, QStringLiteral("AlarmTm"), QStringLiteral("30")},
    {kOption, QStringLiteral("DefColor"), QStringLiteral("14671839")},
    {kOption, QStringLiteral("BestColor"), QStringLiteral("16744576")},
    {kOption, QStringLiteral("WorstColor"), QStringLiteral("8421631")},
    {kOption, QStringLiteral("Inspection"), QStringLiteral("0")},
    {kOption, QStringLiteral("HoldToStart"), QStringLiteral("0")},
    {kOption, QStringLiteral("NoInspection"), QStringLiteral("auto")},
    {kOption, QStringLiteral("Timer"), QStringLiteral("keyboard")},
    {kOption, QStringLiteral("StackmatDevice"), QString()},
    {kOption, QStringLiteral("Language"), QStringLiteral("ja")},
    {kView, QStringLiteral("Top"), QStringLiteral("3000")},
    {kView, QStringLiteral("Left"), QStringLiteral("1000")},
    {kView, QStringLiteral("Height"), QStringLiteral("5000")},
    {kView, QStringLiteral("SearchType"), QStringLiteral("0")},
    {kView, QStringLiteral("SearchOrder"), QStringLiteral("0")},
    {kChart, QStringLiteral("Left"), QStringLiteral("1500")},
    {kChart, QStringLiteral("Top"), QStringLiteral("1500")},
    {kChart, QStringLiteral("Width"), QStringLiteral("12000")},
    {kChart, QStringLiteral("Height"), QStringLiteral("8000")},
    {kScramble, QStringLiteral("Left"), QStringLiteral("9300")},
    {kScramble, QStringLiteral("Top"), QStringLiteral("5000")},
    {kScramble, QStringLiteral("Width"), QStringLiteral("6000")},
    {kScramble, QStringLiteral("Height"), QStringLiteral("5400")},
    {kScramble, QStringLiteral("Visible"), QStringLiteral("0")},
}};

}  // namespace

const SettingKey &keyOf(Setting setting)
{
    return kKeys.at(std::size_t(setting));
}

Settings::Settings(QString iniPath, QObject *parent) : QObject(parent), path_(std::move(iniPath))
{
    for (int i = 0; i < kSettingCount; ++i)
        held_[std::size_t(i)] = kKeys[std::size_t(i)].defaultText;
}

QString Settings::folder() const
{
    return QFileInfo(path_).absolutePath();
}

QString Settings::read(Setting setting) const
{
    const SettingKey &k = keyOf(setting);
    return iniRead(path_, k.section, k.key, k.defaultText);
}

void Settings::write(Setting setting, const QString &value) const
{
    const SettingKey &k = keyOf(setting);
    iniWrite(path_, k.section, k.key, value);
}

void Settings::load()
{
    for (Setting s :
         {Setting::DefType, Setting::CntDownTm, Setting::AlarmTm, Setting::DefColor,
          Setting::BestColor, Setting::WorstColor, Setting::Inspection, Setting::HoldToStart,
          Setting::NoInspection, Setting::Timer, Setting::StackmatDevice})
        held_[std::size_t(s)] = read(s);
}

QString Settings::text(Setting setting) const
{
    return held_.at(std::size_t(setting));
}

void Settings::store(Setting setting, const QString &value)
{
    const SettingKey &k = keyOf(setting);
    QString failure;
    if (!iniWrite(path_, k.section, k.key, value, &failure))
        throw SpinlogError(failure);
    if (std::exchange(held_.at(std::size_t(setting)), value) != value)
        emit changed(setting);
}

std::int16_t Settings::countdownSeconds() const
{
    return int16FromText(text(Setting::CntDownTm));
}

std::int16_t Settings::alarmSeconds() const
{
    return int16FromText(text(Setting::AlarmTm));
}

bool Settings::isOn(Setting setting) const
{
    return text(setting).trimmed() == QStringLiteral("1");
}

std::int16_t Settings::defaultTypePosition() const
{
    return int16FromText(text(Setting::DefType));
}

std::uint32_t Settings::color(Setting setting) const
{
    return colorFromText(text(setting));
}

bool Settings::timesByStackmat() const
{
    return text(Setting::Timer)
               .trimmed()
               .compare(QStringLiteral("stackmat"), Qt::CaseInsensitive) == 0;
}

bool isInspected(const QString &noInspection, const QString &typeId, const QString &typeName)
{
    if (noInspection.trimmed() == QStringLiteral("auto"))
        return !isBlindfoldName(typeName);
    for (const QString &id : noInspection.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (id.trimmed() == typeId)
            return false;
    }
    return true;
}

}  // namespace spinlog
