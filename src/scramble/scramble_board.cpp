#include "scramble/scramble_board.h"

#include <utility>

namespace spinlog {

ScrambleBoard::ScrambleBoard(Request request, QObject *parent)
    : QObject(parent), request_(std::move(request))
{
}

void ScrambleBoard::setActive(bool active)
{
    active_ = active;
    ask();
}

void ScrambleBoard::setPuzzleType(const QString &typeName)
{
    const std::optional<ScrambleKind> kind = kindForPuzzleType(typeName);
    if (kind == kind_ && (next_ || asked_))
        return;
    kind_ = kind;
    next_.reset();
    previous_.reset();
    asked_ = false;
    ask();
    emit changed();
}

void ScrambleBoard::solveStored()
{
    if (!next_)
        return;
    previous_ = std::move(next_);
    next_.reset();
    asked_ = false;
    ask();
    emit changed();
}

void ScrambleBoard::deliver(const Scramble &scramble)
{
    if (!kind_ || scramble.kind != *kind_ || next_)
        return;
    next_ = scramble;
    asked_ = false;
    emit changed();
}

void ScrambleBoard::ask()
{
    if (active_ && kind_ && !next_ && !asked_) {
        asked_ = true;
        request_(*kind_);
    }
}

}  // namespace spinlog
