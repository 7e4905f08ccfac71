#pragma once
// Scrambles for the next solve: a uniformly random state solved and the
// solution inverted for the 2x2x2 (optimally) and the 3x3x3 (two-phase, at
// most 22 moves); random outer and wide turns for 4x4x4 to 7x7x7.

#include <QString>
#include <array>
#include <optional>
#include <random>

namespace spinlog {

enum class ScrambleKind { Cube2, Cube3, Cube3Blind, Cube4, Cube5, Cube6, Cube7 };

inline constexpr std::array<ScrambleKind, 7> kScrambleKinds = {
    ScrambleKind::Cube2, ScrambleKind::Cube3, ScrambleKind::Cube3Blind, ScrambleKind::Cube4,
    ScrambleKind::Cube5, ScrambleKind::Cube6, ScrambleKind::Cube7};

// "2x2x2", "3x3x3", "3x3x3bld", "4x4x4" ... "7x7x7", as on the command line.
QString kindName(ScrambleKind kind);
std::optional<ScrambleKind> kindFromName(const QString &name);
// Stickers along an edge: 2 to 7.
int cubeSize(ScrambleKind kind);

// The kind for a puzzle type's name: one beginning with "2x2x2" ... "7x7x7"
// (any case) is that cube; a 3x3x3 named with 目隠し or BLD is blindfolded.
std::optional<ScrambleKind> kindForPuzzleType(const QString &typeName);

struct Scramble {
    ScrambleKind kind = ScrambleKind::Cube3;
    // Moves separated by single spaces, e.g. "R U2 F' Rw 3Uw2".
    QString text;
    // The scrambled cube seen with U on top and F in front: 6 * N * N
    // letters, faces U R F D L B, each face row by row as seen from outside
    // (U with B at the top, D with F at the top, the side faces with U at the
    // top); a letter names the face whose colour the sticker has when solved.
    // The sticker in ROW, COLUMN of FACE (0-5) is facelets[(FACE * N + ROW) * N + COLUMN].
    QString facelets;
};

// The random engine for scrambles, seeded from the system's entropy source.
std::mt19937_64 scrambleEngine();

// Builds what KIND's generator needs (the 2x2x2 distance table, 3.8 MB; the
// 3x3x3 tables, 6.7 MB; nothing for bigger cubes) unless built already.
// Thread-safe; a generator calls it itself, so this only chooses when the
// wait happens (off the GUI thread).
void prepareTables(ScrambleKind kind);

Scramble generateScramble(ScrambleKind kind, std::mt19937_64 &rng);

}  // namespace spinlog
