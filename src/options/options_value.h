#pragma once
// What the options dialog edits, as a plain value: the countdown and the
// alarm interval as typed, the three marking colours, the inspection and the
// hold to start, the puzzle types with their inspection (the five of MT_Type,
// then those added), and what times the solves (the keyboard, or a Stackmat
// timer on an audio input). Read from the settings and the type tables when
// the dialog opens, checked and stored on OK.

#include "options/type_table.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class PuzzleTypeStore;
class Settings;

enum OptionColour { PlainColour, BestColour, WorstColour };

struct OptionsValue {
    QString countdown;                       // CntDownTm, as typed
    QString alarm;                           // AlarmTm, as typed
    std::array<std::uint32_t, 3> colours{};  // 0x00BBGGRR, by OptionColour
    bool inspection = false;                 // the competition's 15 s instead of the countdown
    bool holdToStart = false;                // a start key held, then let go, starts
    bool stackmat = false;                   // a Stackmat timer times the solves
    QString stackmatDevice;                  // its audio input's id; empty: the default
    bool english = false;                    // the texts shown in English from the next start
    // MT_Type's kTypeCount types in TypeID order, then the others by number.
    std::vector<PuzzleType> types;
    int typesRead = kTypeCount;   // of the first five, those read; the rest show empty texts
    std::vector<TypeId> removed;  // the stored types 削除 took out
};

// The value as the dialog opens with it, read in the dialog's order (times,
// colours, types; the inspection and the hold are held values and cannot
// fail). A failure stops the reading: the rest keeps the defaults (a colour
// its setting's default, a type empty texts) and failure holds the
// description for the load's report.
struct LoadedOptions {
    OptionsValue value;
    QString failure;
    // The audio inputs there are, for the Stackmat's list (the assembly,
    // which sees the audio devices, fills it in).
    struct Input {
        QString id;
        QString name;
    };
    std::vector<Input> inputs;
};
LoadedOptions loadOptions(const Settings &settings, const PuzzleTypeStore &types);

// What the type editor asks of the records as types are added and removed:
// the TypeID a new one gets (besides those of the types it is given), how
// many saved series a type holds, and the type of the series under way.
struct TypeRecords {
    std::function<TypeId(const std::vector<PuzzleType> &pending)> nextId;
    std::function<int(const TypeId &)> savedSeries;
    std::function<std::optional<TypeId>()> underWay;
};

// The records' answers: the store's, and the series under way as UNDERWAY
// tells it.
TypeRecords typeRecordsOf(const PuzzleTypeStore &types,
                          std::function<std::optional<TypeId>()> underWay);

// Adds a type after the others: the next free TypeID, the name
// "新しいタイプ", 5 solves, best and worst left out, with the inspection.
// Refused (its message back, nothing added) once there are kMostTypes.
std::optional<QString> addType(OptionsValue &value, const TypeRecords &records);
// Takes out the type at INDEX, noting it for the store; refused (its message
// back, nothing changed) for one of the first five, for a type with saved
// series (their number said) and for the type of the series under way.
std::optional<QString> removeType(OptionsValue &value, int index, const TypeRecords &records);

// Whether a time box's text may be stored: a number of 0 or more.
bool isTimeSetting(const QString &text);

// Stores the value on OK, in the order of the settings file (the timer and
// its input only when they changed), then the type tables (the removed types
// deleted with them); the types without inspection are stored by the numbers
// the rewrite gives them. Throws SpinlogError at the first failure (a setting
// the file would not take, a failed rewrite). What was stored before it stays
// stored. The settings and the types signal what changed.
void storeOptions(Settings &settings, PuzzleTypeStore &types, const OptionsValue &value);

}  // namespace spinlog
