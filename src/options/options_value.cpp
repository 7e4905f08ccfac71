#include "options/options_value.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/settings.h"
#include "data/puzzle_type_store.h"

namespace spinlog {

namespace {

constexpr Setting kColourSettings[] = {Setting::DefColor, Setting::BestColor, Setting::WorstColor};

}  // namespace

LoadedOptions loadOptions(const Settings &settings, const PuzzleTypeStore &types)
{
    LoadedOptions loaded;
    OptionsValue &v = loaded.value;
    v.countdown = settings.text(Setting::CntDownTm);
    v.alarm = settings.text(Setting::AlarmTm);
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
    std::vector<PuzzleType> rows;
    for (const TypeRow &row : value.types) rows.push_back(puzzleTypeOf(row));
    types.rewrite(rows);
}

}  // namespace spinlog
