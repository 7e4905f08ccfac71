#pragma once
// The 3x3x3 solver: the two-phase method. Phase one brings the cube into the
// group of U, D, R2, L2, F2, B2 (corners and edges unturned, the four middle
// layer edges in the middle layer); phase two solves it with those moves.
// Both phases are IDA* searches bounded by the largest of several tables of
// exact distances in pairs of coordinates: phase one's pair the corner twist
// and the edge flip each with the middle edges' places; phase two's pair the
// corner permutation and the U/D edge permutation each with the middle
// edges' order and with the places of the other kind's D pieces. The cube is
// searched from three sides and as its inverse at once.
//
// Memory: move tables 1.8 MB, distance tables 4.9 MB (four bits an entry).

#include "scramble/cubie_cube.h"

#include <vector>

namespace spinlog::scramble {

// Builds the tables on first use; thread-safe, later calls return at once.
void prepareTwoPhaseTables();

// The first solution found of at most MAXLENGTH moves (face turns): move
// indices in order, no two on one face in a row, opposite faces only in the
// order canFollow() allows. The cube must be solvable. Every cube has a
// solution of 20 moves or fewer, so MAXLENGTH >= 20 always succeeds.
std::vector<int> solveTwoPhase(const CubieCube &cube, int maxLength);

}  // namespace spinlog::scramble
