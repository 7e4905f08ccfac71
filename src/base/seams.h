#pragma once
// The program's contact points with the desktop. Windows and procedures receive
// the ones they use at construction, so tests can substitute fakes for each.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace spinlog {

enum class Icon { Critical, Exclamation, Question, Information };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

struct SaveFileRequest {
    QString title;
    QString initialName;
    QStringList filters;     // e.g. "CSVファイル(*.csv)", "すべてのファイル(*.*)"
    int selectedFilter = 0;  // 0-based
    QString defaultSuffix;   // appended when the user types a name without one
    bool confirmOverwrite = true;
};

// Message boxes and the two standard dialogs. Every box carries the caption
// "Spinlog"; the implementation supplies it.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual Answer message(const QString &text, Icon icon, Buttons buttons,
                           Answer defaultButton = Answer::Ok) = 0;
    // A colour as 0x00BBGGRR, or nothing when the user cancels.
    virtual std::optional<std::uint32_t> pickColor() = 0;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> saveFile(const SaveFileRequest &request) = 0;
    // A line the user writes (a comment), starting from `text`; nothing when
    // the user cancels.
    virtual std::optional<QString> inputText(const QString &title, const QString &label,
                                             const QString &text) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic reading in nanoseconds; only differences mean anything.
    virtual std::int64_t monotonicNs() const = 0;
    // Local wall-clock time, for stamps such as a saved series' DateTime.
    virtual QDateTime localNow() const = 0;
};

class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing the file and returns at once; replaces a sound still playing.
    virtual void play(const QString &path) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with its associated program. Returns a code in the manner of
    // the Windows shell: 32 or more is success, 2 file not found, 31 no
    // associated program.
    virtual int openFile(const QString &path) = 0;
    // Opens a web address or a folder; false when nothing could be started.
    virtual bool openUrl(const QString &address) = 0;
    virtual bool openFolder(const QString &path) = 0;
};

class App {
public:
    virtual ~App() = default;
    // The folder holding the program: every file the program uses lies there.
    virtual QString folder() const = 0;
    // True when no other copy of this program runs from the same folder; the
    // claim is held until the program ends.
    virtual bool claimSingleInstance() = 0;
    // Ends the whole program at once, without unwinding any window.
    virtual void endNow() = 0;
};

}  // namespace spinlog
