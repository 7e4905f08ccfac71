#pragma once
// The puzzles other than cubes. Each random-state draw returns the picture
// of a state drawn with equal chance among those the kind's rules allow
// (described as Scramble::state); given TEXT, it also writes the scramble
// that leads there from solved: the state solved and the solution inverted.
// The tables are built on first use, thread-safe.

#include <QString>
#include <random>

namespace spinlog::scramble {

// Pyraminx: optimal in U L R B, then the tips; at least 6 moves.
QString drawPyraminx(std::mt19937_64 &rng, QString *text);
void preparePyraminx();
// Skewb: optimal in R U L B; at least 7 moves.
QString drawSkewb(std::mt19937_64 &rng, QString *text);
void prepareSkewb();
// Square-1: two phases, the shape and then the pieces in cube shape.
QString drawSquare1(std::mt19937_64 &rng, QString *text);
void prepareSquare1();

// Random moves: Megaminx in 7 lines of R and D turns, each ending in U;
// Clock in the 14 turns of its notation. Both write TEXT and return STATE.
QString megaminxScramble(std::mt19937_64 &rng, QString &text);
QString clockScramble(std::mt19937_64 &rng, QString &text);

}  // namespace spinlog::scramble
