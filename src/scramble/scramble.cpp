#include "scramble/scramble.h"

#include "base/type_names.h"

#include "scramble/cubie_cube.h"
#include "scramble/facelet_cube.h"
#include "scramble/pocket.h"
#include "scramble/puzzles.h"
#include "scramble/two_phase.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace spinlog {

using namespace scramble;

namespace {

struct KindInfo {
    ScrambleKind kind;
    const char *name;
    int size;
};
const KindInfo kKinds[] = {
    {ScrambleKind::Cube2, "2x2x2", 2},         {ScrambleKind::Cube3, "3x3x3", 3},
    {ScrambleKind::Cube3Blind, "3x3x3bld", 3}, {ScrambleKind::Cube4, "4x4x4", 4},
    {ScrambleKind::Cube5, "5x5x5", 5},         {ScrambleKind::Cube6, "6x6x6", 6},
    {ScrambleKind::Cube7, "7x7x7", 7},         {ScrambleKind::Pyraminx, "pyraminx", 0},
    {ScrambleKind::Skewb, "skewb", 0},         {ScrambleKind::Megaminx, "megaminx", 0},
    {ScrambleKind::Square1, "sq1", 0},         {ScrambleKind::Clock, "clock", 0}};

// The names a puzzle type may have for the puzzles that are not cubes, in
// the form compared: lower case, without spaces and "-".
const std::pair<const char *, ScrambleKind> kTypeNames[] = {
    {"pyraminx", ScrambleKind::Pyraminx}, {"ピラミンクス", ScrambleKind::Pyraminx},
    {"skewb", ScrambleKind::Skewb},       {"スキューブ", ScrambleKind::Skewb},
    {"megaminx", ScrambleKind::Megaminx}, {"メガミンクス", ScrambleKind::Megaminx},
    {"square1", ScrambleKind::Square1},   {"sq1", ScrambleKind::Square1},
    {"スクエア1", ScrambleKind::Square1}, {"clock", ScrambleKind::Clock},
    {"クロック", ScrambleKind::Clock}};

const KindInfo &info(ScrambleKind kind)
{
    return *std::find_if(std::begin(kKinds), std::end(kKinds),
                         [kind](const KindInfo &k) { return k.kind == kind; });
}

constexpr int kMin2x2Distance = 4;  // fewer moves are drawn again
constexpr int kMax3x3Length = 22;

// The inverse of a solution: its moves backwards, each turned the other way.
QString inverseText(const std::vector<int> &solution)
{
    QStringList moves;
    for (auto it = solution.rbegin(); it != solution.rend(); ++it)
        moves << moveName(inverseMove(*it));
    return moves.join(QLatin1Char(' '));
}

int drawPocket(std::mt19937_64 &rng)
{
    std::uniform_int_distribution<int> pick(0, kPocketStates - 1);
    int index;
    do {
        index = pick(rng);
    } while (pocketDistance(index) < kMin2x2Distance);
    return index;
}

// The 2x2x2's stickers are the 3x3x3's corner stickers.
QString pocketFacelets(int index)
{
    const QString big = pocketState(index).facelets();
    QString facelets;
    for (int face = 0; face < 6; ++face)
        for (int k : {0, 2, 6, 8}) facelets += big[face * 9 + k];
    return facelets;
}

Scramble pocketScramble(std::mt19937_64 &rng)
{
    const int index = drawPocket(rng);
    return {ScrambleKind::Cube2, inverseText(solvePocket(index)), pocketFacelets(index)};
}

// Every state whose corner and edge permutations have the same parity, whose
// corner twists sum to a multiple of three and whose edge flips to an even
// number is reachable; each is drawn with the same chance.
CubieCube randomCube(std::mt19937_64 &rng)
{
    CubieCube c;
    std::shuffle(c.cp.begin(), c.cp.end(), rng);
    std::shuffle(c.ep.begin(), c.ep.end(), rng);
    // Swapping two edges pairs each state of unequal parities with one of
    // equal parities, one to one, so the result stays uniform.
    if (permutationParity(c.cp) != permutationParity(c.ep))
        std::swap(c.ep[0], c.ep[1]);
    std::uniform_int_distribution<int> twist(0, 2), flip(0, 1);
    int twists = 0, flips = 0;
    for (int i = 0; i < 7; ++i) twists += c.co[i] = std::uint8_t(twist(rng));
    c.co[7] = std::uint8_t((3 - twists % 3) % 3);
    for (int i = 0; i < 11; ++i) flips += c.eo[i] = std::uint8_t(flip(rng));
    c.eo[11] = std::uint8_t(flips % 2);
    return c;
}

// Solved or one move from it: drawn again.
bool withinOneMove(const CubieCube &c)
{
    if (c == CubieCube{})
        return true;
    for (int m = 0; m < kMoveCount; ++m)
        if (c == moveCube(m))
            return true;
    return false;
}

CubieCube drawCube3(std::mt19937_64 &rng)
{
    CubieCube cube;
    do {
        cube = randomCube(rng);
    } while (withinOneMove(cube));
    return cube;
}

Scramble cube3Scramble(std::mt19937_64 &rng)
{
    const CubieCube cube = drawCube3(rng);
    return {ScrambleKind::Cube3, inverseText(solveTwoPhase(cube, kMax3x3Length)), cube.facelets()};
}

// The 3x3x3 scramble, then the whole cube turned to one of its 24
// orientations by wide turns: which centre comes up, then a turn about U.
Scramble blindScramble(std::mt19937_64 &rng)
{
    static const char *const up[6] = {"", "Rw", "Rw2", "Rw'", "Fw", "Fw'"};
    static const char *const around[4] = {"", "Uw", "Uw2", "Uw'"};
    Scramble s = cube3Scramble(rng);
    s.kind = ScrambleKind::Cube3Blind;
    const int orientation = std::uniform_int_distribution<int>(0, 23)(rng);
    const QString turn =
        QStringLiteral("%1 %2")
            .arg(QLatin1String(up[orientation / 4]), QLatin1String(around[orientation % 4]))
            .trimmed();
    if (!turn.isEmpty()) {
        FaceletCube cube(3, s.state);
        cube.apply(turn);
        s.state = cube.facelets();
        s.text += QLatin1Char(' ') + turn;
    }
    return s;
}

// Whether consecutive moves about one axis turn every layer of it by the
// same amount (the whole cube, or nothing): quarter turns per layer seen
// from the axis's first face (U, R, F).
bool turnsAsOne(const std::vector<LayerMove> &run, int size)
{
    std::vector<int> amount(size, 0);
    for (const LayerMove &m : run)
        for (int k = 0; k < m.layers; ++k) {
            const bool near = m.face < 3;
            int &a = amount[near ? k : size - 1 - k];
            a = (a + (near ? m.turns : 4 - m.turns)) % 4;
        }
    return std::all_of(amount.begin(), amount.end(), [&](int a) { return a == amount[0]; });
}

// Random turns of outer and wide layers: never the same face twice in a
// row, never three in a row about one axis, and no stretch about one axis
// that only turns the whole cube. Each allowed move is equally likely:
// draws that break a rule are drawn again.
Scramble bigCubeScramble(ScrambleKind kind, std::mt19937_64 &rng)
{
    const int size = cubeSize(kind);
    const int length = 20 * (size - 2);  // 40, 60, 80, 100
    std::uniform_int_distribution<int> face(0, 5), layers(1, size / 2), turns(1, 3);
    FaceletCube cube(size);
    QStringList moves;
    std::vector<LayerMove> run;  // the moves since the axis last changed
    while (moves.size() < length) {
        const LayerMove m{face(rng), layers(rng), turns(rng)};
        const bool axisAgain = !run.empty() && m.face % 3 == run.back().face % 3;
        if (axisAgain && (m.face == run.back().face || run.size() >= 2))
            continue;
        std::vector<LayerMove> next = axisAgain ? run : std::vector<LayerMove>{};
        next.push_back(m);
        // Every stretch ending in M: the run's suffixes.
        bool whole = false;
        for (std::size_t from = 0; from < next.size() && !whole; ++from)
            whole = turnsAsOne({next.begin() + from, next.end()}, size);
        if (whole)
            continue;
        run = std::move(next);
        cube.turn(m);
        moves << moveText(m);
    }
    return {kind, moves.join(QLatin1Char(' ')), cube.facelets()};
}

}  // namespace

QString kindName(ScrambleKind kind)
{
    return QLatin1String(info(kind).name);
}

std::optional<ScrambleKind> kindFromName(const QString &name)
{
    for (const KindInfo &k : kKinds)
        if (name == QLatin1String(k.name))
            return k.kind;
    return std::nullopt;
}

int cubeSize(ScrambleKind kind)
{
    return info(kind).size;
}

std::optional<ScrambleKind> kindForPuzzleType(const QString &typeName)
{
    const QString plain = plainTypeName(typeName);
    for (const auto &[name, kind] : kTypeNames)
        if (plain.startsWith(QString::fromUtf8(name)))
            return kind;
    for (int size = 2; size <= 7; ++size) {
        if (!plain.startsWith(QStringLiteral("%1x%1x%1").arg(size)))
            continue;
        if (size == 3 && isBlindfoldName(typeName))
            return ScrambleKind::Cube3Blind;
        return std::find_if(std::begin(kKinds), std::end(kKinds),
                            [size](const KindInfo &k) { return k.size == size; })
            ->kind;
    }
    return std::nullopt;
}

std::mt19937_64 scrambleEngine()
{
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(),
                       device(), device(), device(), device()};
    return std::mt19937_64(seed);
}

void prepareTables(ScrambleKind kind)
{
    switch (kind) {
        case ScrambleKind::Cube2: preparePocketTables(); break;
        case ScrambleKind::Cube3:
        case ScrambleKind::Cube3Blind: prepareTwoPhaseTables(); break;
        case ScrambleKind::Pyraminx: preparePyraminx(); break;
        case ScrambleKind::Skewb: prepareSkewb(); break;
        case ScrambleKind::Square1: prepareSquare1(); break;
        default: break;  // random moves need no tables
    }
}

Scramble generateScramble(ScrambleKind kind, std::mt19937_64 &rng)
{
    switch (kind) {
        case ScrambleKind::Cube2: return pocketScramble(rng);
        case ScrambleKind::Cube3: return cube3Scramble(rng);
        case ScrambleKind::Cube3Blind: return blindScramble(rng);
        case ScrambleKind::Pyraminx:
        case ScrambleKind::Skewb:
        case ScrambleKind::Square1: {
            Scramble s{kind, {}, {}};
            s.state = kind == ScrambleKind::Pyraminx ? drawPyraminx(rng, &s.text)
                      : kind == ScrambleKind::Skewb  ? drawSkewb(rng, &s.text)
                                                     : drawSquare1(rng, &s.text);
            return s;
        }
        case ScrambleKind::Megaminx: {
            Scramble s{kind, {}, {}};
            s.state = megaminxScramble(rng, s.text);
            return s;
        }
        case ScrambleKind::Clock: {
            Scramble s{kind, {}, {}};
            s.state = clockScramble(rng, s.text);
            return s;
        }
        default: return bigCubeScramble(kind, rng);
    }
}

QString drawState(ScrambleKind kind, std::mt19937_64 &rng)
{
    switch (kind) {
        case ScrambleKind::Cube2: return pocketFacelets(drawPocket(rng));
        case ScrambleKind::Cube3: return drawCube3(rng).facelets();
        case ScrambleKind::Pyraminx: return drawPyraminx(rng, nullptr);
        case ScrambleKind::Skewb: return drawSkewb(rng, nullptr);
        case ScrambleKind::Square1: return drawSquare1(rng, nullptr);
        default: return {};
    }
}

}  // namespace spinlog
