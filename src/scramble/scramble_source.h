#pragma once
// Scrambles made on a worker thread and handed to this object's thread
// through its event loop, so a window asks without waiting. Only the latest
// request is answered: one superseded (the type changed) is dropped, before
// or after it is made.

#include "scramble/scramble.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

namespace spinlog {

class ScrambleSource : public QObject {
    Q_OBJECT
public:
    explicit ScrambleSource(QObject *parent = nullptr);
    // Waits for a scramble under way (milliseconds; the first of a kind may
    // build its tables, well under a second).
    ~ScrambleSource() override;

    // Returns at once; ready() follows unless another request comes first.
    // Call on this object's thread.
    void request(ScrambleKind kind);

signals:
    void ready(const spinlog::Scramble &scramble);

private:
    struct Request {
        std::uint64_t id;
        ScrambleKind kind;
    };
    void work();
    void deliver(std::uint64_t id, const Scramble &scramble);

    std::uint64_t latest_ = 0;  // this object's thread only
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> pending_;  // under mutex_
    bool stopping_ = false;           // under mutex_
    std::thread worker_;              // last, so it starts with the rest in place
};

}  // namespace spinlog
