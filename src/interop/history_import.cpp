#include "interop/history_import.h"

#include "base/errors.h"
#include "base/shown_text.h"
#include "base/type_names.h"
#include "data/puzzle_type_store.h"
#include "session/series_rules.h"

#include <QRegularExpression>
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

QString dateTimeText(std::int64_t moment)
{
    return QDateTime::fromMSecsSinceEpoch(moment).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

HistoryImport::HistoryImport(HistoryFile file, std::vector<PuzzleType> types)
    : file_(std::move(file)), types_(std::move(types)), existing_(int(types_.size()))
{
    for (ImportedSession &session : file_.sessions) {
        const auto earlier = [](const ImportedSolve &a, const ImportedSolve &b) {
            return a.moment() < b.moment();
        };
        // A timer's own export is in time order already: no sort, no buffer.
        if (!std::is_sorted(session.solves.begin(), session.solves.end(), earlier))
            std::stable_sort(session.solves.begin(), session.solves.end(), earlier);
        SessionPlan plan;
        plan.name = session.name;
        plan.solves = int(session.solves.size());
        for (const ImportedSolve &solve : session.solves) {
            plan.plusTwo += solve.penalty() == Penalty::PlusTwo;
            plan.dnf += solve.penalty() == Penalty::Dnf;
            plan.undated += !solve.dated();
        }
        plans_.push_back(plan);
    }
    kept_.resize(plans_.size());
    for (std::size_t s = 0; s < plans_.size(); ++s) choose(int(s), typeNamed(plans_[s].name));
}

int HistoryImport::typeNamed(const QString &name) const
{
    const std::vector<int> named = positionsNamed(name, existingNames());
    if (!named.empty())
        // A name two types have is the user's to choose.
        return named.size() == 1 ? named.front() : -1;
    // Twisty Timer's puzzle and category come with a space between them
    // ("3x3x3 目隠し"), which the type's name may not have.
    const std::vector<int> bare = positionsNamed(bareName(name), bareNames());
    return bare.size() == 1 ? bare.front() : -1;
}

bool HistoryImport::nameTaken(const QString &name) const
{
    return !positionsNamed(name, existingNames()).empty() ||
           !positionsNamed(bareName(name), bareNames()).empty();
}

QStringList HistoryImport::existingNames() const
{
    QStringList names;
    for (int t = 0; t < existing_; ++t) names << types_[std::size_t(t)].name;
    return names;
}

QString HistoryImport::bareName(QString name)
{
    return name.remove(QRegularExpression(QStringLiteral("\\s")));
}

QStringList HistoryImport::bareNames() const
{
    QStringList names = existingNames();
    for (QString &name : names) name = bareName(name);
    return names;
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
               return p.type == type && (p.series > 0 || p.loose > 0);
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
    Kept &kept = kept_[std::size_t(session)];
    kept.solves.resize(std::size_t(plan.solves));
    for (std::size_t k = 0; k < kept.solves.size(); ++k) kept.solves[k] = std::uint32_t(k);
    kept.heldSeries.clear();
    replan(session);
}

void HistoryImport::replan(int session)
{
    SessionPlan &plan = plans_[std::size_t(session)];
    Kept &kept = kept_[std::size_t(session)];
    if (plan.type < 0) {
        plan.series = plan.loose = 0;
        return;
    }
    const int length = types_[std::size_t(plan.type)].length();
    const int formed = int(kept.solves.size()) / length;
    kept.heldSeries.resize(std::size_t(formed), false);
    plan.series = formed - int(std::count(kept.heldSeries.begin(), kept.heldSeries.end(), true));
    plan.loose = int(kept.solves.size()) - formed * length;
}

int HistoryImport::seriesCount() const
{
    int count = 0;
    for (const SessionPlan &plan : plans_) count += plan.series;
    return count;
}

int HistoryImport::looseCount() const
{
    int count = 0;
    for (const SessionPlan &plan : plans_) count += plan.loose;
    return count;
}

int HistoryImport::leftOutCount() const
{
    int count = 0;
    for (const SessionPlan &plan : plans_) count += plan.type < 0 ? plan.solves : 0;
    return count;
}

int HistoryImport::duplicateCount() const
{
    int count = 0;
    for (const SessionPlan &plan : plans_) count += plan.duplicates;
    return count;
}

std::vector<ImportedSolve> HistoryImport::looseSolves(int session) const
{
    std::vector<ImportedSolve> solves;
    const SessionPlan &plan = plans_.at(std::size_t(session));
    const int kept = int(kept_[std::size_t(session)].solves.size());
    for (int k = kept - plan.loose; k < kept; ++k) solves.push_back(keptSolve(session, k));
    return solves;
}

const ImportedSolve &HistoryImport::keptSolve(int session, int k) const
{
    return file_.sessions[std::size_t(session)]
        .solves[kept_[std::size_t(session)].solves.at(std::size_t(k))];
}

SolveDetails HistoryImport::detailsOf(int session, std::uint32_t solve) const
{
    const ImportedSession &s = file_.sessions[std::size_t(session)];
    return solveDetails(file_, s, s.solves[solve]);
}

SeriesRecord HistoryImport::seriesOf(int session, int index, bool details) const
{
    const PuzzleType &type = types_[std::size_t(plans_[std::size_t(session)].type)];
    const std::vector<std::uint32_t> &kept = kept_[std::size_t(session)].solves;
    const std::size_t length = std::size_t(type.length());
    const std::size_t first = std::size_t(index) * length;
    std::vector<Attempt> attempts;
    attempts.reserve(length);
    for (std::size_t k = first; k < first + length; ++k)
        attempts.push_back(keptSolve(session, int(k)).attempt());
    // The series is dated by its last solve, as a timed one by its save; its
    // rules are the session's.
    SeriesRecord r = seriesOfAttempts(
        calendar_.dateTimeText(keptSolve(session, int(first + length - 1)).moment()), type.id,
        attempts, type.average);
    if (details)
        for (std::size_t k = 0; k < length; ++k) r.details[k] = detailsOf(session, kept[first + k]);
    return r;
}

LooseSolve HistoryImport::looseOf(int session, int k) const
{
    const PuzzleType &type = types_[std::size_t(plans_[std::size_t(session)].type)];
    return {type.id, keptSolve(session, k).attempt(),
            detailsOf(session, kept_[std::size_t(session)].solves[std::size_t(k)])};
}

void HistoryImport::countDuplicates(const HistoryWriter &history)
{
    for (std::size_t s = 0; s < plans_.size(); ++s) countDuplicates(history, int(s));
}

void HistoryImport::countDuplicates(const HistoryWriter &history, int session)
{
    choose(session, plans_.at(std::size_t(session)).type);
    SessionPlan &plan = plans_[std::size_t(session)];
    const std::vector<ImportedSolve> &solves = file_.sessions[std::size_t(session)].solves;
    // A new type holds no solves yet.
    if (plan.type < 0 || solves.empty() || isNew(plan.type))
        return;
    const TypeId &type = types_[std::size_t(plan.type)].id;
    Kept &kept = kept_[std::size_t(session)];
    // A file of whole seconds finds a solve stored to the ms within its second.
    const bool seconds = file_.format != HistoryFormat::TwistyTimer;
    const std::vector<SolveKey> stored =
        history.solvesBetween(type, solves.front().moment(), solves.back().moment() + 999);
    kept.solves.clear();
    for (std::uint32_t i = 0; i < solves.size(); ++i) {
        const ImportedSolve &solve = solves[i];
        const std::int64_t to = solve.moment() + (seconds && solve.dated() ? 999 : 0);
        auto at = std::lower_bound(
            stored.begin(), stored.end(), solve.moment(),
            [](const SolveKey &key, std::int64_t moment) { return key.moment < moment; });
        bool held = false;
        for (; at != stored.end() && at->moment <= to && !held; ++at)
            held = at->ms == solve.ms() && at->penalty == solve.penalty();
        if (held)
            ++plan.duplicates;
        else
            kept.solves.push_back(i);
    }
    replan(session);
    // An older copy's series have no solves to find: the series itself.
    if (!history.holdsSeriesWithoutSolves())
        return;
    const int length = types_[std::size_t(plan.type)].length();
    for (std::size_t k = 0; k < kept.heldSeries.size(); ++k) {
        if (history.isSaved(seriesOf(session, int(k), false))) {
            kept.heldSeries[k] = true;
            plan.duplicates += length;
        }
    }
    replan(session);
}

std::optional<ImportTally> HistoryImport::run(
    HistoryWriter &history, const QString &importId,
    const std::function<bool(int done, int total)> &progress,
    const std::function<void()> &together) const
{
    // Saved in time order across the sessions, as a stopwatch would have
    // saved them: (last solve's moment, session, series).
    struct Place {
        std::int64_t moment;
        int session;
        int index;
    };
    std::vector<Place> order;
    std::vector<std::pair<int, int>> loose;  // session, kept solve
    order.reserve(std::size_t(seriesCount()));
    for (std::size_t s = 0; s < plans_.size(); ++s) {
        if (plans_[s].type < 0)
            continue;
        const int length = types_[std::size_t(plans_[s].type)].length();
        const Kept &kept = kept_[s];
        for (int k = 0; k < int(kept.heldSeries.size()); ++k)
            if (!kept.heldSeries[std::size_t(k)])
                order.push_back({keptSolve(int(s), (k + 1) * length - 1).moment(), int(s), k});
        for (int k = int(kept.heldSeries.size()) * length; k < int(kept.solves.size()); ++k)
            loose.emplace_back(int(s), k);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Place &a, const Place &b) { return a.moment < b.moment; });
    ImportBatch batch;
    batch.series = int(order.size());
    batch.seriesAt = [&](int i) {
        return seriesOf(order[std::size_t(i)].session, order[std::size_t(i)].index, true);
    };
    batch.loose = int(loose.size());
    batch.looseAt = [&](int i) {
        return looseOf(loose[std::size_t(i)].first, loose[std::size_t(i)].second);
    };
    batch.duplicates = duplicateCount();
    const int total = batch.series + batch.loose;
    return history.importHistory(
        batch, importId,
        [&](int done) {
            // Every record read: the file's pages may go back to the system.
            if (done == total)
                file_.releasePages();
            return !progress || progress(done, total);
        },
        together);
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
    int undated = 0;
    for (const SessionPlan &plan : import.sessions()) undated += plan.undated;
    QString text = Text::tr(
                       "作る記録 %1 件、記録に入らない回 %2 回（重複 %3 回は追加しません）、"
                       "取り込まない回 %4 回\n")
                       .arg(import.seriesCount())
                       .arg(import.looseCount())
                       .arg(import.duplicateCount())
                       .arg(import.leftOutCount());
    if (undated > 0)
        text += Text::tr("日時のない回 %1 回はファイルの日時で記録します\n").arg(undated);
    return text;
}

}  // namespace

QString importSummary(const HistoryImport &import)
{
    QString text = formatLine(import);
    for (std::size_t s = 0; s < import.sessions().size(); ++s) {
        const SessionPlan &plan = import.sessions()[s];
        if (plan.solves == 0)
            continue;
        const QString type = typeText(import, plan.type);
        text += Text::tr(
                    "「%1」→ %2: %3 回（+2 %4、DNF %5）、%6 件の記録、重複 %7 回、"
                    "記録に入らない回 %8 回\n")
                    .arg(plan.name, type)
                    .arg(plan.solves)
                    .arg(plan.plusTwo)
                    .arg(plan.dnf)
                    .arg(plan.series)
                    .arg(plan.duplicates)
                    .arg(plan.loose);
        for (const ImportedSolve &solve : import.looseSolves(int(s)))
            text += Text::tr("    記録に入らない回: %1 %2\n")
                        .arg(dateTimeText(solve.moment()), solve.attempt().text());
    }
    return text + emptyLine(import) + totalsLine(import);
}

QString importTotals(const HistoryImport &import, int listed)
{
    QString text = formatLine(import) + emptyLine(import);
    int shown = 0, more = 0;
    for (std::size_t s = 0; s < import.sessions().size(); ++s) {
        for (const ImportedSolve &solve : import.looseSolves(int(s))) {
            if (shown++ < listed)
                text += Text::tr("「%1」の記録に入らない回: %2 %3\n")
                            .arg(import.sessions()[s].name, dateTimeText(solve.moment()),
                                 solve.attempt().text());
            else
                ++more;
        }
    }
    if (more > 0)
        text += Text::tr("ほかに記録に入らない回 %1 回\n").arg(more);
    return text + totalsLine(import);
}

}  // namespace spinlog
