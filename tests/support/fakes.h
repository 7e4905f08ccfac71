#pragma once
// Test fakes for every seam: they record what the program asked for and
// answer from a script.

#include "app/program.h"
#include "app/seams.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>
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

    // Answers for Yes/No boxes, taken in order; Yes when the script runs out.
    std::deque<Answer> answers;
    std::deque<std::optional<std::uint32_t>> colors;  // nothing = cancel
    std::deque<QString> saveFiles;  // an empty name = cancel
    // Called while a box is shown, e.g. to look at the window behind it.
    std::function<void(const ShownBox &)> onMessage;

    std::vector<ShownBox> boxes;
    std::vector<SaveFileRequest> saveRequests;
    int colorRequests = 0;

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
    int openFile(const QString &path) override;
    bool openUrl(const QString &address) override;
    bool openFolder(const QString &path) override;

    int openFileResult = 42;  // the result openFile gives for an existing file
    bool fail = false;        // openUrl / openFolder fail
    QStringList files, urls, folders;
};

class FakeApp : public App {
public:
    explicit FakeApp(QString dir) : dir_(std::move(dir)) {}
    QString folder() const override { return dir_; }
    bool claimSingleInstance() override { return !otherCopyRunning; }
    bool otherCopyRunning = false;
    void endNow() override { ++ended; }
    int ended = 0;

private:
    QString dir_;
};

// A Program over fakes in the given folder; the database is not opened.
struct FakeWorld {
    explicit FakeWorld(const QString &folder);
    FakePrompts prompts;
    FakeClock clock;
    FakeSound sound;
    FakeShell shell;
    FakeApp app;
    Program program;
};

}  // namespace spinlog::test
