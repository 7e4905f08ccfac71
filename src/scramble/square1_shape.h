#pragma once
// Square-1's first phase: the shapes. A table of exact distances over the
// pairs of layer shapes in which the slice can turn (3678) and the parity
// of the pieces' order, to cube shape with the parity the second phase can
// solve. A step is a turn of each layer and then a slice ("/").

#include "scramble/square1_model.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace spinlog::scramble::square1 {

struct ShapeTables {
    // Layer shapes the slice can cut (169), and the pairs with eight corners.
    std::vector<int> layerShapes;
    std::vector<int> pairOf;                  // [top * 169 + bottom], -1 if not a shape
    std::vector<std::pair<int, int>> shapes;  // pair index -> layer shape indices
    // Per layer shape and turn 0-11: the shape after (-1: cannot slice) and
    // whether the order's parity changes.
    std::vector<std::array<std::int16_t, 12>> turnTo;
    std::vector<std::array<std::uint8_t, 12>> turnFlip;
    std::vector<int> sliceTo;  // per pair
    std::vector<std::uint8_t> sliceFlip;
    std::vector<std::uint8_t> distance;  // [pair * 2 + parity]: slices to the second phase

    ShapeTables();
    int layerIndex(int mask) const;
    int pairIndex(const Position &p) const;
    int pairOfLayers(int top, int bottom) const
    {
        return pairOf[top * int(layerShapes.size()) + bottom];
    }

private:
    void findShapes();
    void findTurns();
    void findSlices();
    std::vector<int> secondPhaseStates() const;
};

// Built on first use, thread-safe.
const ShapeTables &shapeTables();

}  // namespace spinlog::scramble::square1
