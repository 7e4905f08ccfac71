#pragma once
// Square-1's second phase: the pieces, the puzzle kept in cube shape. Each
// layer is then a ring of eight pieces, corners and edges in turn, which
// turns only rotate; so a step is the slice after some turn of each layer:
// four pieces in a row of the top's ring swapped with four of the bottom's,
// both rows starting with the same kind of piece (32 steps). A position is
// its rings each read from a corner: the corners' order (the top's four,
// then the bottom's) and the edges', each a permutation of eight, and the
// middle layer.
//
// The bound is a table of exact distances over the corners' order but for
// the layers' turns (2520 forms), the places of three of the top's edges
// and the middle layer: 1.7 MB. The puzzle is the same with corners and
// edges changing parts and turned upside down, so the one table gives four
// bounds; the search takes their largest.

#include "scramble/square1_model.h"

#include <array>
#include <cstdint>
#include <vector>

namespace spinlog::scramble::square1 {

// A layer's pieces in turn from a corner, one entry per piece.
using Ring = std::array<std::uint8_t, 8>;
struct Rings {
    Ring top, bottom;
};
// The rings of a cube-shaped position, each from its first corner after slot 0.
Rings ringsOf(const Position &p);

struct CubeStep {
    std::uint8_t top, bottom;     // where the swapped rows start in the rings
    std::uint8_t corners, edges;  // the pairs each order swaps, top * 4 + bottom
    std::uint8_t opposite;        // the step swapping the other halves
};
inline constexpr int kCubeSteps = 32;

struct Cube {
    int corners = 0, edges = 0;  // permutation ranks; 0 solved
    int middle = 0;
};

class CubeTables {
public:
    CubeTables();
    Cube cubeOf(const Rings &r, bool middle) const;
    const std::array<CubeStep, kCubeSteps> &steps() const { return steps_; }
    // The step whose rows lie at the slice in P (the one a slice just made).
    int stepAtSlice(const Position &p, const Rings &r) const;
    Cube after(const Cube &c, const CubeStep &s) const
    {
        return {swapped_[s.corners][c.corners], swapped_[s.edges][c.edges], 1 - c.middle};
    }
    // Whether C is more than TOGO steps from solved by the tables.
    bool beyond(const Cube &c, int togo) const;
    int bound(const Cube &c) const;
    // Solved but for a turn of each layer.
    bool solved(const Cube &c) const;
    // The same for positions the same but for a turn of each layer.
    int form(const Cube &c) const;

private:
    int lookup(int corners, int edges, int middle) const;
    void findPermutations();
    void findPlaces();
    void findDistances();

    std::array<CubeStep, kCubeSteps> steps_;
    std::array<std::uint8_t, 16> label_;      // piece -> place in its order when solved
    std::vector<std::uint16_t> swapped_[16];  // [pairs][rank]
    // An order's canonical form: each layer's four turned so that its
    // lowest piece comes first.
    std::vector<std::uint8_t> toCanonical_;     // per rank: the turns (top * 4 + bottom)
    std::vector<std::uint16_t> canonical_;      // per rank: its form, 0-2519
    std::vector<std::uint16_t> canonicalRank_;  // per form: its rank
    std::array<int, 16> solvedEdges_;  // per turns: the edges' order solved corners have before
    std::vector<std::uint16_t> rolesSwapped_, overturned_;  // per rank
    std::vector<std::uint16_t> places_;                     // per rank: where the tracked edges are
    std::vector<std::uint16_t> placesSwapped_[16], placesRotated_[16];
    std::vector<std::uint8_t> distance_;  // [(ring * places + places) * 2 + middle]
};

// Built on first use, thread-safe.
const CubeTables &cubeTables();

}  // namespace spinlog::scramble::square1
