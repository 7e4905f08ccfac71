// Square-1: two phases. The first brings the puzzle to cube shape, with the
// pieces' order of the parity the second phase can solve, by a table of
// exact distances over the shapes in which the slice can turn (3678) and
// that parity. The second solves the pieces keeping the cube shape, a
// depth-first search bounded by tables of exact distances over the
// corners' and the edges' order, and over where three groups of four
// corners and edges lie, each with how the layers stand and the middle
// layer. Both count slices ("/").
//
// A layer is 12 slots of 30 degrees, numbered clockwise seen from its own
// side (above for the top, below for the bottom) from the front end of the
// slice line. The slice turns the top's slots 6-11 and the bottom's 0-5,
// top slot 6 + j landing in bottom slot j and back. A corner fills two
// slots; pieces 0-7 are corners, 8-15 edges.

#include "scramble/cubie_cube.h"
#include "scramble/puzzles.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace spinlog::scramble {

namespace {

using Layer = std::array<std::uint8_t, 12>;
struct Position {
    Layer top, bottom;
    bool middle = false;  // the middle layer turned from solved
};
const Position kSolved = {
    {8, 0, 0, 9, 1, 1, 10, 2, 2, 11, 3, 3}, {4, 4, 12, 5, 5, 13, 6, 6, 14, 7, 7, 15}, false};

bool cutBefore(const Layer &l, int slot)
{
    return l[(slot + 11) % 12] != l[slot];
}
Layer turned(const Layer &l, int x)
{
    Layer r;
    for (int i = 0; i < 12; ++i) r[(i + x) % 12] = l[i];
    return r;
}
void slice(Position &p)
{
    for (int j = 0; j < 6; ++j) std::swap(p.top[6 + j], p.bottom[j]);
    p.middle = !p.middle;
}
// The second slots of corners: a layer's shape.
int shapeOf(const Layer &l)
{
    int mask = 0;
    for (int i = 0; i < 12; ++i) mask |= (l[i] == l[(i + 11) % 12] ? 1 : 0) << i;
    return mask;
}
// The pieces in order, the top's from slot 0 and then the bottom's; and the
// parity of that order.
std::array<std::uint8_t, 16> order(const Position &p)
{
    std::array<std::uint8_t, 16> seq{};
    int n = 0;
    for (const Layer *l : {&p.top, &p.bottom})
        for (int i = 0; i < 12; ++i)
            if (cutBefore(*l, i))
                seq[n++] = (*l)[i];
    return seq;
}
int parity(const Position &p)
{
    return permutationParity(order(p));
}
// The same for one layer's pieces alone.
int layerParity(const Layer &l)
{
    int result = 0;
    for (int i = 0; i < 12; ++i)
        for (int j = i + 1; j < 12; ++j)
            result ^= cutBefore(l, i) && cutBefore(l, j) && l[i] > l[j] ? 1 : 0;
    return result;
}

constexpr int kE = 0, kC = 1;  // a cube-shaped layer's slot 0: an edge or a corner
int alignment(const Layer &l)
{
    return l[0] < 8 ? kC : kE;
}

struct Tables {
    // Layer shapes the slice can cut (169), and the 3678 pairs with eight corners.
    std::vector<int> layerShapes;
    std::vector<int> pairOf;                  // [top * 169 + bottom], -1 if not a shape
    std::vector<std::pair<int, int>> shapes;  // pair index -> layer shape indices
    // Per layer shape and turn 0-11: the shape after (-1: cannot slice) and
    // whether the order's parity changes.
    std::vector<std::array<std::int16_t, 12>> turnTo;
    std::vector<std::array<std::uint8_t, 12>> turnFlip;
    std::vector<int> sliceTo;  // per pair
    std::vector<std::uint8_t> sliceFlip;
    std::vector<std::uint8_t> phase1;  // [pair * 2 + parity]: slices to cube shape

    // Phase two: the corners' (and the edges') order as a permutation of
    // eight, the top's four first, each list from slot 0.
    struct Turn {
        int x, corners, edges, to;  // turn, how far each list turns, alignment after
    };
    std::vector<Turn> turns[2];               // by alignment before
    std::vector<std::uint16_t> rotate[2][4];  // [top/bottom][amount][perm]
    std::vector<std::uint16_t> swapHalves;    // the slice: places 2, 3 with 4, 5
    std::vector<std::uint8_t> cornerDepth,
        edgeDepth;  // [((perm * 2 + top) * 2 + bottom) * 2 + middle]
    // The places in the lists that hold four of the corners and the same
    // four of the edges, each of 70: together they bound gathering both
    // (the top's own four, the front's, the left's), and so the search
    // sees where the corners and the edges pull apart.
    struct Split {
        std::vector<std::uint8_t> places;  // per permutation
        std::vector<std::uint8_t>
            depth;  // [(((corners * 70 + edges) * 2 + top) * 2 + bottom) * 2 + middle]
    };
    std::array<Split, 3> splits;
    Tables();
    int layerIndex(int mask) const
    {
        return int(std::lower_bound(layerShapes.begin(), layerShapes.end(), mask) -
                   layerShapes.begin());
    }
};

// A position of the given layer shapes: corners and edges in order.
Position build(int topMask, int bottomMask)
{
    Position p;
    int corner = 0, edge = 8;
    for (auto [layer, mask] : {std::pair{&p.top, topMask}, std::pair{&p.bottom, bottomMask}})
        for (int i = 0; i < 12; ++i) {
            const bool second = mask >> i & 1, first = mask >> ((i + 1) % 12) & 1;
            (*layer)[i] = std::uint8_t(second ? corner - 1 : first ? corner++ : edge++);
        }
    return p;
}

// Distances from a set of targets, a step being any turns and then a slice:
// the steps that lead from T's slice partner. Generic over the phases.
template <typename Expand>
std::vector<std::uint8_t> distancesFrom(int count, const std::vector<int> &targets, Expand expand)
{
    std::vector<std::uint8_t> depth(count, 0xff);
    std::vector<int> layer;
    for (int t : targets)
        if (depth[t] != 0) {
            depth[t] = 0;
            layer.push_back(t);
        }
    for (std::uint8_t d = 0; !layer.empty(); ++d) {
        std::vector<int> next;
        for (int t : layer)
            expand(t, [&](int s) {
                if (depth[s] == 0xff) {
                    depth[s] = std::uint8_t(d + 1);
                    next.push_back(s);
                }
            });
        layer = std::move(next);
    }
    return depth;
}

Tables::Tables()
{
    for (int mask = 0; mask < 4096; ++mask) {
        // No two second halves together, none at the cuts.
        const bool ok = !(mask & 1) && !(mask >> 6 & 1) && !(mask & (mask << 1 | mask >> 11));
        if (ok)
            layerShapes.push_back(mask);
    }
    const int layers = int(layerShapes.size());
    pairOf.assign(layers * layers, -1);
    for (int t = 0; t < layers; ++t)
        for (int b = 0; b < layers; ++b)
            if (__builtin_popcount(layerShapes[t]) + __builtin_popcount(layerShapes[b]) == 8) {
                pairOf[t * layers + b] = int(shapes.size());
                shapes.push_back({t, b});
            }
    turnTo.resize(layers);
    turnFlip.resize(layers);
    for (int t = 0; t < layers; ++t) {
        // A turn reorders the layer's own pieces only.
        Layer l;
        for (int i = 0, piece = 0; i < 12; ++i)
            l[i] = std::uint8_t(layerShapes[t] >> i & 1 ? piece - 1 : piece++);
        for (int x = 0; x < 12; ++x) {
            const Layer r = turned(l, x);
            const bool cut = cutBefore(r, 0) && cutBefore(r, 6);
            turnTo[t][x] = std::int16_t(cut ? layerIndex(shapeOf(r)) : -1);
            turnFlip[t][x] = std::uint8_t(layerParity(l) ^ layerParity(r));
        }
    }
    for (const auto &[t, b] : shapes) {
        Position p = build(layerShapes[t], layerShapes[b]);
        const int before = parity(p);
        slice(p);
        sliceTo.push_back(
            pairOf[layerIndex(shapeOf(p.top)) * layers + layerIndex(shapeOf(p.bottom))]);
        sliceFlip.push_back(std::uint8_t(before ^ parity(p)));
    }

    // Every turn of a pair's layers that leaves it cuttable: (pair, parity change).
    auto eachTurn = [this, layers](int pair, auto visit) {
        const auto [t, b] = shapes[pair];
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 12; ++y)
                if (turnTo[t][x] >= 0 && turnTo[b][y] >= 0) {
                    const int to = pairOf[turnTo[t][x] * layers + turnTo[b][y]];
                    visit(x, y, to, turnFlip[t][x] ^ turnFlip[b][y]);
                }
    };
    // Cube shape with the parity phase two keeps: what it reaches from
    // solved by its own moves (turns keeping the shape, slices when aligned).
    const int cubeE = layerIndex(0b100100100100), cubeC = layerIndex(0b010010010010);
    auto isCube = [&](int pair) {
        return (shapes[pair].first == cubeE || shapes[pair].first == cubeC) &&
               (shapes[pair].second == cubeE || shapes[pair].second == cubeC);
    };
    const int solvedPair =
        pairOf[layerIndex(shapeOf(kSolved.top)) * layers + layerIndex(shapeOf(kSolved.bottom))];
    std::vector<int> goals{solvedPair * 2 + parity(kSolved)};
    std::vector<bool> seen(shapes.size() * 2);
    seen[goals[0]] = true;
    for (std::size_t i = 0; i < goals.size(); ++i) {
        const int pair = goals[i] / 2, par = goals[i] % 2;
        std::vector<int> next;
        eachTurn(pair, [&](int, int, int to, int flip) {
            if (isCube(to))
                next.push_back(to * 2 + (par ^ flip));
        });
        if (shapes[pair].first == shapes[pair].second)
            next.push_back(sliceTo[pair] * 2 + (par ^ sliceFlip[pair]));
        for (int n : next)
            if (!seen[n]) {
                seen[n] = true;
                goals.push_back(n);
            }
    }
    phase1 = distancesFrom(int(shapes.size()) * 2, goals, [&](int t, auto reach) {
        const int pair = sliceTo[t / 2], par = t % 2 ^ sliceFlip[t / 2];
        eachTurn(pair, [&](int, int, int to, int flip) { reach(to * 2 + (par ^ flip)); });
    });

    // Phase two's turns, found by turning a cube-shaped layer whose pieces
    // are numbered by their places in the lists.
    for (int a : {kE, kC}) {
        Layer l;
        for (int i = 0, c = 0, e = 8; i < 12; ++i) {
            const int phase =
                (i + (a == kE ? 0 : 1)) % 3;  // an edge, a corner's first or second slot
            l[i] = std::uint8_t(phase == 0 ? e++ : phase == 1 ? c : c++);
        }
        for (int x = 0; x < 12; ++x) {
            const Layer r = turned(l, x);
            if (!cutBefore(r, 0) || !cutBefore(r, 6))
                continue;
            Position p{r, r};
            const std::array<std::uint8_t, 16> seq = order(p);
            int corners = -1, edges = -1;
            for (int k = 0, c = 0, e = 0; k < 8; ++k) {
                if (seq[k] < 8 && c++ == 0)
                    corners = seq[k];
                if (seq[k] >= 8 && e++ == 0)
                    edges = seq[k] - 8;
            }
            // The piece first in the list came from that place: the list turned by (4 - it) % 4.
            turns[a].push_back({x, (4 - corners) % 4, (4 - edges) % 4, alignment(r)});
        }
    }
    for (int side = 0; side < 2; ++side)
        for (int amount = 0; amount < 4; ++amount) {
            rotate[side][amount].resize(40320);
            for (int i = 0; i < 40320; ++i) {
                std::uint8_t p[8], q[8];
                permutationFromRank(i, p, 8);
                std::copy_n(p, 8, q);
                for (int k = 0; k < 4; ++k) q[side * 4 + (k + amount) % 4] = p[side * 4 + k];
                rotate[side][amount][i] = std::uint16_t(permutationRank(q, 8));
            }
        }
    swapHalves.resize(40320);
    for (int i = 0; i < 40320; ++i) {
        std::uint8_t p[8];
        permutationFromRank(i, p, 8);
        std::swap(p[2], p[4]);
        std::swap(p[3], p[5]);
        swapHalves[i] = std::uint16_t(permutationRank(p, 8));
    }
    std::vector<int> placesOf(256, -1), maskOf;
    for (int mask = 0; mask < 256; ++mask)
        if (__builtin_popcount(mask) == 4) {
            placesOf[mask] = int(maskOf.size());
            maskOf.push_back(mask);
        }
    const int groups[3] = {0x0f, 0x99, 0xc3};  // pieces 0-3; 0, 3, 4, 7; 0, 1, 6, 7
    for (int g = 0; g < 3; ++g) {
        Split &split = splits[g];
        split.places.resize(40320);
        for (int i = 0; i < 40320; ++i) {
            std::uint8_t p[8];
            permutationFromRank(i, p, 8);
            int mask = 0;
            for (int k = 0; k < 8; ++k) mask |= (groups[g] >> p[k] & 1) << k;
            split.places[i] = std::uint8_t(placesOf[mask]);
        }
        // A permutation for each of the 70: the group's pieces at those places.
        std::vector<int> sample(70);
        for (int n = 0; n < 70; ++n) {
            std::uint8_t p[8];
            int in = 0, out = 0;
            for (int k = 0; k < 8; ++k) {
                int &next = maskOf[n] >> k & 1 ? in : out;
                while ((groups[g] >> next & 1) != (maskOf[n] >> k & 1)) ++next;
                p[k] = std::uint8_t(next++);
            }
            sample[n] = permutationRank(p, 8);
        }
        auto at = [](int cs, int es, int top, int bottom, int middle) {
            return (((cs * 70 + es) * 2 + top) * 2 + bottom) * 2 + middle;
        };
        auto allTurns = [&](int cp, int ep, int top, int bottom, int middle, auto reach) {
            for (const Turn &u : turns[top])
                for (const Turn &d : turns[bottom])
                    reach(at(split.places[rotate[1][d.corners][rotate[0][u.corners][cp]]],
                             split.places[rotate[1][d.edges][rotate[0][u.edges][ep]]], u.to, d.to,
                             middle));
        };
        std::vector<int> targets;
        allTurns(0, 0, kE, kC, 0, [&](int s) { targets.push_back(s); });
        split.depth = distancesFrom(70 * 70 * 8, targets, [&](int s, auto reach) {
            const int top = s / 4 % 2, bottom = s / 2 % 2;
            if (top == bottom)
                allTurns(swapHalves[sample[s / 560]], swapHalves[sample[s / 8 % 70]], top, bottom,
                         1 - s % 2, reach);
        });
    }
    // The distance tables, from every turn of solved (the last turn is free).
    for (int kind = 0; kind < 2; ++kind) {
        auto index = [](int perm, int top, int bottom, int middle) {
            return ((perm * 2 + top) * 2 + bottom) * 2 + middle;
        };
        auto allTurns = [&](int perm, int top, int bottom, int middle, auto reach) {
            for (const Turn &u : turns[top])
                for (const Turn &d : turns[bottom]) {
                    const int a = kind == 0 ? u.corners : u.edges,
                              b = kind == 0 ? d.corners : d.edges;
                    reach(index(rotate[1][b][rotate[0][a][perm]], u.to, d.to, middle));
                }
        };
        std::vector<int> targets;
        allTurns(0, kE, kC, 0, [&](int s) { targets.push_back(s); });
        (kind == 0 ? cornerDepth : edgeDepth) =
            distancesFrom(40320 * 8, targets, [&](int t, auto reach) {
                const int perm = t / 8, top = t / 4 % 2, bottom = t / 2 % 2, middle = t % 2;
                if (top == bottom)
                    allTurns(swapHalves[perm], top, bottom, 1 - middle, reach);
            });
    }
}

const Tables &tables()
{
    static const Tables built;
    return built;
}

// Finds a solution: the slices each after a turn, and a last turn.
class Search {
public:
    explicit Search(const Position &start) : t_(tables()), start_(start) {}

    // Phase-one solutions of the fewest slices (then of one more), each
    // followed by a phase two of exactly its tables' bound plus SLACK
    // slices, searched depth first within a budget of nodes: where the
    // bound falls far below the truth a search would run long, so that
    // phase one is left for the next. Should none succeed, the next round
    // allows more slack and more nodes. A few more slices than the fewest,
    // for a bounded time (tens of milliseconds at worst).
    void run()
    {
        const int pair = pairIndex(start_), par = parity(start_), d1 = t_.phase1[pair * 2 + par];
        for (int round = 0; !found_; ++round) {
            // Each slice turns the middle layer, which the tables count:
            // a phase two's length is its bound plus an even number.
            slack_ = 6 + 2 * round;
            budget_ = kBudget << round;
            tried_ = 0;
            for (int length1 = d1; length1 <= d1 + 1 && !found_ && tried_ <= kPhaseOnes; ++length1)
                phase1(start_, pair, par, length1, true);
        }
    }

    // The scramble: the solution backwards, each turn undone.
    QString inverseText() const
    {
        auto turn = [](int x, int y) {
            auto signedTurn = [](int v) { return v > 6 ? v - 12 : v; };
            return QStringLiteral("(%1,%2)")
                .arg(signedTurn((12 - x) % 12))
                .arg(signedTurn((12 - y) % 12));
        };
        QStringList tokens;
        QString pending = last_.first || last_.second ? turn(last_.first, last_.second) : QString();
        for (auto it = solution_.rbegin(); it != solution_.rend(); ++it) {
            tokens << pending + QLatin1Char('/');
            pending = it->first || it->second ? turn(it->first, it->second) : QString();
        }
        if (!pending.isEmpty())
            tokens << pending;
        return tokens.join(QLatin1Char(' '));
    }

    // In the notation's count: a turn is a move, a slice is one.
    int length() const
    {
        int moves = int(solution_.size()) + (last_.first || last_.second ? 1 : 0);
        for (const auto &[x, y] : solution_) moves += x || y ? 1 : 0;
        return moves;
    }

private:
    int pairIndex(const Position &p) const
    {
        return t_.pairOf[t_.layerIndex(shapeOf(p.top)) * int(t_.layerShapes.size()) +
                         t_.layerIndex(shapeOf(p.bottom))];
    }

    // Every phase one of exactly TOGO more slices, each followed by phase
    // two; true when the search is to stop. The tables tell which turns
    // lead on before any position is turned.
    bool phase1(const Position &p, int pair, int par, int togo, bool first)
    {
        if (togo == 0)
            return phase2Start(p, first);
        const int layers = int(t_.layerShapes.size());
        const auto [top, bottom] = t_.shapes[pair];
        for (int x = 0; x < 12; ++x) {
            if (t_.turnTo[top][x] < 0)
                continue;
            for (int y = 0; y < 12; ++y) {
                if (t_.turnTo[bottom][y] < 0)
                    continue;
                const int turnedPair = t_.pairOf[t_.turnTo[top][x] * layers + t_.turnTo[bottom][y]];
                const int next = t_.sliceTo[turnedPair];
                const int nextPar =
                    par ^ t_.turnFlip[top][x] ^ t_.turnFlip[bottom][y] ^ t_.sliceFlip[turnedPair];
                if (t_.phase1[next * 2 + nextPar] > togo - 1)
                    continue;
                Position q{turned(p.top, x), turned(p.bottom, y), p.middle};
                slice(q);
                steps_.push_back({x, y});
                const bool stop = phase1(q, next, nextPar, togo - 1, false);
                steps_.pop_back();
                if (stop)
                    return true;
            }
        }
        return false;
    }

    struct Coordinates {
        int corners, edges, top, bottom, middle;
    };

    int index(int perm, const Coordinates &c) const
    {
        return ((perm * 2 + c.top) * 2 + c.bottom) * 2 + c.middle;
    }

    // The fewest slices the tables allow; beyond() stops at the first table
    // that rules TOGO out, the cheap ones first.
    int bound(const Coordinates &c) const
    {
        int most = 0;
        while (beyond(c, most)) ++most;
        return most;
    }

    bool beyond(const Coordinates &c, int togo) const
    {
        if (t_.cornerDepth[index(c.corners, c)] > togo || t_.edgeDepth[index(c.edges, c)] > togo)
            return true;
        for (const Tables::Split &split : t_.splits) {
            const int both = split.places[c.corners] * 70 + split.places[c.edges];
            if (split.depth[((both * 2 + c.top) * 2 + c.bottom) * 2 + c.middle] > togo)
                return true;
        }
        return false;
    }

    bool phase2Start(const Position &p, bool noSliceYet)
    {
        const std::array<std::uint8_t, 16> seq = order(p);
        std::uint8_t corners[8], edges[8];
        for (int k = 0, c = 0, e = 0; k < 16; ++k)
            (seq[k] < 8 ? corners[c++] : edges[e++]) = std::uint8_t(seq[k] % 8);
        const Coordinates c{permutationRank(corners, 8), permutationRank(edges, 8),
                            alignment(p.top), alignment(p.bottom), p.middle ? 1 : 0};
        const int h = bound(c);
        if (++tried_ > kPhaseOnes)
            return true;
        nodes_ = 0;
        if (phase2(c, h + slack_, !noSliceYet)) {
            solution_ = steps_;
            found_ = true;
        }
        return found_;
    }

    bool phase2(const Coordinates &c, int togo, bool afterSlice)
    {
        if (++nodes_ > budget_)
            return false;
        if (beyond(c, togo))
            return false;
        if (togo == 0) {
            for (const Tables::Turn &u : t_.turns[c.top])
                for (const Tables::Turn &d : t_.turns[c.bottom])
                    if (u.to == kE && d.to == kC && c.middle == 0 &&
                        t_.rotate[1][d.corners][t_.rotate[0][u.corners][c.corners]] == 0 &&
                        t_.rotate[1][d.edges][t_.rotate[0][u.edges][c.edges]] == 0) {
                        last_ = {u.x, d.x};
                        return true;
                    }
            return false;
        }
        for (const Tables::Turn &u : t_.turns[c.top])
            for (const Tables::Turn &d : t_.turns[c.bottom]) {
                if (u.to != d.to || (afterSlice && u.x == 0 && d.x == 0))
                    continue;
                const Coordinates n{
                    t_.swapHalves[t_.rotate[1][d.corners][t_.rotate[0][u.corners][c.corners]]],
                    t_.swapHalves[t_.rotate[1][d.edges][t_.rotate[0][u.edges][c.edges]]], u.to,
                    d.to, 1 - c.middle};
                steps_.push_back({u.x, d.x});
                if (phase2(n, togo - 1, true))
                    return true;  // the steps stay for the caller
                steps_.pop_back();
            }
        return false;
    }

    const Tables &t_;
    const Position start_;
    static constexpr int kPhaseOnes = 200;
    static constexpr long kBudget = 3000;
    int slack_ = 0, tried_ = 0;
    long budget_ = 0, nodes_ = 0;
    bool found_ = false;
    std::vector<std::pair<int, int>> steps_, solution_;  // turns, each followed by a slice
    std::pair<int, int> last_{0, 0};
};

constexpr int kMinimumLength = 11;  // fewer moves are drawn again

Position randomPosition(std::mt19937_64 &rng)
{
    const Tables &t = tables();
    const auto [top, bottom] =
        t.shapes[std::uniform_int_distribution<int>(0, int(t.shapes.size()) - 1)(rng)];
    Position p = build(t.layerShapes[top], t.layerShapes[bottom]);
    std::array<std::uint8_t, 16> pieces;
    for (int i = 0; i < 16; ++i) pieces[i] = std::uint8_t(i);
    std::shuffle(pieces.begin(), pieces.begin() + 8, rng);
    std::shuffle(pieces.begin() + 8, pieces.end(), rng);
    for (Layer *l : {&p.top, &p.bottom})
        for (std::uint8_t &slot : *l) slot = pieces[slot];
    p.middle = std::bernoulli_distribution()(rng);
    return p;
}

}  // namespace

void prepareSquare1()
{
    tables();
}

QString drawSquare1(std::mt19937_64 &rng, QString *text)
{
    Position p;
    for (;;) {
        p = randomPosition(rng);
        if (!text)
            break;
        Search search(p);
        search.run();
        if (search.length() >= kMinimumLength) {
            *text = search.inverseText();
            break;
        }
    }
    QString state;
    for (const Layer *l : {&p.top, &p.bottom})
        for (std::uint8_t piece : *l) state += QLatin1Char('A' + piece);
    return state + QLatin1Char(p.middle ? '1' : '0');
}

}  // namespace spinlog::scramble
