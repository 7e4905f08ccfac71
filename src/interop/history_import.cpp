#include "interop/history_import.h"

#include "base/errors.h"
#include "base/shown_text.h"
#include "base/type_names.h"
#include "data/puzzle_type_store.h"
#include "session/series_rules.h"

#include <algorithm>

namespace spinlog {

std::vector<PuzzleType> importTypes(const PuzzleTypeStore &types)
{
    std::vector<PuzzleType> timeable = types.all();
    std::erase_if(timeable, [](const PuzzleType &type) { return !type.timeable(); });
    return timeable;
}

QString importMark(const QDateTime &now)
{
    return now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss.zzz"));
}

QString dateTimeText(std::uint32_t unixSeconds)
{
    return QDateTime::fromSecsSinceEpoch(unixSeconds)
        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

std::optional<std::int64_t> unixSecondsOf(const QString &dateTime)
{
    const QDateTime date = QDateTime::fromString(dateTime, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!date.isValid())
        return std::nullopt;
    return date.toSecsSinceEpoch();
}

HistoryImport::HistoryImport(HistoryFile file, std::vector<PuzzleType> types)
    : format_(file.format),
      sessions_(std::move(file.sessions)),
      types_(std::move(types)),
      existing_(int(types_.size()))
{
    for (ImportedSession &session : sessions_) {
        const auto earlier = [](const ImportedSolve &a, const ImportedSolve &b) {
            return a.when() < b.when();
        };
        // A timer's own export is in time order already: no sort, no buffer.
        if (!std::is_sorted(session.solves.begin(), session.solves.end(), earlier))
            std::stable_sort(session.solves.begin(), session.solves.end(), earlier);
        SessionPlan plan;
        plan.name = session.name;
        plan.solves = int(session.solves.size());
        for (const ImportedSolve &solve : session.solves) {
            const Penalty penalty = solve.attempt().penalty;
            plan.plusTwo += penalty == Penalty::PlusTwo;
            plan.dnf += penalty == Penalty::Dnf;
        }
        plans_.push_back(plan);
    }
    for (std::size_t s = 0; s < plans_.size(); ++s) choose(int(s), typeNamed(plans_[s].name));
}

int HistoryImport::typeNamed(const QString &name) const
{
    QStringList names;
    for (int t = 0; t < existing_; ++t) names << types_[std::size_t(t)].name;
    // A name two types have is the user's to choose.
    const std::vector<int> named = positionsNamed(name, names);
    return named.size() == 1 ? named.front() : -1;
}

bool HistoryImport::nameTaken(const QString &name) const
{
    QStringList names;
    for (int t = 0; t < existing_; ++t) names << types_[std::size_t(t)].name;
    return !positionsNamed(name, names).empty();
}

int HistoryImport::typeIndex(const TypeId &id) const
{
    for (std::size_t t = 0; t < std::size_t(existing_); ++t)
        if (types_[t].id == id)
            return int(t);
    return -1;
}

const PuzzleType *HistoryImport::sessionType(int session) const
{
    const int type = plans_.at(std::size_t(session)).type;
    return type >= 0 ? &types_[std::size_t(type)] : nullptr;
}

void HistoryImport::choose(int session, int type)
{
    plans_.at(std::size_t(session)).type = type >= 0 && type < int(types_.size()) ? type : -1;
    plan(session);
}

void HistoryImport::chooseNew(int session, int length)
{
    if (length < 1 || length > 12)
        throw SpinlogError(describe::invalidArgument());
    const QString name = plans_.at(std::size_t(session)).name.trimmed();
    int type = existing_;
    while (type < int(types_.size()) &&
           types_[std::size_t(type)].name.compare(name, Qt::CaseInsensitive) != 0)
        ++type;
    const AverageRule rule =
        length >= 3 ? AverageRule::LeaveOutBestWorst : AverageRule::CountBestWorst;
    // Named as the first session of the name; the others change its length.
    const QString named = type == int(types_.size()) ? name : types_[std::size_t(type)].name;
    const PuzzleType made =
        puzzleTypeOf(QString(), named, QString::number(length), typeBWText(rule), true);
    if (type == int(types_.size()))
        types_.push_back(made);
    else
        types_[std::size_t(type)] = made;
    plans_[std::size_t(session)].type = type;
    // Every session of the type follows its length.
    for (std::size_t s = 0; s < plans_.size(); ++s)
        if (plans_[s].type == type)
            plan(int(s));
}

bool HistoryImport::made(int type) const
{
    return isNew(type) && std::any_of(plans_.begin(), plans_.end(), [type](const SessionPlan &p) {
               return p.type == type && p.series > 0;
           });
}

std::vector<PuzzleType> HistoryImport::madeTypes() const
{
    std::vector<PuzzleType> types;
    for (int t = existing_; t < int(types_.size()); ++t)
        if (made(t))
            types.push_back(types_[std::size_t(t)]);
    return types;
}

void HistoryImport::numberMadeTypes(const TypeId &first)
{
    int next = typeNumber(first).value_or(0);
    for (int t = existing_; t < int(types_.size()); ++t)
        types_[std::size_t(t)].id = made(t) ? TypeId(QString::number(next++)) : TypeId();
}

void HistoryImport::plan(int session)
{
    SessionPlan &plan = plans_.at(std::size_t(session));
    plan.duplicates = 0;
    plan.leftOver.clear();
    if (plan.type < 0) {
        plan.series = 0;
        return;
    }
    const int length = types_[std::size_t(plan.type)].length();
    plan.series = plan.solves / length;
    const std::vector<ImportedSolve> &solves = sessions_[std::size_t(session)].solves;
    plan.leftOver.assign(solves.begin() + std::ptrdiff_t(plan.series) * length, solves.end());
}

int HistoryImport::seriesCount() const
{
    int count = 0;
    for (const SessionPlan &plan : plans_) count += plan.series;
    return count;
}

int HistoryImport::leftOverCount() const
{
    int count = 0;
    // A session left out is left out with every solve.
    for (const SessionPlan &plan : plans_)
        count += plan.type < 0 ? plan.solves : int(plan.leftOver.size());
    return count;
}

SeriesRecord HistoryImport::seriesOf(int session, int index) const
{
    const SessionPlan &plan = plans_[std::size_t(session)];
    const PuzzleType &type = types_[std::size_t(plan.type)];
    const std::vector<ImportedSolve> &solves = sessions_[std::size_t(session)].solves;
    const std::size_t length = std::size_t(type.length());
    std::vector<Attempt> attempts;
    attempts.reserve(length);
    const std::size_t first = std::size_t(index) * length;
    for (std::size_t k = first; k < first + length; ++k) attempts.push_back(solves[k].attempt());
    // The series is dated by its last solve, as a timed one by its save; its
    // rules are the session's.
    return seriesOfAttempts(dateTimeText(solves[first + length - 1].when()), type.id, attempts,
                            type.average);
}

void HistoryImport::countDuplicates(const HistoryWriter &history)
{
    for (std::size_t s = 0; s < plans_.size(); ++s) countDuplicates(history, int(s));
}

void HistoryImport::countDuplicates(const HistoryWriter &history, int session)
{
    SessionPlan &plan = plans_.at(std::size_t(session));
    plan.duplicates = 0;
    // A new type holds no series yet.
    if (isNew(plan.type))
        return;
    for (int k = 0; k < plan.series; ++k) plan.duplicates += history.isSaved(seriesOf(session, k));
}

std::optional<ImportTally> HistoryImport::run(
    HistoryWriter &history, const QString &importId,
    const std::function<bool(int done, int total)> &progress,
    const std::function<void()> &together) const
{
    // Saved in time order across the sessions, as a stopwatch would have
    // saved them: (last solve's time, session, series).
    struct Place {
        std::uint32_t when;
        int session;
        int index;
    };
    std::vector<Place> order;
    order.reserve(std::size_t(seriesCount()));
    for (std::size_t s = 0; s < plans_.size(); ++s) {
        if (plans_[s].type < 0)
            continue;
        const int length = types_[std::size_t(plans_[s].type)].length();
        for (int k = 0; k < plans_[s].series; ++k)
            order.push_back(
                {sessions_[s].solves[std::size_t((k + 1) * length - 1)].when(), int(s), k});
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Place &a, const Place &b) { return a.when < b.when; });
    const int total = int(order.size());
    return history.importSeries(
        total,
        [&](int k) { return seriesOf(order[std::size_t(k)].session, order[std::size_t(k)].index); },
        importId, [&](int done) { return !progress || progress(done, total); }, together);
}

namespace {

QString typeText(const HistoryImport &import, int type)
{
    if (type < 0)
        return Text::tr("（取り込まない）");
    const PuzzleType &to = import.types()[std::size_t(type)];
    if (import.isNew(type))
        return Text::tr("新しいタイプ「%1」（%2回）").arg(to.name).arg(to.length());
    return to.name;
}

QString formatLine(const HistoryImport &import)
{
    return Text::tr("%1 の記録: %2 セッション\n")
        .arg(formatName(import.format()))
        .arg(import.sessions().size());
}

// The sessions without solves (csTimer's files carry many), in one line.
QString emptyLine(const HistoryImport &import)
{
    const auto empty = std::count_if(import.sessions().begin(), import.sessions().end(),
                                     [](const SessionPlan &plan) { return plan.solves == 0; });
    return empty == 0 ? QString()
                      : Text::tr("回のないセッション %1 個は取り込みません\n").arg(empty);
}

QString totalsLine(const HistoryImport &import)
{
    int duplicates = 0;
    for (const SessionPlan &plan : import.sessions()) duplicates += plan.duplicates;
    return Text::tr("作る記録 %1 件（うち重複 %2 件は追加しません）、取り込まない回 %3 回\n")
        .arg(import.seriesCount())
        .arg(duplicates)
        .arg(import.leftOverCount());
}

}  // namespace

QString importSummary(const HistoryImport &import)
{
    QString text = formatLine(import);
    for (const SessionPlan &plan : import.sessions()) {
        if (plan.solves == 0)
            continue;
        const QString type = typeText(import, plan.type);
        text += Text::tr(
                    "「%1」→ %2: %3 回（+2 %4、DNF %5）、%6 件の記録、重複 %7 件、"
                    "残り %8 回\n")
                    .arg(plan.name, type)
                    .arg(plan.solves)
                    .arg(plan.plusTwo)
                    .arg(plan.dnf)
                    .arg(plan.series)
                    .arg(plan.duplicates)
                    .arg(plan.leftOver.size());
        for (const ImportedSolve &solve : plan.leftOver)
            text += Text::tr("    取り込まない回: %1 %2\n")
                        .arg(dateTimeText(solve.when()), solve.attempt().text());
    }
    return text + emptyLine(import) + totalsLine(import);
}

QString importTotals(const HistoryImport &import, int listed)
{
    QString text = formatLine(import) + emptyLine(import);
    int shown = 0, more = 0;
    for (const SessionPlan &plan : import.sessions()) {
        for (const ImportedSolve &solve : plan.leftOver) {
            if (shown++ < listed)
                text += Text::tr("「%1」の取り込まない回: %2 %3\n")
                            .arg(plan.name, dateTimeText(solve.when()), solve.attempt().text());
            else
                ++more;
        }
    }
    if (more > 0)
        text += Text::tr("ほかに取り込まない回 %1 回\n").arg(more);
    return text + totalsLine(import);
}

}  // namespace spinlog
