#pragma once
// The 2x2x2 cube: its corners as on the 3x3x3 with the DBL corner held still,
// turned by U, R and F only. A table holds every state's exact distance
// (3 674 160 states, one byte each), so a solution is optimal.

#include "scramble/cubie_cube.h"

#include <vector>

namespace spinlog::scramble {

inline constexpr int kPocketStates = 3674160;  // 7! * 3^6

// Builds the table on first use; thread-safe, later calls return at once.
void preparePocketTables();

// State number INDEX (0 .. kPocketStates - 1, 0 solved) as corners of a cube.
CubieCube pocketState(int index);
// Its distance in face turns, and an optimal solution (moves U, R, F only).
int pocketDistance(int index);
std::vector<int> solvePocket(int index);

}  // namespace spinlog::scramble
