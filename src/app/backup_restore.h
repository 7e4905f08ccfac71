#pragma once
// Going back to a snapshot, chosen from the main window's File menu. The open
// file is never replaced under the running program: the choice is held and
// carried out at the exit, once the records are closed (see closeAndCompact),
// so the session, the windows and the stores never see their file change, and
// every step of the restore is whole or not done.

#include "data/snapshots.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace spinlog {

class Program;

struct RestoreChoice {
    Snapshot snapshot;
    std::optional<int> series;  // its saved series; nothing: it cannot be read
    QString row;                // as the list shows it
};

class BackupRestore {
public:
    explicit BackupRestore(Program &program) : program_(program) {}
    // Refused while a solve is timed, as the exit would be: a choice left
    // standing would be carried out at some later exit, over the series
    // saved meanwhile.
    bool allowed() const;
    // The snapshots, newest first, with their series.
    std::vector<RestoreChoice> choices() const;
    // Holds a choice for the exit; false for one that cannot be read.
    bool hold(const RestoreChoice &choice);
    // An exit refused after all: no later exit carries the choice out.
    void drop();

private:
    Program &program_;
};

// Shows the rows and gives back the one chosen, or nothing.
using ChooseSnapshot = std::function<std::optional<int>(const QStringList &rows)>;

// The menu's questions over BackupRestore: true when a restore was chosen
// and confirmed, and the program should end now.
bool askRestore(Program &program, const ChooseSnapshot &choose);

}  // namespace spinlog
