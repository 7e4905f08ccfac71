#include "stats/solve_history.h"

#include "data/history_order.h"

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

namespace {

bool lists(const std::vector<QByteArray> &listed, QByteArrayView typeId)
{
    return !typeId.isNull() && std::find(listed.begin(), listed.end(), typeId) != listed.end();
}

SeriesPlace placeOfRow(const SolveRow &row)
{
    return {row.dateTime, row.typeId, row.id};
}

}  // namespace

SolveHistory::SolveHistory(std::vector<TypeId> listed) : listed_(std::move(listed)) {}

void SolveHistory::setListed(std::vector<TypeId> listed)
{
    listed_ = std::move(listed);
    std::vector<QByteArray> bytes;
    for (const TypeId &id : listed_) bytes.push_back(id.text().toUtf8());
    for (std::size_t t = 0; t < typeIds_.size(); ++t)
        typeListed_[t] = !typeIdNull_[t] && lists(bytes, typeIds_[t]);
}

void SolveHistory::readAll(const HistorySolves &history, FigureAccumulator &figures,
                           const TypeFilter &filter)
{
    *this = SolveHistory(std::move(listed_));
    figures = FigureAccumulator();
    // Room made once: growing blocks of megabytes step by step costs more
    // than the reading. Most series hold five solves; more grow the room.
    const std::size_t rows = std::size_t(std::clamp<std::int64_t>(history.mostRows(), 0, 1 << 24));
    series_.reserve(rows);
    solves_.reserve(rows * 5);
    dates_.reserve(qsizetype(rows) * 19);
    const QByteArray wanted = filter.all() ? QByteArray() : filter.type().text().toUtf8();
    // Saved series mostly come in the history's order already; the solves go
    // to the figures as they come while they do.
    bool inOrder = true;
    FigureFeeder feeder(figures);
    history.all([&](const SolveRow &row) {
        if (inOrder && !series_.empty() && doneBefore(placeOfRow(row), placeOf(series_.back())))
            inOrder = false;
        take(row);
        const Series &s = series_.back();
        if (inOrder &&
            (filter.all() ? typeListed_[s.type] : !row.typeId.isNull() && row.typeId == wanted))
            feeder.add(solvesOf(s), std::int64_t(series_.size() - 1), s.day);
    });
    feeder.finish();
    if (!inOrder) {
        putInOrder();
        figures = FigureAccumulator();
        feed(figures, filter);
    }
    read_ = true;
}

void SolveHistory::follow(const HistoryChange &change, const HistorySolves &history,
                          FigureAccumulator &figures, const TypeFilter &filter)
{
    if (!read_ || change.kind != HistoryChange::Kind::Added) {
        readAll(history, figures, filter);
        return;
    }
    const std::size_t first = series_.size();
    bool after = true;
    // Until the new series are counted as well, a failure leaves the next
    // change to read everything again.
    read_ = false;
    history.rows(change.rows, [&](const SolveRow &row) {
        if (row.id <= lastId_)
            return;  // read already, with everything after an earlier change
        after = after && (series_.empty() || !doneBefore(placeOfRow(row), placeOf(series_.back())));
        if (after)
            take(row);
    });
    // One done before a series held (an import of older solves, a clock set
    // back): its place is among them.
    if (!after) {
        readAll(history, figures, filter);
        return;
    }
    feed(figures, filter, first);
    read_ = true;
}

void SolveHistory::take(const SolveRow &row)
{
    Series s;
    s.id = row.id;
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
    s.type = 0;
    while (s.type < typeIds_.size() &&
           (typeIdNull_[s.type] != row.typeId.isNull() || typeIds_[s.type] != row.typeId))
        ++s.type;
    if (s.type == typeIds_.size()) {
        std::vector<QByteArray> bytes;
        for (const TypeId &id : listed_) bytes.push_back(id.text().toUtf8());
        typeIds_.push_back(row.typeId.toByteArray());
        typeIdNull_.push_back(row.typeId.isNull());
        typeListed_.push_back(lists(bytes, row.typeId));
    }
    s.day = dayOf(row.dateTime);
    s.dateNull = row.dateTime.isNull();
    s.date = std::uint32_t(dates_.size());
    s.dateSize = std::uint8_t(std::min<qsizetype>(row.dateTime.size(), 255));
    dates_.append(row.dateTime.first(s.dateSize));
    series_.push_back(s);
}

SeriesPlace SolveHistory::placeOf(const Series &s) const
{
    const QByteArrayView date =
        s.dateNull ? QByteArrayView() : QByteArrayView(dates_.constData() + s.date, s.dateSize);
    const QByteArray &type = typeIds_[s.type];
    return {date,
            typeIdNull_[s.type] ? QByteArrayView() : QByteArrayView(type.constData(), type.size()),
            s.id};
}

void SolveHistory::putInOrder()
{
    std::sort(series_.begin(), series_.end(), [this](const Series &a, const Series &b) {
        return doneBefore(placeOf(a), placeOf(b));
    });
}

QString SolveHistory::dateText(std::size_t series) const
{
    const Series &s = series_.at(series);
    return QString::fromUtf8(dates_.constData() + s.date, s.dateSize);
}

int SolveHistory::typeOf(const TypeFilter &filter) const
{
    if (filter.all())
        return -1;
    const QByteArray wanted = filter.type().text().toUtf8();
    for (std::size_t t = 0; t < typeIds_.size(); ++t)
        if (!typeIdNull_[t] && typeIds_[t] == wanted)
            return int(t);
    return -2;  // no series of it
}

void SolveHistory::feed(FigureAccumulator &figures, const TypeFilter &filter,
                        std::size_t from) const
{
    const int type = typeOf(filter);
    if (type == -2)
        return;
    std::vector<SolveRun> runs;
    for (std::size_t i = from; i < series_.size(); ++i) {
        const Series &s = series_[i];
        if (type < 0 ? typeListed_[s.type] : int(s.type) == type)
            runs.push_back({solvesOf(s), std::int64_t(i), s.day});
    }
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
