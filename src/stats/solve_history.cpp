#include "stats/solve_history.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace spinlog {

namespace {

// What a stored solve text counts as: nothing for "-" (no solve in the
// slot) or a text that is no solve.
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

    void add(std::span<const SolveValue> solves, std::int64_t series, int day)
    {
        batch_.values.insert(batch_.values.end(), solves.begin(), solves.end());
        batch_.runs.push_back({solves.size(), series, day});
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
        std::int64_t series;
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
                    {std::span(batch.values).subspan(at, run.solves), run.series, run.day});
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

// The day of a DateTime text "yyyy/MM/dd ..." as yyyymmdd; 0 when it is none.
int dayOf(QByteArrayView d)
{
    const auto digits = [&d](qsizetype from, qsizetype count) {
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (d[i] < '0' || d[i] > '9')
                return -1;
            value = value * 10 + (d[i] - '0');
        }
        return value;
    };
    if (d.size() < 10 || d[4] != '/' || d[7] != '/' || (d.size() > 10 && d[10] != ' '))
        return 0;
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    return year * 10000 + month * 100 + day;
}

}  // namespace

void SolveHistory::refresh(const HistoryStore &store, FigureAccumulator &figures, TypeFilter filter)
{
    if (read_ && store.rewrites() == rewrites_) {
        const std::size_t first = series_.size();
        // Until the new series are counted as well, a failure leaves the
        // next call to read everything again.
        read_ = false;
        store.solveRows(lastId_, [this](const SolveRow &row) { take(row); });
        feed(figures, filter, first);
        read_ = true;
        return;
    }
    *this = SolveHistory();
    figures = FigureAccumulator();
    rewrites_ = store.rewrites();
    const QByteArray type = QByteArray::number(filter.typeNumber);
    FigureFeeder feeder(figures);
    store.solveRows(0, [&](const SolveRow &row) {
        take(row);
        if (filter.all() ? row.listed : row.typeId == type) {
            const Series &s = series_.back();
            feeder.add(solvesOf(s), std::int64_t(series_.size() - 1), s.day);
        }
    });
    feeder.finish();
    read_ = true;
}

void SolveHistory::take(const SolveRow &row)
{
    Series s;
    lastId_ = std::max(lastId_, row.id);
    s.first = std::uint32_t(solves_.size());
    for (const QByteArrayView text : row.times) {
        bool unreadable = false;
        if (const std::optional<SolveValue> value = solveValue(text, unreadable)) {
            solves_.push_back(*value);
            ++s.count;
        }
        unreadable_ += unreadable;
    }
    const auto type = std::find(typeIds_.begin(), typeIds_.end(), row.typeId);
    s.type = std::uint32_t(type - typeIds_.begin());
    if (type == typeIds_.end())
        typeIds_.push_back(row.typeId.toByteArray());
    s.listed = row.listed;
    s.day = dayOf(row.dateTime);
    s.date = std::uint32_t(dates_.size());
    s.dateSize = std::uint8_t(std::min<qsizetype>(row.dateTime.size(), 255));
    dates_.append(row.dateTime.first(s.dateSize));
    series_.push_back(s);
}

QString SolveHistory::dateText(std::size_t series) const
{
    const Series &s = series_.at(series);
    return QString::fromUtf8(dates_.constData() + s.date, s.dateSize);
}

void SolveHistory::feed(FigureAccumulator &figures, TypeFilter filter, std::size_t from) const
{
    int type = -1;  // nothing matches without such a TypeID
    if (!filter.all()) {
        const auto found =
            std::find(typeIds_.begin(), typeIds_.end(), QByteArray::number(filter.typeNumber));
        if (found == typeIds_.end())
            return;
        type = int(found - typeIds_.begin());
    }
    std::vector<SolveRun> runs;
    for (std::size_t i = from; i < series_.size(); ++i) {
        const Series &s = series_[i];
        if (filter.all() ? s.listed : int(s.type) == type)
            runs.push_back({solvesOf(s), std::int64_t(i), s.day});
    }
    figures.add(runs);
}

std::vector<SolveValue> underWaySolves(const SeriesUnderWay &series, TypeFilter filter)
{
    std::vector<SolveValue> solves;
    if (!filter.all() && series.typeId != QString::number(filter.typeNumber))
        return solves;
    for (const QString &text : series.times) {
        bool unreadable = false;
        if (const std::optional<SolveValue> value = solveValue(text.toUtf8(), unreadable))
            solves.push_back(*value);
    }
    return solves;
}

QString recentAveragesText(const HistoryStore &store, const QString &typeId)
{
    constexpr std::size_t kWanted = kAverageKinds[kAo12].solves;
    std::vector<std::vector<SolveValue>> newestFirst;
    std::size_t solves = 0;
    store.latestSolveRows(typeId, [&](const SolveRow &row) {
        std::vector<SolveValue> &series = newestFirst.emplace_back();
        for (const QByteArrayView text : row.times) {
            bool unreadable = false;
            if (const std::optional<SolveValue> value = solveValue(text, unreadable))
                series.push_back(*value);
        }
        solves += series.size();
        return solves < kWanted;
    });
    FigureAccumulator figures;
    std::for_each(newestFirst.rbegin(), newestFirst.rend(),
                  [&figures](const std::vector<SolveValue> &series) { figures.add(series); });
    const Figures f = figures.figures();
    return QStringLiteral("ao5: %1  ao12: %2")
        .arg(averageText(f.averages[kAo5].current), averageText(f.averages[kAo12].current));
}

}  // namespace spinlog
