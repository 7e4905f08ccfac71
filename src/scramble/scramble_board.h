#pragma once
// What the scramble window shows, as state: the scramble for the next solve
// and the one just used. A new scramble is asked for when the type changes
// and as soon as a solve is stored; the one on show stays while a solve runs.
// Scrambles are made elsewhere (a worker thread) and handed back to
// deliver(); a scramble of another kind than the one wanted is dropped.

#include "scramble/scramble.h"

#include <QObject>
#include <functional>
#include <optional>

namespace spinlog {

class ScrambleBoard : public QObject {
    Q_OBJECT
public:
    using Request = std::function<void(ScrambleKind)>;
    explicit ScrambleBoard(Request request, QObject *parent = nullptr);

    // The kind of the chosen type, or nothing when it has no scramble.
    std::optional<ScrambleKind> kind() const { return kind_; }
    // The scramble for the next solve; nothing while it is being made.
    const std::optional<Scramble> &next() const { return next_; }
    // The scramble of the solve just stored.
    const std::optional<Scramble> &previous() const { return previous_; }

    // Asks for scrambles only while active (the window is shown).
    void setActive(bool active);
    void setPuzzleType(const QString &typeName);
    void solveStored();
    void deliver(const Scramble &scramble);

signals:
    void changed();

private:
    void ask();

    Request request_;
    bool active_ = false;
    std::optional<ScrambleKind> kind_;
    std::optional<Scramble> next_;
    std::optional<Scramble> previous_;
    bool asked_ = false;
};

}  // namespace spinlog
