#pragma once
// Puzzles told by their stickers: where each sticker place lies on the
// surface, and each move as the place each sticker comes from, worked out
// once from the geometry (the stickers beyond a cut turned about an axis).
// Sub-sets of the places (a kind of piece) are numbered by a breadth-first
// walk of the states they reach, so a solver needs no hand-made coordinates.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace spinlog::scramble {

using Point = std::array<double, 3>;

inline double dot(const Point &a, const Point &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline Point cross(const Point &a, const Point &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

class StickerPuzzle {
public:
    StickerPuzzle(std::vector<Point> places, QString solved);

    // The stickers whose dot product with AXIS is above CUT turn by FRACTION
    // of a whole turn, clockwise seen from outside along AXIS. Returns the
    // move's number.
    int addTurn(const Point &axis, double cut, double fraction);
    const QString &solved() const { return solved_; }
    void apply(QString &state, int move) const;
    // The place of each sticker of PLACES after MOVE: for move tables.
    const std::vector<int> &source(int move) const { return moves_[move]; }

private:
    std::vector<Point> places_;
    QString solved_;
    std::vector<std::vector<int>> moves_;  // [move][place]: where its sticker was
};

// The states the stickers of PLACES reach from solved under MOVES, numbered
// as found (0 solved), and where each move leads.
struct OrbitTable {
    OrbitTable(const StickerPuzzle &puzzle, std::vector<int> places, std::vector<int> moves);
    int count() const { return int(states.size()); }
    // Writes state I's stickers into a whole puzzle's STATE.
    void paint(QString &state, int i) const;

    std::vector<int> places;
    int moveCount;
    std::vector<QString> states;     // the letters of PLACES, in that order
    std::vector<std::int32_t> next;  // [state * moveCount + move]
};

// Exact distances over every pair of states of two orbit tables (all pairs
// reachable), and optimal solutions by walking down them.
class PairDistances {
public:
    PairDistances(const OrbitTable &a, const OrbitTable &b);
    int count() const { return count_; }
    int distance(int index) const { return depth_[index]; }
    // Moves (numbers within the tables' move lists) from INDEX to solved.
    std::vector<int> solve(int index) const;

private:
    int neighbour(int index, int move) const;

    const OrbitTable &a_, &b_;
    int count_;
    std::vector<std::uint8_t> depth_;
};

}  // namespace spinlog::scramble
