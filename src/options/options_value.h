#pragma once
// What the options dialog edits, as a plain value: the countdown and the
// alarm interval as typed, the three marking colours, the inspection and the
// hold to start, the five puzzle types with their inspection, and what times
// the solves (the keyboard, or a Stackmat timer on an audio input). Read from
// the settings and MT_Type when the dialog opens, checked and stored on OK.

#include "options/type_table.h"

#include <QString>
#include <array>
#include <cstdint>
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
    std::vector<PuzzleType> types;           // kTypeCount types, in TypeID order
    int typesRead = kTypeCount;              // the types read; the rest show empty texts
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

// Whether a time box's text may be stored: a number of 0 or more.
bool isTimeSetting(const QString &text);

// Stores the value on OK, in the order of the settings file (the timer and
// its input only when they changed), then the type table; the types without inspection are stored
// by the numbers the rewrite gives them. Throws SpinlogError at the first failure (a setting the
// file would not take, a failed rewrite). What was stored before it stays stored. The settings and
// the types signal what changed.
void storeOptions(Settings &settings, PuzzleTypeStore &types, const OptionsValue &value);

}  // namespace spinlog
