#pragma once
// An import of another timer's history, from the file read to the solves
// added: each session goes to a puzzle type (the one of its name, or one
// chosen); a solve the history holds already (same type, moment, raw time
// and penalty) is left out; the rest, in time order, become series of the
// type's length, and the solves after the last series are kept without one.
// Everything is added in one transaction, marked so the import can be taken
// back whole; every solve keeps its moment, scramble, comment and phases.

#include "base/local_calendar.h"
#include "base/shown_text.h"
#include "data/history_writer.h"
#include "interop/history_file.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

namespace spinlog {

class PuzzleTypeStore;

// The types of MT_Type an import can fill (those that can be timed), in
// TypeID order.
std::vector<PuzzleType> importTypes(const PuzzleTypeStore &types);

// What the preview shows of one session of the file.
struct SessionPlan {
    QString name;
    int solves = 0;
    int plusTwo = 0;
    int dnf = 0;
    int undated = 0;     // solves the file gave no date: dated by the file
    int type = -1;       // into the types; -1: not imported
    int duplicates = 0;  // solves the history holds already
    int series = 0;      // series the other solves make
    int loose = 0;       // the latest solves, filling no series: kept without one
};

// What a session of no type's name may be imported as: a new type.
inline QString newTypeEntry()
{
    return Text::tr("新しいタイプとして取り込む");
}
inline constexpr int kNewTypeLength = 5;  // its series length unless chosen

class HistoryImport {
public:
    // Sorts each session's solves by time (solves of the same moment keep
    // the file's order) and sends each to the type of its name, if any.
    HistoryImport(HistoryFile file, std::vector<PuzzleType> types);

    HistoryFormat format() const { return file_.format; }
    // The types there are, then the new types sessions were sent to.
    const std::vector<PuzzleType> &types() const { return types_; }
    const std::vector<SessionPlan> &sessions() const { return plans_; }

    // Sends a session to a type (-1: leaves it out); its duplicates are
    // counted again by countDuplicates.
    void choose(int session, int type);
    // Sends a session of no type's name to a new type named as it, LENGTH
    // (1 to 12) solves a series, the best and worst left out from 3 on.
    // Sessions of one name (in any case) share one new type, and its length.
    void chooseNew(int session, int length);
    // Whether a type is one the import makes.
    bool isNew(int type) const { return type >= existing_; }
    // The new types some solve goes to, in the order they were chosen.
    std::vector<PuzzleType> madeTypes() const;
    // Numbers them from FIRST on (a number), as they will be stored.
    void numberMadeTypes(const TypeId &first);
    // The one type of a session's name, in any case (white space aside when no
    // name is the same with it), or -1 (none, or two).
    int typeNamed(const QString &name) const;
    // Whether some type there is has the name, in any case.
    bool nameTaken(const QString &name) const;
    // The index of a type in types(), or -1.
    int typeIndex(const TypeId &id) const;
    // The type a session goes to; null when it is left out.
    const PuzzleType *sessionType(int session) const;

    int seriesCount() const;
    // Solves kept without a series, and those of sessions left out.
    int looseCount() const;
    int leftOutCount() const;
    int duplicateCount() const;
    // Finds, session by session (or for one), the solves the history holds
    // already, and the series an older copy's history holds (same type,
    // DateTime and solves), and plans the rest.
    void countDuplicates(const HistoryWriter &history);
    // The same for one session (after choose()).
    void countDuplicates(const HistoryWriter &history, int session);

    // Adds the series in the time order of their last solves, then the solves
    // without a series, in one transaction marked with importId, with
    // together run first in it (the new types stored); nothing on a cancel
    // (progress returned false) or a failure.
    std::optional<ImportTally> run(HistoryWriter &history, const QString &importId,
                                   const std::function<bool(int done, int total)> &progress,
                                   const std::function<void()> &together = {}) const;

    // A session's solves kept without a series.
    std::vector<ImportedSolve> looseSolves(int session) const;

private:
    struct Kept {
        std::vector<std::uint32_t> solves;  // the solves not held already, in order
        std::vector<bool> heldSeries;       // series an older copy's history holds
    };
    // The k-th solve of a session not held already.
    const ImportedSolve &keptSolve(int session, int k) const;
    SeriesRecord seriesOf(int session, int index, bool details) const;
    LooseSolve looseOf(int session, int k) const;
    // The series and the solves without one of what is kept.
    void replan(int session);
    SolveDetails detailsOf(int session, std::uint32_t solve) const;

    QStringList existingNames() const;
    QStringList bareNames() const;
    static QString bareName(QString name);
    void plan(int session);
    bool made(int type) const;  // new, and some solve goes to it

    HistoryFile file_;
    std::vector<PuzzleType> types_;
    int existing_ = 0;  // types_ before the new ones
    std::vector<SessionPlan> plans_;
    std::vector<Kept> kept_;
    mutable LocalCalendar calendar_;  // the series' DateTime texts
};

// The mark of an import made now: its local time to the millisecond, which
// the undo shows. The newest import is the one added last, whatever its mark.
QString importMark(const QDateTime &now);

// A saved series' DateTime for a moment (ms since the epoch), local time.
QString dateTimeText(std::int64_t moment);

// The preview in words, a line for each session with solves, one for the
// sessions without, and the totals (the command line prints it).
QString importSummary(const HistoryImport &import);
// The same without the line of each session, and the solves kept without a
// series (up
// to `listed` of them): what the window shows below its table of sessions.
QString importTotals(const HistoryImport &import, int listed = 100);

}  // namespace spinlog
