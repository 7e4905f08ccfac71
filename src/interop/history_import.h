#pragma once
// An import of another timer's history into T_Time, from the file read to
// the series added: each session goes to a puzzle type (the one of its name,
// or one chosen), its solves in time order become series of the type's
// length, the solves that fill no last series are left over, and a series
// the history holds already is skipped. Everything is added in one
// transaction, marked so the import can be taken back whole.

#include "data/history_store.h"
#include "interop/history_file.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

namespace spinlog {

class PuzzleTypeStore;

// A type an import can fill: one of 1 to 12 solves a series.
struct ImportType {
    QString id;
    QString name;
    int count = 0;
    bool includeBestWorst = false;  // TypeBW "1": the average includes them
};

// The types of MT_Type that can be timed, in TypeID order.
std::vector<ImportType> importTypes(const PuzzleTypeStore &types);

// Makes a series' record by the series rules (the session's), as the main
// window would save it.
using SeriesMaker =
    std::function<SeriesRecord(const QString &dateTime, const QString &typeId,
                               const std::vector<Attempt> &attempts, bool includeBestWorst)>;

// What the preview shows of one session of the file.
struct SessionPlan {
    QString name;
    int solves = 0;
    int plusTwo = 0;
    int dnf = 0;
    int type = -1;  // into the types; -1: not imported
    int series = 0;
    std::vector<ImportedSolve> leftOver;  // the latest solves, filling no series
    int duplicates = 0;                   // series the history holds already
};

class HistoryImport {
public:
    // Sorts each session's solves by time (solves of the same second keep
    // the file's order) and sends each to the type of its name, if any.
    HistoryImport(HistoryFile file, std::vector<ImportType> types, SeriesMaker maker);

    HistoryFormat format() const { return format_; }
    const std::vector<ImportType> &types() const { return types_; }
    const std::vector<SessionPlan> &sessions() const { return plans_; }

    // Sends a session to a type (-1: leaves it out).
    void choose(int session, int type);
    // The one type of a session's name, in any case, or -1 (none, or two).
    int typeNamed(const QString &name) const;

    int seriesCount() const;
    // The solves not imported: those filling no series, and every solve of a
    // session left out.
    int leftOverCount() const;
    // Counts, session by session, the series the history holds already.
    void countDuplicates(const HistoryStore &history);
    // The same for one session (after choose()).
    void countDuplicates(const HistoryStore &history, int session);

    // Adds the series in one transaction, in the time order of their last
    // solves, marked with importId; nothing on a cancel (progress returned
    // false) or a failure.
    std::optional<ImportTally> run(HistoryStore &history, const QString &importId,
                                   const std::function<bool(int done, int total)> &progress) const;

private:
    SeriesRecord seriesOf(int session, int index) const;

    HistoryFormat format_;
    std::vector<ImportedSession> sessions_;
    std::vector<ImportType> types_;
    SeriesMaker maker_;
    std::vector<SessionPlan> plans_;
};

// The mark of an import made now: its local time to the millisecond, which
// the undo shows. The newest import is the one added last, whatever its mark.
QString importMark(const QDateTime &now);

// A saved series' DateTime for a solve's time, and the reverse (local time).
QString dateTimeText(std::uint32_t unixSeconds);
std::optional<std::int64_t> unixSecondsOf(const QString &dateTime);

// The preview in words, a line for each session with solves, one for the
// sessions without, and the totals (the command line prints it).
QString importSummary(const HistoryImport &import);
// The same without the line of each session, and the solves left out (up
// to `listed` of them): what the window shows below its table of sessions.
QString importTotals(const HistoryImport &import, int listed = 100);

}  // namespace spinlog
