#pragma once
// An import of another timer's history into T_Time, from the file read to
// the series added: each session goes to a puzzle type (the one of its name,
// or one chosen), its solves in time order become series of the type's
// length, the solves that fill no last series are left over, and a series
// the history holds already is skipped. Everything is added in one
// transaction, marked so the import can be taken back whole.

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
    int type = -1;  // into the types; -1: not imported
    int series = 0;
    std::vector<ImportedSolve> leftOver;  // the latest solves, filling no series
    int duplicates = 0;                   // series the history holds already
};

// What a session of no type's name may be imported as: a new type.
inline QString newTypeEntry()
{
    return Text::tr("新しいタイプとして取り込む");
}
inline constexpr int kNewTypeLength = 5;  // its series length unless chosen

class HistoryImport {
public:
    // Sorts each session's solves by time (solves of the same second keep
    // the file's order) and sends each to the type of its name, if any.
    HistoryImport(HistoryFile file, std::vector<PuzzleType> types);

    HistoryFormat format() const { return format_; }
    // The types there are, then the new types sessions were sent to.
    const std::vector<PuzzleType> &types() const { return types_; }
    const std::vector<SessionPlan> &sessions() const { return plans_; }

    // Sends a session to a type (-1: leaves it out).
    void choose(int session, int type);
    // Sends a session of no type's name to a new type named as it, LENGTH
    // (1 to 12) solves a series, the best and worst left out from 3 on.
    // Sessions of one name (in any case) share one new type, and its length.
    void chooseNew(int session, int length);
    // Whether a type is one the import makes.
    bool isNew(int type) const { return type >= existing_; }
    // The new types some series goes to, in the order they were chosen.
    std::vector<PuzzleType> madeTypes() const;
    // Numbers them from FIRST on (a number), as they will be stored.
    void numberMadeTypes(const TypeId &first);
    // The one type of a session's name, in any case, or -1 (none, or two).
    int typeNamed(const QString &name) const;
    // Whether some type there is has the name, in any case.
    bool nameTaken(const QString &name) const;
    // The index of a type in types(), or -1.
    int typeIndex(const TypeId &id) const;
    // The type a session goes to; null when it is left out.
    const PuzzleType *sessionType(int session) const;

    int seriesCount() const;
    // The solves not imported: those filling no series, and every solve of a
    // session left out.
    int leftOverCount() const;
    // Counts, session by session, the series the history holds already.
    void countDuplicates(const HistoryWriter &history);
    // The same for one session (after choose()).
    void countDuplicates(const HistoryWriter &history, int session);

    // Adds the series in one transaction, in the time order of their last
    // solves, marked with importId, with together run first in it (the new
    // types stored); nothing on a cancel (progress returned false) or a
    // failure.
    std::optional<ImportTally> run(HistoryWriter &history, const QString &importId,
                                   const std::function<bool(int done, int total)> &progress,
                                   const std::function<void()> &together = {}) const;

private:
    SeriesRecord seriesOf(int session, int index) const;

    HistoryFormat format_;
    std::vector<ImportedSession> sessions_;
    void plan(int session);
    bool made(int type) const;  // new, and some series goes to it

    std::vector<PuzzleType> types_;
    int existing_ = 0;  // types_ before the new ones
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
