#pragma once
// The 3x3x3 solver: the two-phase method. Phase one brings the cube into the
// group of U, D, R2, L2, F2, B2 (corners and edges unturned, the four middle
// layer edges in the middle layer); phase two solves it with those moves.
// Both phases are IDA* searches over tables of exact distances in pairs of
// coordinates, taking the largest as the bound: phase one's of corner twist,
// edge flip and middle edge places two by two; phase two's of corner
// permutation and U/D edge permutation each with the middle edges' order
// and with the places of the other kind's D pieces.
//
// Memory: move tables 1.8 MB, distance tables 7.1 MB (four bits an entry).

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
