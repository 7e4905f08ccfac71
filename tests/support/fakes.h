#pragma once
// Test fakes for every seam: they record what the program asked for and
// answer from a script.

#include "app/program.h"  // and the seams

#include <QFileInfo>
#include <deque>
#include <functional>
#include <vector>

namespace spinlog::test {

struct ShownBox {
    QString text;
    Icon icon;
    Buttons buttons;
    Answer defaultButton;
};

class FakePrompts : public Prompts {
public:
    Answer message(const QString &text, Icon icon, Buttons buttons, Answer defaultButton) override;
    std::optional<std::uint32_t> pickColor() override;
    std::optional<QString> saveFile(const SaveFileRequest &request) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &text) override;

    // Answers for Yes/No boxes, taken in order; Yes when the script runs out.
    std::deque<Answer> answers;
    std::deque<std::optional<std::uint32_t>> colors;  // nothing = cancel; cancel when none left
    std::deque<QString> saveFiles;                    // an empty name = cancel
    std::deque<std::optional<QString>> inputs;        // nothing = cancel; cancel when none left
    QStringList inputShown;  // each input's title, label and the text it started from
    std::function<void(const ShownBox &)> onMessage;  // called while a box is shown

    std::vector<ShownBox> boxes;
    std::vector<SaveFileRequest> saveRequests;

    QStringList texts() const;
};

class FakeClock : public Clock {
public:
    std::int64_t monotonicNs() const override { return ns; }
    QDateTime localNow() const override { return now; }
    void advanceMs(std::int64_t ms) { ns += ms * 1'000'000; }

    std::int64_t ns = 1'000'000'000;
    QDateTime now = QDateTime(QDate(2007, 5, 1), QTime(21, 3, 9));
};

class FakeSound : public Sound {
public:
    void play(const QString &path) override { played.push_back(path); }
    QStringList played;
};

class FakeShell : public Shell {
public:
    int openFile(const QString &f) override { return QFileInfo::exists(f) ? openFileResult : 2; }
    bool openUrl(const QString &) override { return !fail; }
    bool openFolder(const QString &path) override
    {
        folders << path;
        return !fail;
    }

    int openFileResult = 42;  // an existing file's; a missing one gives 2
    bool fail = false;        // openUrl and openFolder fail
    QStringList folders;
};

class FakeApp : public App {
public:
    explicit FakeApp(QString folder) : dir(std::move(folder)) {}
    QString folder() const override { return dir; }
    bool claimSingleInstance() override { return true; }
    void endNow() override { ++ended; }
    QString dir;
    int ended = 0;
};

// A Program over fakes in the given folder; the database is not opened.
struct FakeWorld {
    explicit FakeWorld(const QString &dir) : app(dir), program({prompts, clock, sound, shell, app})
    {
    }
    FakePrompts prompts;
    FakeClock clock;
    FakeSound sound;
    FakeShell shell;
    FakeApp app;
    Program program;
};

}  // namespace spinlog::test
