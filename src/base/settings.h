#pragma once
// Every setting of Spinlog.ini, its section, key and default written once,
// and the one object through which the program reads and writes them. Values
// stay the text the file holds; the typed accessors convert at each use and
// throw SpinlogError for a value that does not convert, so the procedure that
// needed it fails with its own report.

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

namespace spinlog {

enum class Setting {
    // [Main]
    MainLeft,
    MainTop,
    DefType,
    // [Option]
    CntDownTm,
    AlarmTm,
    DefColor,
    BestColor,
    WorstColor,
    Inspection,      // "1": the competition's inspection instead of the countdown
    HoldToStart,     // "1": a start key held and let go starts
    NoInspection,    // the TypeIDs without inspection, or "auto"
    Timer,           // "stackmat": solves timed by a Stackmat timer; else the keyboard
    StackmatDevice,  // the audio input's id; empty: the system's default input
    Language,        // "en": the texts shown in English; anything else Japanese
    // [View]
    ViewTop,
    ViewLeft,
    ViewHeight,
    SearchType,
    SearchOrder,
    // [Chart]
    ChartLeft,
    ChartTop,
    ChartWidth,
    ChartHeight,
    // [Scramble]
    ScrambleLeft,
    ScrambleTop,
    ScrambleWidth,
    ScrambleHeight,
    ScrambleVisible,
};
inline constexpr int kSettingCount = int(Setting::ScrambleVisible) + 1;

struct SettingKey {
    QString section;
    QString key;
    QString defaultText;
};
const SettingKey &keyOf(Setting setting);

// Signals each held value stored, so what shows it follows.
class Settings : public QObject {
    Q_OBJECT
public:
    // The settings file; nothing is read until load() or read().
    explicit Settings(QString iniPath, QObject *parent = nullptr);
    // The folder of the settings file: the application folder.
    QString folder() const;

    // One key, from the file as it is now (the default when the file, the
    // section or the key is missing).
    QString read(Setting setting) const;
    // Writes one key (a window's place); a write that cannot be done is lost
    // without a message.
    void write(Setting setting, const QString &value) const;

    // Start-up: reads DefType, CntDownTm, AlarmTm and the three colours, in
    // that order, then the inspection, the hold, the types without
    // inspection and the timer with its input, into the values held for the
    // run.
    void load();
    // A held value (one of those read at start-up), as text.
    QString text(Setting setting) const;
    // Writes a held value to the file and, once it is there, holds it
    // (signalling changed when it differs); a write that cannot be done
    // throws SpinlogError with the system's description and keeps the value
    // held before.
    void store(Setting setting, const QString &value);

    // Conversions of the held values.
    bool isOn(Setting setting) const;            // a switch: "1" and nothing else is on
    std::int16_t countdownSeconds() const;       // CntDownTm
    std::int16_t alarmSeconds() const;           // AlarmTm
    std::int16_t defaultTypePosition() const;    // DefType
    std::uint32_t color(Setting setting) const;  // DefColor, BestColor, WorstColor
    bool timesByStackmat() const;                // Timer

signals:
    // A held value was stored (by store(); not by load() or write()).
    void changed(Setting setting);

private:
    QString path_;
    std::array<QString, kSettingCount> held_;
};

// Whether the competition's inspection applies to a type, by NoInspection's
// text: the TypeIDs without it, separated by commas, or "auto", the setting of
// a file that never chose, which leaves it out for the types whose names
// say blindfolded (3x3x3目隠し, "… BLD"), as blindfolded solves have none.
bool isInspected(const QString &noInspection, const QString &typeId, const QString &typeName);

}  // namespace spinlog
