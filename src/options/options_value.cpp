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
QString noInspectionOf(const std::vector<TypeRow> &rows)
{
    QStringList ids;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].inspection == kTypeNotInspected)
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
    for (int i = 0; i < 3; ++i)
        v.colours[std::size_t(i)] = colorFromText(keyOf(kColourSettings[i]).defaultText);
    v.types.assign(kTypeCount, TypeRow{});
    try {
        for (int i = 0; i < 3; ++i) v.colours[std::size_t(i)] = settings.color(kColourSettings[i]);
        types.readFive([&v](int index, const PuzzleType &stored) {
            v.types[std::size_t(index)] = typeRowOf(stored);
        });
    } catch (const SpinlogError &e) {
        loaded.failure = e.description();
    }
    const QString noInspection = settings.text(Setting::NoInspection);
    for (TypeRow &row : v.types)
        row.inspection =
            isInspected(noInspection, row.id, row.name) ? kTypeInspected : kTypeNotInspected;
    return loaded;
}

bool isTimeSetting(const QString &text)
{
    const auto value = numberFromText(text);
    return value && *value >= 0;
}

void storeOptions(Settings &settings, const PuzzleTypeStore &types, const OptionsValue &value)
{
    settings.store(Setting::CntDownTm, value.countdown);
    settings.store(Setting::AlarmTm, value.alarm);
    for (int i = 0; i < 3; ++i)
        settings.store(kColourSettings[i], QString::number(value.colours[std::size_t(i)]));
    settings.store(Setting::Inspection, onOff(value.inspection));
    settings.store(Setting::HoldToStart, onOff(value.holdToStart));
    settings.store(Setting::NoInspection, noInspectionOf(value.types));
    std::vector<PuzzleType> rows;
    for (const TypeRow &row : value.types) rows.push_back(puzzleTypeOf(row));
    types.rewrite(rows);
}

}  // namespace spinlog
