// Pyraminx and Skewb: each turn swings the stickers on one side of a plane
// about an axis through a vertex, a third of a turn. The pieces that the
// solver tracks split into two kinds (edges and the three-sided centres
// with their tips on the Pyraminx; corners and centres on the Skewb); a
// table of exact distances over every pair of their states gives an optimal
// solution by walking down it.

#include "scramble/puzzles.h"
#include "scramble/sticker_puzzle.h"

#include <QStringList>
#include <algorithm>

namespace spinlog::scramble {

namespace {

// What a puzzle's definition gives: its stickers and moves, the places of
// its two kinds of pieces, and the solver's moves among the puzzle's.
struct Parts {
    StickerPuzzle puzzle;
    std::vector<int> first, second, moves;
};

// Built in place: the distances refer to the tables beside them.
struct Solver {
    explicit Solver(Parts parts)
        : puzzle(std::move(parts.puzzle)),
          moves(std::move(parts.moves)),
          first(puzzle, std::move(parts.first), moves),
          second(puzzle, std::move(parts.second), moves),
          distances(first, second)
    {
    }
    StickerPuzzle puzzle;
    std::vector<int> moves;  // axis * 2 + (0 clockwise, 1 anticlockwise)
    OrbitTable first, second;
    PairDistances distances;
};

// A random state at least MINIMUM moves from solved: its pair index.
int drawIndex(const Solver &s, int minimum, std::mt19937_64 &rng)
{
    std::uniform_int_distribution<int> pick(0, s.distances.count() - 1);
    int index;
    do {
        index = pick(rng);
    } while (s.distances.distance(index) < minimum);
    return index;
}

QString paint(const Solver &s, int index)
{
    QString state = s.puzzle.solved();
    s.first.paint(state, index / s.second.count());
    s.second.paint(state, index % s.second.count());
    return state;
}

// The solution backwards, each move undone: axis letters and "'".
QStringList inverted(const Solver &s, int index, const char *letters)
{
    const std::vector<int> solution = s.distances.solve(index);
    QStringList moves;
    for (auto it = solution.rbegin(); it != solution.rend(); ++it)
        moves << QLatin1Char(letters[*it / 2]) + QLatin1String(*it % 2 == 0 ? "'" : "");
    return moves;
}

// ---- Pyraminx ---------------------------------------------------------

// Vertices U L R B of a tetrahedron; faces F L R D as the picture draws
// them: the vertex at the point of the triangle, then the left and the
// right one of the opposite side (F points up, the others down).
const Point kVertex[4] = {{1, 1, 1}, {-1, -1, 1}, {1, -1, -1}, {-1, 1, -1}};
const int kPyraFace[4][3] = {{0, 1, 2}, {1, 3, 0}, {2, 0, 3}, {3, 1, 2}};

enum class PyraPart { Tip, Centre, Edge };
// Row R (0-2 from the point) and place K (0 to 2R, left to right) of a face.
PyraPart pyraPart(int r, int k)
{
    if (k % 2 == 1)
        return PyraPart::Centre;
    return (r == 0 || k == 0 || k == 2 * r) && r != 1 ? PyraPart::Tip : PyraPart::Edge;
}

Parts makePyraminx()
{
    std::vector<Point> places;
    std::vector<int> edges, centres;
    for (int f = 0; f < 4; ++f) {
        const Point &a = kVertex[kPyraFace[f][0]], &l = kVertex[kPyraFace[f][1]],
                    &r = kVertex[kPyraFace[f][2]];
        // Grid point I rows down from the point, J along the row.
        auto grid = [&](int i, int j) {
            Point p;
            for (int c = 0; c < 3; ++c) p[c] = a[c] + i * (l[c] - a[c]) / 3 + j * (r[c] - l[c]) / 3;
            return p;
        };
        for (int row = 0; row < 3; ++row)
            for (int k = 0; k <= 2 * row; ++k) {
                const int m = k / 2;
                const Point p = grid(row, m), q = k % 2 ? grid(row, m + 1) : grid(row + 1, m),
                            s = grid(row + 1, m + 1);
                (pyraPart(row, k) == PyraPart::Edge ? edges : centres)
                    .push_back(int(places.size()));
                places.push_back(
                    {(p[0] + q[0] + s[0]) / 3, (p[1] + q[1] + s[1]) / 3, (p[2] + q[2] + s[2]) / 3});
            }
    }
    StickerPuzzle puzzle(places, QStringLiteral("FFFFFFFFFLLLLLLLLLRRRRRRRRRDDDDDDDDD"));
    // Along a vertex's axis the puzzle spans -1 (the far face) to 3 (the
    // vertex): the tip ends at 5/3, the two layers at 1/3. Moves 0-7 turn
    // two layers, 8-15 a tip.
    std::vector<int> moves;
    for (const Point &v : kVertex)
        for (double turn : {1.0 / 3, -1.0 / 3}) moves.push_back(puzzle.addTurn(v, 1.0 / 3, turn));
    for (const Point &v : kVertex)
        for (double turn : {1.0 / 3, -1.0 / 3}) puzzle.addTurn(v, 5.0 / 3, turn);
    // The centres' stickers take their tips' along; how each tip is turned
    // against its centre is drawn apart.
    return {std::move(puzzle), edges, centres, moves};
}

const Solver &pyraminx()
{
    static const Solver built(makePyraminx());
    return built;
}

// ---- Skewb ------------------------------------------------------------

// Faces U R F D L B as on the cube: outward normal, then the directions of
// the picture's right and down (x to R, y to U, z to F).
const Point kCubeFrame[6][3] = {
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},   {{1, 0, 0}, {0, 0, -1}, {0, -1, 0}},
    {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {0, 0, 1}, {0, -1, 0}}, {{0, 0, -1}, {-1, 0, 0}, {0, -1, 0}}};
// The corners the moves R U L B turn about, white on top and green at the
// front left: down-right-back, up-left-back, down-front-left, down-back-left.
// The up-front-right corner never moves.
const Point kSkewbAxis[4] = {{1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}, {-1, -1, -1}};

Parts makeSkewb()
{
    // Each face: its centre, then the corners top left, top right, bottom
    // right, bottom left.
    static const int kCornerSign[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    std::vector<Point> places;
    std::vector<int> corners, centres;
    for (const auto &frame : kCubeFrame) {
        centres.push_back(int(places.size()));
        places.push_back(frame[0]);
        for (const auto &sign : kCornerSign) {
            corners.push_back(int(places.size()));
            Point p;
            for (int c = 0; c < 3; ++c)
                p[c] = frame[0][c] + 0.6 * (sign[0] * frame[1][c] + sign[1] * frame[2][c]);
            places.push_back(p);
        }
    }
    StickerPuzzle puzzle(places, QStringLiteral("UUUUURRRRRFFFFFDDDDDLLLLLBBBBB"));
    std::vector<int> moves;
    for (const Point &axis : kSkewbAxis)
        for (double turn : {1.0 / 3, -1.0 / 3}) moves.push_back(puzzle.addTurn(axis, 0, turn));
    return {std::move(puzzle), corners, centres, moves};
}

const Solver &skewb()
{
    static const Solver built(makeSkewb());
    return built;
}

}  // namespace

void preparePyraminx()
{
    pyraminx();
}

QString drawPyraminx(std::mt19937_64 &rng, QString *text)
{
    const Solver &s = pyraminx();
    const int index = drawIndex(s, 6, rng);
    QString state = paint(s, index);
    QStringList moves = text ? inverted(s, index, "ULRB") : QStringList();
    // Each tip turned against its centre: none, once or back once.
    std::uniform_int_distribution<int> twist(0, 2);
    for (int v = 0; v < 4; ++v) {
        const int t = twist(rng);
        if (t == 0)
            continue;
        s.puzzle.apply(state, 8 + v * 2 + (t - 1));
        moves << QLatin1Char("ulrb"[v]) + QLatin1String(t == 2 ? "'" : "");
    }
    if (text)
        *text = moves.join(QLatin1Char(' '));
    return state;
}

void prepareSkewb()
{
    skewb();
}

QString drawSkewb(std::mt19937_64 &rng, QString *text)
{
    const Solver &s = skewb();
    const int index = drawIndex(s, 7, rng);
    if (text)
        *text = inverted(s, index, "RULB").join(QLatin1Char(' '));
    return paint(s, index);
}

}  // namespace spinlog::scramble
