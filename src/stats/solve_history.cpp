#include "stats/solve_history.h"

#include "base/local_calendar.h"
#include "data/history_order.h"
#include "data/type_solves.h"

#include <QDateTime>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace spinlog {

namespace {

// What a solve text of the series under way counts as: nothing for "-" (no
// solve in the slot) or a text that is no solve.
std::optional<SolveValue> solveValue(QByteArrayView text, bool &unreadable)
{
    unreadable = false;
    if (text.size() == 1 && text.front() == '-')
        return std::nullopt;
    const std::optional<Counted> counted =
        countedFromUtf8(std::string_view(text.data(), std::size_t(text.size())));
    if (!counted) {
        unreadable = true;
        return std::nullopt;
    }
    return SolveValue(counted->hundredths);
}

// Solves handed to a second thread in batches, for the figures to take them
// there while the history is still being read: the two cost about the same.
// The figures are the thread's until the feeder is finished or destroyed.
class FigureFeeder {
public:
    explicit FigureFeeder(FigureAccumulator &figures) : worker_([this, &figures] { work(figures); })
    {
    }
    ~FigureFeeder() { finish(); }
    FigureFeeder(const FigureFeeder &) = delete;
    FigureFeeder &operator=(const FigureFeeder &) = delete;

    void add(std::span<const SolveValue> solves, std::int64_t first, int day)
    {
        batch_.values.insert(batch_.values.end(), solves.begin(), solves.end());
        batch_.runs.push_back({solves.size(), first, day});
        if (batch_.values.size() >= kBatchSolves)
            handOver();
    }
    void finish()
    {
        if (!worker_.joinable())
            return;
        handOver();
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        ready_.notify_one();
        worker_.join();
    }

private:
    static constexpr std::size_t kBatchSolves = 16384;
    struct Run {
        std::size_t solves;
        std::int64_t first;
        int day;
    };
    struct Batch {
        std::vector<SolveValue> values;
        std::vector<Run> runs;
    };

    void handOver()
    {
        if (batch_.runs.empty())
            return;
        {
            const std::lock_guard lock(mutex_);
            batches_.push_back(std::exchange(batch_, {}));
        }
        ready_.notify_one();
    }
    void work(FigureAccumulator &figures)
    {
        std::vector<SolveRun> runs;
        for (;;) {
            Batch batch;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return done_ || !batches_.empty(); });
                if (batches_.empty())
                    return;
                batch = std::move(batches_.front());
                batches_.pop_front();
            }
            runs.clear();
            std::size_t at = 0;
            for (const Run &run : batch.runs) {
                runs.push_back(
                    {std::span(batch.values).subspan(at, run.solves), run.first, run.day});
                at += run.solves;
            }
            figures.add(runs);
        }
    }

    Batch batch_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Batch> batches_;
    bool done_ = false;
    std::thread worker_;  // last: it starts once the rest is there
};

// Consecutive solves of one day that the figures take, gathered into runs.
class RunBuilder {
public:
    template <typename Take>
    void next(std::size_t place, bool counts, int day, const Take &take)
    {
        if (open_ && (!counts || day != day_)) {
            take(start_, place, day_);
            open_ = false;
        }
        if (counts && !open_) {
            open_ = true;
            start_ = place;
            day_ = day;
        }
    }
    template <typename Take>
    void close(std::size_t end, const Take &take)
    {
        if (open_)
            take(start_, end, day_);
        open_ = false;
    }

private:
    bool open_ = false;
    std::size_t start_ = 0;
    int day_ = 0;
};

bool lists(const std::vector<QByteArray> &listed, QByteArrayView typeId)
{
    return !typeId.isNull() && std::find(listed.begin(), listed.end(), typeId) != listed.end();
}

std::vector<QByteArray> bytesOf(const std::vector<TypeId> &ids)
{
    std::vector<QByteArray> bytes;
    for (const TypeId &id : ids) bytes.push_back(id.text().toUtf8());
    return bytes;
}

int dayOf(LocalCalendar &calendar, std::int64_t moment)
{
    return moment == kUndated ? 0 : calendar.dayOf(moment);
}

}  // namespace

SolveHistory::SolveHistory(std::vector<TypeId> listed) : listed_(std::move(listed)) {}

void SolveHistory::setListed(std::vector<TypeId> listed)
{
    listed_ = std::move(listed);
    const std::vector<QByteArray> bytes = bytesOf(listed_);
    for (std::size_t t = 0; t < typeIds_.size(); ++t)
        typeListed_[t] = !typeIdNull_[t] && lists(bytes, typeIds_[t]);
}

std::uint16_t SolveHistory::typeIndex(QByteArrayView typeId)
{
    for (std::size_t t = 0; t < typeIds_.size(); ++t)
        if (typeIdNull_[t] == typeId.isNull() && typeIds_[t] == typeId)
            return std::uint16_t(t);
    typeIds_.push_back(typeId.toByteArray());
    typeIdNull_.push_back(typeId.isNull());
    typeListed_.push_back(lists(bytesOf(listed_), typeId));
    return std::uint16_t(typeIds_.size() - 1);
}

void SolveHistory::take(const CountedSolve &solve)
{
    if (!solve.counted) {
        ++unreadable_;
        return;
    }
    // The type of the solve before is mostly this one's.
    const std::uint16_t type = !types_.empty() &&
                                       typeIdNull_[types_.back()] == solve.typeId.isNull() &&
                                       typeIds_[types_.back()] == solve.typeId
                                   ? types_.back()
                                   : typeIndex(solve.typeId);
    values_.push_back(SolveValue(solve.counted->hundredths));
    moments_.push_back(solve.moment);
    series_.push_back(solve.series);
    places_.push_back(std::uint8_t(solve.place));
    types_.push_back(type);
}

int SolveHistory::typeOf(const TypeFilter &filter) const
{
    if (filter.all())
        return -1;
    const QByteArray wanted = filter.type().text().toUtf8();
    for (std::size_t t = 0; t < typeIds_.size(); ++t)
        if (!typeIdNull_[t] && typeIds_[t] == wanted)
            return int(t);
    return -2;  // no solve of it
}

bool SolveHistory::counts(std::uint16_t type, int wanted) const
{
    return wanted == -1 ? bool(typeListed_[type]) : int(type) == wanted;
}

void SolveHistory::readAll(const HistorySolves &history, FigureAccumulator &figures,
                           const TypeFilter &filter)
{
    *this = SolveHistory(std::move(listed_));
    figures = FigureAccumulator();
    // Room made once: growing blocks of megabytes step by step costs more
    // than the reading.
    const auto about = std::size_t(std::clamp<std::int64_t>(history.solvesAbout(), 0, 1 << 26));
    values_.reserve(about);
    moments_.reserve(about);
    series_.reserve(about);
    places_.reserve(about);
    types_.reserve(about);
    const QByteArray wanted = filter.all() ? QByteArray() : filter.type().text().toUtf8();
    // Solves mostly come in the history's order already; they go to the
    // figures as they come while they do.
    bool inOrder = true;
    LocalCalendar calendar;
    RunBuilder runs;
    FigureFeeder feeder(figures);
    const auto hand = [&](std::size_t from, std::size_t to, int day) {
        feeder.add(std::span(values_).subspan(from, to - from), std::int64_t(from), day);
    };
    history.all([&](const CountedSolve &solve) {
        const std::size_t i = values_.size();
        take(solve);
        if (!inOrder || values_.size() == i)
            return;
        if (i > 0 && doneBefore(placeAt(i), placeAt(i - 1))) {
            inOrder = false;
            return;
        }
        const std::uint16_t type = types_[i];
        const bool wantedType =
            filter.all() ? bool(typeListed_[type]) : !typeIdNull_[type] && typeIds_[type] == wanted;
        runs.next(i, wantedType, dayOf(calendar, moments_[i]), hand);
    });
    if (inOrder)
        runs.close(values_.size(), hand);
    feeder.finish();
    if (!inOrder) {
        putInOrder();
        figures = FigureAccumulator();
        feed(figures, filter);
    }
    read_ = true;
}

void SolveHistory::follow(const std::vector<HistoryChange> &changes, const HistorySolves &history,
                          FigureAccumulator &figures, const TypeFilter &filter)
{
    bool everything = !read_;
    std::vector<std::int64_t> added;
    for (const HistoryChange &change : changes) {
        if (change.kind == HistoryChange::Kind::Commented)
            continue;
        if (change.kind != HistoryChange::Kind::Added || change.looseSolves)
            everything = true;
        else
            added.insert(added.end(), change.rows.begin(), change.rows.end());
    }
    if (everything) {
        readAll(history, figures, filter);
        return;
    }
    const std::size_t first = values_.size();
    // Until the new solves are counted as well, a failure leaves the next
    // change to read everything again.
    read_ = false;
    history.ofSeries(added, [this](const CountedSolve &solve) { take(solve); });
    for (std::size_t i = std::max<std::size_t>(first, 1); i < values_.size(); ++i) {
        // One done before a solve held (an import of older solves, a clock
        // set back): its place is among them.
        if (doneBefore(placeAt(i), placeAt(i - 1))) {
            readAll(history, figures, filter);
            return;
        }
    }
    feed(figures, filter, first);
    read_ = true;
}

void SolveHistory::putInOrder()
{
    std::vector<std::uint32_t> order(values_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = std::uint32_t(i);
    std::stable_sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) {
        return doneBefore(placeAt(a), placeAt(b));
    });
    const auto arrange = [&order](auto &values) {
        std::remove_reference_t<decltype(values)> arranged;
        arranged.reserve(values.size());
        for (const std::uint32_t i : order) arranged.push_back(values[i]);
        values.swap(arranged);
    };
    arrange(values_);
    arrange(moments_);
    arrange(series_);
    arrange(places_);
    arrange(types_);
}

QString SolveHistory::dateText(std::size_t place) const
{
    const std::int64_t moment = moments_.at(place);
    if (moment == kUndated)
        return QString();
    return QDateTime::fromMSecsSinceEpoch(moment).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

void SolveHistory::feed(FigureAccumulator &figures, const TypeFilter &filter,
                        std::size_t from) const
{
    const int wanted = typeOf(filter);
    if (wanted == -2)
        return;
    std::vector<SolveRun> runs;
    const auto hand = [&](std::size_t begin, std::size_t end, int day) {
        runs.push_back({std::span(values_).subspan(begin, end - begin), std::int64_t(begin), day});
    };
    LocalCalendar calendar;
    RunBuilder builder;
    for (std::size_t i = from; i < values_.size(); ++i)
        builder.next(i, counts(types_[i], wanted), dayOf(calendar, moments_[i]), hand);
    builder.close(values_.size(), hand);
    figures.add(runs);
}

std::vector<SolveValue> underWaySolves(const SeriesUnderWay &series, const TypeFilter &filter)
{
    std::vector<SolveValue> solves;
    if (!filter.includes(series.typeId))
        return solves;
    for (const QString &text : series.times) {
        bool unreadable = false;
        if (const std::optional<SolveValue> value = solveValue(text.toUtf8(), unreadable))
            solves.push_back(*value);
    }
    return solves;
}

}  // namespace spinlog
