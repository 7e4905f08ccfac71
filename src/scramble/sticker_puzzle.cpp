#include "scramble/sticker_puzzle.h"

#include "scramble/breadth_first.h"

#include <QHash>
#include <cmath>

namespace spinlog::scramble {

namespace {

// P turned by ANGLE (radians, counter-clockwise seen from outside) about
// the unit axis K: Rodrigues' formula.
Point rotated(const Point &p, const Point &k, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle), along = dot(k, p) * (1 - c);
    const Point across = cross(k, p);
    Point r;
    for (int i = 0; i < 3; ++i) r[i] = p[i] * c + across[i] * s + k[i] * along;
    return r;
}

}  // namespace

StickerPuzzle::StickerPuzzle(std::vector<Point> places, QString solved)
    : places_(std::move(places)), solved_(std::move(solved))
{
    Q_ASSERT(int(places_.size()) == solved_.size());
}

int StickerPuzzle::addTurn(const Point &axis, double cut, double fraction)
{
    const double length = std::sqrt(dot(axis, axis));
    const Point unit{axis[0] / length, axis[1] / length, axis[2] / length};
    std::vector<int> from(places_.size());
    for (std::size_t i = 0; i < places_.size(); ++i) from[i] = int(i);
    for (std::size_t i = 0; i < places_.size(); ++i) {
        if (dot(places_[i], axis) <= cut)
            continue;
        // Where the sticker lands: the nearest place to its turned position.
        const Point p = rotated(places_[i], unit, -2 * M_PI * fraction);
        std::size_t nearest = 0;
        double best = 1e9;
        for (std::size_t j = 0; j < places_.size(); ++j) {
            const Point d{p[0] - places_[j][0], p[1] - places_[j][1], p[2] - places_[j][2]};
            if (dot(d, d) < best) {
                best = dot(d, d);
                nearest = j;
            }
        }
        Q_ASSERT(best < 1e-6);
        from[nearest] = int(i);
    }
    moves_.push_back(std::move(from));
    return int(moves_.size()) - 1;
}

void StickerPuzzle::apply(QString &state, int move) const
{
    const QString before = state;
    const std::vector<int> &from = moves_[move];
    for (std::size_t i = 0; i < from.size(); ++i) state[i] = before[from[i]];
}

OrbitTable::OrbitTable(const StickerPuzzle &puzzle, std::vector<int> placesIn,
                       std::vector<int> moves)
    : places(std::move(placesIn)), moveCount(int(moves.size()))
{
    // Where each of PLACES takes its sticker from under each move, within PLACES.
    std::vector<int> within(puzzle.solved().size(), -1);
    for (std::size_t k = 0; k < places.size(); ++k) within[places[k]] = int(k);
    std::vector<std::vector<int>> from(moves.size());
    for (std::size_t m = 0; m < moves.size(); ++m)
        for (int place : places) {
            Q_ASSERT(within[puzzle.source(moves[m])[place]] >= 0);
            from[m].push_back(within[puzzle.source(moves[m])[place]]);
        }

    QString start;
    for (int place : places) start += puzzle.solved()[place];
    QHash<QString, int> number{{start, 0}};
    states.push_back(start);
    for (std::size_t i = 0; i < states.size(); ++i) {
        for (std::size_t m = 0; m < moves.size(); ++m) {
            QString after = states[i];
            for (std::size_t k = 0; k < places.size(); ++k) after[k] = states[i][from[m][k]];
            const auto at = number.constFind(after);
            if (at != number.constEnd()) {
                next.push_back(*at);
                continue;
            }
            next.push_back(int(states.size()));
            number.insert(after, int(states.size()));
            states.push_back(after);
        }
    }
}

void OrbitTable::paint(QString &state, int i) const
{
    for (std::size_t k = 0; k < places.size(); ++k) state[places[k]] = states[i][k];
}

PairDistances::PairDistances(const OrbitTable &a, const OrbitTable &b)
    : a_(a), b_(b), count_(a.count() * b.count())
{
    Q_ASSERT(a.moveCount == b.moveCount);
    depth_ = breadthFirstDistances(count_, a.moveCount,
                                   [this](int i, int m) { return neighbour(i, m); });
}

int PairDistances::neighbour(int index, int move) const
{
    const int n = b_.count();
    return a_.next[index / n * a_.moveCount + move] * n + b_.next[index % n * b_.moveCount + move];
}

std::vector<int> PairDistances::solve(int index) const
{
    std::vector<int> moves;
    for (int d = depth_[index]; d > 0; --d)
        for (int m = 0; m < a_.moveCount; ++m)
            if (depth_[neighbour(index, m)] == d - 1) {
                moves.push_back(m);
                index = neighbour(index, m);
                break;
            }
    return moves;
}

}  // namespace spinlog::scramble
