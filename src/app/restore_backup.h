#pragma once
// The main window's "バックアップから復元...": the snapshots with their dates
// and series, one chosen and confirmed. The open file is never replaced
// under the running program: the choice is carried out at the exit, once
// the records are closed (see closeAndCompact), so the session, the windows
// and the stores never see their file change, and every step of the restore
// is whole or not done.

#include <QStringList>
#include <functional>
#include <optional>

namespace spinlog {

class Program;

// Shows the rows and gives back the one chosen, or nothing.
using ChooseSnapshot = std::function<std::optional<int>(const QStringList &rows)>;

// True when a restore was chosen and confirmed: the program should end now.
// Refused while a solve is timed, as the exit would be; a snapshot that
// cannot be read cannot be chosen.
bool Sub_RestoreBackup(Program &program, const ChooseSnapshot &choose);

}  // namespace spinlog
