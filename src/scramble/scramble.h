#pragma once
// Scrambles for the next solve: a uniformly random state solved and the
// solution inverted for the 2x2x2, Pyraminx and Skewb (optimally), the
// 3x3x3 (two-phase, at most 22 moves) and Square-1 (two phases); random
// outer and wide turns for 4x4x4 to 7x7x7, random moves in the official
// notation for Megaminx and Clock.

#include <QString>
#include <array>
#include <optional>
#include <random>

namespace spinlog {

enum class ScrambleKind {
    Cube2,
    Cube3,
    Cube3Blind,
    Cube4,
    Cube5,
    Cube6,
    Cube7,
    Pyraminx,
    Skewb,
    Megaminx,
    Square1,
    Clock
};

inline constexpr std::array<ScrambleKind, 12> kScrambleKinds = {
    ScrambleKind::Cube2, ScrambleKind::Cube3,    ScrambleKind::Cube3Blind, ScrambleKind::Cube4,
    ScrambleKind::Cube5, ScrambleKind::Cube6,    ScrambleKind::Cube7,      ScrambleKind::Pyraminx,
    ScrambleKind::Skewb, ScrambleKind::Megaminx, ScrambleKind::Square1,    ScrambleKind::Clock};

// "2x2x2", "3x3x3", "3x3x3bld", "4x4x4" ... "7x7x7", "pyraminx", "skewb",
// "megaminx", "sq1", "clock", as on the command line.
QString kindName(ScrambleKind kind);
std::optional<ScrambleKind> kindFromName(const QString &name);
// Stickers along an edge: 2 to 7; 0 for the puzzles that are not cubes.
int cubeSize(ScrambleKind kind);

// The kind for a puzzle type's name: one beginning with "2x2x2" ... "7x7x7"
// (any case) is that cube, a 3x3x3 named with 目隠し or BLD blindfolded; one
// beginning, ignoring case, spaces and "-", with pyraminx ピラミンクス, skewb
// スキューブ, megaminx メガミンクス, square1 sq1 スクエア1, clock クロック is
// that puzzle.
std::optional<ScrambleKind> kindForPuzzleType(const QString &typeName);

struct Scramble {
    ScrambleKind kind = ScrambleKind::Cube3;
    // Moves separated by single spaces, e.g. "R U2 F' Rw 3Uw2", "(1,0)/ (-3,2)/".
    QString text;
    // The scrambled puzzle, as its picture draws it; per kind:
    // Cubes: 6 * N * N letters, faces U R F D L B, each face row by row as
    //   seen from outside (U with B at the top, D with F at the top, the side
    //   faces with U at the top); a letter names the face whose colour the
    //   sticker has when solved. The sticker in ROW, COLUMN of FACE (0-5) is
    //   state[(FACE * N + ROW) * N + COLUMN].
    // Pyraminx: faces F L R D (green, red, blue, yellow) of 9 letters, F
    //   drawn point up with L to its left, R to its right, D below, those
    //   three point down; each face's rows from its point (1, 3, 5 stickers),
    //   left to right as drawn.
    // Skewb: faces U R F D L B as the cubes' of 5 letters: the centre, then
    //   the corners top left, top right, bottom right, bottom left.
    // Megaminx: faces U F R BR BL L D DR DBR B DBL DL named A to L, 11 letters
    //   each: the centre, five edges and five corners clockwise from the
    //   edge toward the face above it in the picture (U for the upper ring,
    //   D for the lower, F for U, B for D).
    // Square-1: the top's 12 slots clockwise seen from above, then the
    //   bottom's clockwise seen from below, each from the front end of the
    //   slice line (the slice turns top slots 6-11 and bottom 0-5): the piece
    //   in it, A-D the top's corners and E-H the bottom's, I-L the top's
    //   edges and M-P the bottom's, in their solved order (a corner fills two
    //   slots); then 0, or 1 when the middle layer is turned.
    // Clock: 18 hours 0-9, A, B (0 is 12 o'clock): the dials of the side in
    //   front at the start, then the other, each row by row as seen.
    QString state;
};

// The random engine for scrambles, seeded from the system's entropy source.
std::mt19937_64 scrambleEngine();

// Builds what KIND's generator needs (distance tables: the 2x2x2's 3.8 MB,
// the 3x3x3's 6.7 MB, the Pyraminx's 1 MB, the Skewb's 3.3 MB, the
// Square-1's 1.7 MB; nothing for random moves) unless built already.
// Thread-safe; a generator calls it itself, so this only chooses when the
// wait happens (off the GUI thread).
void prepareTables(ScrambleKind kind);

Scramble generateScramble(ScrambleKind kind, std::mt19937_64 &rng);

// The random-state kinds' draw alone, without solving: the state a scramble
// would lead to, described as Scramble::state (empty for the others).
QString drawState(ScrambleKind kind, std::mt19937_64 &rng);

}  // namespace spinlog
