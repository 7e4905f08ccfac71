#include "scramble/scramble_source.h"

#include <sys/resource.h>
#include <unistd.h>

namespace spinlog {

ScrambleSource::ScrambleSource(QObject *parent) : QObject(parent), worker_([this] { work(); }) {}

ScrambleSource::~ScrambleSource()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
    // Results posted but not delivered go with this object.
}

void ScrambleSource::request(ScrambleKind kind)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        pending_ = Request{++latest_, kind};
    }
    wake_.notify_one();
}

void ScrambleSource::work()
{
    // Below the window's thread: on a busy machine a scramble waits, a key
    // press does not. (A thread's nice value is its own on Linux.)
    ::setpriority(PRIO_PROCESS, ::gettid(), 10);
    std::mt19937_64 rng = scrambleEngine();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || pending_; });
        if (stopping_)
            return;
        const Request request = *pending_;
        pending_.reset();
        lock.unlock();
        Scramble scramble = generateScramble(request.kind, rng);
        QMetaObject::invokeMethod(
            this,
            [this, id = request.id, scramble = std::move(scramble)] { deliver(id, scramble); },
            Qt::QueuedConnection);
        lock.lock();
    }
}

void ScrambleSource::deliver(std::uint64_t id, const Scramble &scramble)
{
    if (id == latest_)
        emit ready(scramble);
}

}  // namespace spinlog
