#include "options/options_value.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "data/puzzle_type_store.h"
#include "data/type_tables.h"

#include <QStringList>

namespace spinlog {

namespace {

constexpr Setting kColourSettings[] = {Setting::DefColor, Setting::BestColor, Setting::WorstColor};

QString onOff(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The rows marked without inspection, as the numbers the rewrite gives them:
// the first five by their place, the others keep theirs.
QString noInspectionOf(const std::vector<PuzzleType> &types)
{
    QStringList ids;
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (!types[i].inspected)
            ids << (i < std::size_t(kTypeCount) ? QString::number(i + 1) : types[i].id.text());
    }
    return ids.join(QLatin1Char(','));
}

// The language the file chooses (read afresh: the run keeps the one it
// started with).
bool isEnglish(const Settings &settings)
{
    return settings.read(Setting::Language) == QLatin1String("en");
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
    v.english = isEnglish(settings);
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
    // The types after the five are read even when the five failed: an OK
    // then keeps them, and never takes one out unless 削除 did.
    try {
        const std::vector<PuzzleType> more = types.beyondFive();
        v.types.insert(v.types.end(), more.begin(), more.end());
    } catch (const SpinlogError &e) {
        if (loaded.failure.isEmpty())
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
    if (value.english != isEnglish(settings))
        settings.store(Setting::Language,
                       value.english ? QStringLiteral("en") : QStringLiteral("ja"));
    types.rewrite(value.types, value.removed);
}

TypeRecords typeRecordsOf(const PuzzleTypeStore &types,
                          std::function<std::optional<TypeId>()> underWay)
{
    return {[&types](const std::vector<PuzzleType> &pending) { return types.nextFreeId(pending); },
            [&types](const TypeId &id) { return types.savedSeries(id); }, std::move(underWay)};
}

std::optional<QString> addType(OptionsValue &value, const TypeRecords &records)
{
    if (int(value.types.size()) >= kMostTypes)
        return Text::tr("タイプは %1 個までです").arg(kMostTypes);
    PuzzleType type = puzzleTypeOf(QString(), Text::tr("新しいタイプ"), QStringLiteral("5"),
                                   typeBWText(AverageRule::LeaveOutBestWorst), true);
    type.id = records.nextId(value.types);
    value.types.push_back(type);
    return std::nullopt;
}

std::optional<QString> removeType(OptionsValue &value, int index, const TypeRecords &records)
{
    if (index < 0 || index >= int(value.types.size()))
        return Text::tr("削除するタイプを選択してください");
    if (index < kTypeCount)
        return Text::tr("最初の%1つのタイプは削除できません").arg(kTypeCount);
    const PuzzleType &type = value.types[std::size_t(index)];
    if (const std::optional<TypeId> underWay = records.underWay(); underWay && *underWay == type.id)
        return Text::tr("タイプ「%1」は計測中のセットがあるので削除できません").arg(type.name);
    if (const int series = records.savedSeries(type.id); series > 0)
        return typeHoldsSeriesText(type.name, series);
    value.removed.push_back(type.id);
    value.types.erase(value.types.begin() + index);
    return std::nullopt;
}

}  // namespace spinlog
