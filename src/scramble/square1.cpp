// Square-1: a state drawn with equal chance, solved in two phases (the
// shape, square1_shape.h; then the pieces in cube shape, square1_cube.h),
// the solution inverted into the notation's "(x,y)/" moves.
//
// The search counts slices. It keeps the first phase's first solutions (of
// the fewest slices, then one more) that end in different positions but for
// the layers' turns, each with its second phase's bound, and raises one
// bound on the total until one of them has a second phase within it. No
// budget cuts a search short: each goes as deep as the total leaves it, where
// the second phase's tables bound it closely, so the time grows with the
// number of first phases kept; 64 make most solutions a slice or two
// shorter than one would, at a few milliseconds at worst.

#include "scramble/puzzles.h"
#include "scramble/square1_cube.h"
#include "scramble/square1_shape.h"

#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

namespace spinlog::scramble {

using namespace square1;

namespace {

// The turn bringing PIECE's first slot of L to slot TO.
int turnBringing(const Layer &l, std::uint8_t piece, int to)
{
    int slot = 0;
    while (l[slot] != piece || !cutBefore(l, slot)) ++slot;
    return (to - slot + 12) % 12;
}

int turnSolving(const Layer &l, const Layer &solved)
{
    int x = 0;
    while (turned(l, x) != solved) ++x;
    return x;
}

// Finds a solution: the slices each after a turn, and a last turn.
class Search {
public:
    explicit Search(const Position &start)
        : shapes_(shapeTables()), cube_(cubeTables()), start_(start)
    {
    }

    void run()
    {
        const int pair = shapes_.pairIndex(start_), par = parity(start_);
        const int fewest = shapes_.distance[pair * 2 + par];
        for (int length = fewest; length <= fewest + 1 && !enough(); ++length)
            phase1(start_, pair, par, length);
        std::stable_sort(ends_.begin(), ends_.end(), [](const End &a, const End &b) {
            return a.steps.size() + a.bound < b.steps.size() + b.bound;
        });
        // Each slice turns the middle layer, which the bounds count: every
        // end's total has the start's parity.
        for (int total = int(ends_[0].steps.size()) + ends_[0].bound;; total += 2)
            for (const End &e : ends_) {
                const int togo = total - int(e.steps.size());
                if (e.bound <= togo && phase2(e.cube, togo, e.last)) {
                    steps_ = e.steps;
                    writeSecondPhase(e.position);
                    return;
                }
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
        for (auto it = steps_.rbegin(); it != steps_.rend(); ++it) {
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
        int moves = int(steps_.size()) + (last_.first || last_.second ? 1 : 0);
        for (const auto &[x, y] : steps_) moves += x || y ? 1 : 0;
        return moves;
    }

private:
    // The first phases of exactly TOGO more slices, until there are enough.
    // The tables tell which turns lead on before any
    // position is turned; a first phase passes no position the second could
    // start from.
    void phase1(const Position &p, int pair, int par, int togo)
    {
        if (togo == 0) {
            keep(p);
            return;
        }
        const auto [top, bottom] = shapes_.shapes[pair];
        for (int x = 0; x < 12; ++x) {
            if (shapes_.turnTo[top][x] < 0)
                continue;
            for (int y = 0; y < 12; ++y) {
                if (shapes_.turnTo[bottom][y] < 0 || (x == 0 && y == 0 && !steps_.empty()))
                    continue;
                const int turnedPair =
                    shapes_.pairOfLayers(shapes_.turnTo[top][x], shapes_.turnTo[bottom][y]);
                const int next = shapes_.sliceTo[turnedPair];
                const int nextPar = par ^ shapes_.turnFlip[top][x] ^ shapes_.turnFlip[bottom][y] ^
                                    shapes_.sliceFlip[turnedPair];
                const int d = shapes_.distance[next * 2 + nextPar];
                if (d > togo - 1 || (d == 0 && togo > 1))
                    continue;
                Position q{turned(p.top, x), turned(p.bottom, y), p.middle};
                slice(q);
                steps_.push_back({x, y});
                phase1(q, next, nextPar, togo - 1);
                steps_.pop_back();
                if (enough())
                    return;
            }
        }
    }

    // Too few ends in different positions would otherwise go through every
    // first phase one slice longer.
    bool enough() const { return int(ends_.size()) >= kFirstPhases || seen_ >= 16 * kFirstPhases; }

    void keep(const Position &p)
    {
        ++seen_;
        const Rings rings = ringsOf(p);
        const Cube c = cube_.cubeOf(rings, p.middle);
        // Not the slice just made, undone.
        const int last = steps_.empty() ? -1 : cube_.stepAtSlice(p, rings), form = cube_.form(c);
        // Another way to the same position but for turns would search the same.
        for (const End &e : ends_)
            if (e.form == form)
                return;
        ends_.push_back({steps_, p, c, cube_.bound(c), last, form});
    }

    bool phase2(const Cube &c, int togo, int last)
    {
        if (togo == 0)
            return cube_.solved(c);
        for (int n = 0; n < kCubeSteps; ++n) {
            // Swapping both halves in turn is one order of two.
            if (last >= 0 && (n == last || (n == cube_.steps()[last].opposite && n < last)))
                continue;
            const Cube next = cube_.after(c, cube_.steps()[n]);
            if (cube_.beyond(next, togo - 1))
                continue;
            cubeSteps_.push_back(n);
            if (phase2(next, togo - 1, n))
                return true;
            cubeSteps_.pop_back();
        }
        return false;
    }

    // The second phase's steps as turns, from P.
    void writeSecondPhase(Position p)
    {
        Rings r = ringsOf(p);
        for (int n : cubeSteps_) {
            const CubeStep &s = cube_.steps()[n];
            const int x = turnBringing(p.top, r.top[s.top], 6);
            const int y = turnBringing(p.bottom, r.bottom[s.bottom], 0);
            p = {turned(p.top, x), turned(p.bottom, y), p.middle};
            slice(p);
            for (int k = 0; k < 4; ++k)
                std::swap(r.top[(s.top + k) % 8], r.bottom[(s.bottom + k) % 8]);
            steps_.push_back({x, y});
        }
        last_ = {turnSolving(p.top, kSolved.top), turnSolving(p.bottom, kSolved.bottom)};
    }

    const ShapeTables &shapes_;
    const CubeTables &cube_;
    const Position start_;
    // A first phase: its turns, where it ends, that in the second phase's
    // terms with its bound, the step not to take first, and its form.
    struct End {
        std::vector<std::pair<int, int>> steps;
        Position position;
        Cube cube;
        int bound, last, form;
    };
    static constexpr int kFirstPhases = 64;
    int seen_ = 0;
    std::vector<End> ends_;
    std::vector<std::pair<int, int>> steps_;  // turns, each followed by a slice
    std::vector<int> cubeSteps_;
    std::pair<int, int> last_{0, 0};
};

// A state solved in fewer moves is drawn again. A solution found is no
// shorter than the state's distance, so each drawn again is that near; one
// as near whose solution found is longer stays (at most a few states in a
// million are that near).
constexpr int kMinimumLength = 11;

Position randomPosition(std::mt19937_64 &rng)
{
    const ShapeTables &t = shapeTables();
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
    shapeTables();
    cubeTables();
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
