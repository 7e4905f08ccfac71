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

// Where a session goes: left out (neither), a type there is, or a new type
// named as the session with newLength (1 to 12) solves a series.
struct SessionTarget {
    std::optional<TypeId> type;
    int newLength = 0;
};

class HistoryImporter {
public:
    // Both must outlive the importer; underWay tells the type of the series
    // under way, whose type an undo keeps.
    HistoryImporter(HistoryWriter &history, PuzzleTypeStore &types,
                    std::function<std::optional<TypeId>()> underWay = {});

    // The file read (see readHistoryFile) and planned: each session sent to
    // the type of its name, or every one to `everySession` (a type that can
    // be timed), the series the history holds already counted.
    HistoryImport plan(const QString &path) const;
    HistoryImport plan(HistoryFile file, const std::optional<TypeId> &everySession = {}) const;
    // Sends a session where the target says and counts its duplicates again.
    void choose(HistoryImport &plan, int session, const SessionTarget &target) const;
    // Sends every session with solves that no type's name takes to a new
    // type of kNewTypeLength.
    void newTypesForTheRest(HistoryImport &plan) const;
    // Adds the plan's series, marked with the moment's mark, and the new
    // types they go to (numbered past every number in use), all in one
    // transaction; nothing on a cancel (progress returned false) or a
    // failure. More than kMostTypes types in all is refused.
    std::optional<ImportTally> run(HistoryImport &plan, const QDateTime &now,
                                   const ImportProgress &progress = {});

    // The newest import still in the history, with the types it made, and
    // taking it back whole: its series, and its types that nothing else uses.
    std::optional<ImportMark> lastImport() const;
    int undo(const ImportMark &mark);

private:
    HistoryWriter &history_;
    PuzzleTypeStore &types_;
    std::function<std::optional<TypeId>()> underWay_;
};

// What an import added, in words: its series and solves without a series,
// the duplicates left out and the solves of sessions left out.
QString importedText(const ImportTally &tally, int leftOut);

}  // namespace spinlog
