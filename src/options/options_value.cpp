#include "options/options_value.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/settings.h"
#include "data/puzzle_type_store.h"

#include <QStringList>

namespace spinlog {

namespace {

constexpr Setting kColourSettings[] = {Setting::DefColor, Setting::BestColor, Setting::WorstColor};

QString onOff(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The rows marked without inspection, as the numbers the rewrite gives them.
QString noInspectionOf(const std::vector<PuzzleType> &types)
{
    QStringList ids;
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (!types[i].inspected)
            ids << QString::number(i + 1);
    }
    return ids.join(QLatin1Char(','));
}

}  // namespace

LoadedOptions loadOptions(const Settings &settings, const PuzzleTypeStore &types)
{
    LoadedOptions loaded;
    OptionsValue &v = loaded.value;
    v.countdown = settings.text(Setting::CntDownTm);
    v.alarm = settings.text(Setting::AlarmTm);
    v.inspection = settings.isOn(Setting::Inspection);
    v.holdToStart = settings.isOn(Setting::HoldToStart);
    v.stackmat = settings.timesByStackmat();
    v.stackmatDevice = settings.text(Setting::StackmatDevice);
    for (int i = 0; i < 3; ++i)
        v.colours[std::size_t(i)] = colorFromText(keyOf(kColourSettings[i]).defaultText);
    v.types.assign(kTypeCount, PuzzleType{});
    v.typesRead = 0;
    try {
        for (int i = 0; i < 3; ++i) v.colours[std::size_t(i)] = settings.color(kColourSettings[i]);
        types.readFive([&v](int index, const PuzzleType &stored) {
            v.types[std::size_t(index)] = stored;
            v.typesRead = index + 1;
        });
    } catch (const SpinlogError &e) {
        loaded.failure = e.description();
    }
    const QString noInspection = settings.text(Setting::NoInspection);
    for (PuzzleType &type : v.types)
        type.inspected = isInspected(noInspection, type.id.text(), type.name);
    return loaded;
}

bool isTimeSetting(const QString &text)
{
    const auto value = numberFromText(text);
    return value && *value >= 0;
}

void storeOptions(Settings &settings, PuzzleTypeStore &types, const OptionsValue &value)
{
    settings.store(Setting::CntDownTm, value.countdown);
    settings.store(Setting::AlarmTm, value.alarm);
    for (int i = 0; i < 3; ++i)
        settings.store(kColourSettings[i], QString::number(value.colours[std::size_t(i)]));
    settings.store(Setting::Inspection, onOff(value.inspection));
    settings.store(Setting::HoldToStart, onOff(value.holdToStart));
    settings.store(Setting::NoInspection, noInspectionOf(value.types));
    // Written once chosen: a keyboard user's file keeps the keys it had.
    if (value.stackmat != settings.timesByStackmat())
        settings.store(Setting::Timer,
                       value.stackmat ? QStringLiteral("stackmat") : QStringLiteral("keyboard"));
    if (value.stackmatDevice != settings.text(Setting::StackmatDevice))
        settings.store(Setting::StackmatDevice, value.stackmatDevice);
    types.rewrite(value.types);
}

}  // namespace spinlog
