#pragma once
// The one import of another timer's history, whichever face asks for it (the
// history window with its preview and progress, the command line with its
// summary): a file read into a plan whose sessions go to the types of their
// names, a session sent to another type, the plan added in one transaction
// under the mark of its moment, and the newest import taken back.

#include "data/history_writer.h"
#include "interop/history_import.h"

#include <QDateTime>
#include <functional>
#include <optional>

namespace spinlog {

class PuzzleTypeStore;

// Called as the series go in; false once the user has cancelled.
using ImportProgress = std::function<bool(int done, int total)>;

class HistoryImporter {
public:
    // Both must outlive the importer.
    HistoryImporter(HistoryWriter &history, const PuzzleTypeStore &types);

    // The file read (see readHistoryFile) and planned: each session sent to
    // the type of its name, or every one to `everySession` (a type that can
    // be timed), the series the history holds already counted.
    HistoryImport plan(const QString &path) const;
    HistoryImport plan(HistoryFile file, const std::optional<TypeId> &everySession = {}) const;
    // Sends a session to a type of the plan's (nothing leaves it out) and
    // counts its duplicates again.
    void choose(HistoryImport &plan, int session, const std::optional<TypeId> &type) const;
    // Adds the plan's series, marked with the moment's mark; nothing on a
    // cancel (progress returned false) or a failure.
    std::optional<ImportTally> run(const HistoryImport &plan, const QDateTime &now,
                                   const ImportProgress &progress = {});

    // The newest import still in the history, and taking it back whole.
    std::optional<ImportMark> lastImport() const;
    int undo(const ImportMark &mark);

private:
    HistoryWriter &history_;
    const PuzzleTypeStore &types_;
};

// What an import added, in words: its series and solves without a series,
// the duplicates left out and the solves of sessions left out.
QString importedText(const ImportTally &tally, int leftOut);

}  // namespace spinlog
