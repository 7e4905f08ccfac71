#pragma once
// Square-1 positions, shared by the solver's two phases.
//
// A layer is 12 slots of 30 degrees, numbered clockwise seen from its own
// side (above for the top, below for the bottom) from the front end of the
// slice line. The slice turns the top's slots 6-11 and the bottom's 0-5,
// top slot 6 + j landing in bottom slot j and back. A corner fills two
// slots; pieces 0-7 are corners, 8-15 edges. Held as the notation holds it
// (the middle layer's short part on the left), a corner lies just clockwise
// of the slice's front end on top and an edge on the bottom, so (1,0)/ and
// (0,-1)/ turn from solved while (-1,0)/ and (0,1)/ jam.

#include <array>
#include <cstdint>

namespace spinlog::scramble::square1 {

using Layer = std::array<std::uint8_t, 12>;
struct Position {
    Layer top, bottom;
    bool middle = false;  // the middle layer turned from solved
};
inline const Position kSolved = {
    {0, 0, 9, 1, 1, 10, 2, 2, 11, 3, 3, 8}, {15, 4, 4, 12, 5, 5, 13, 6, 6, 14, 7, 7}, false};

inline bool cutBefore(const Layer &l, int slot)
{
    return l[(slot + 11) % 12] != l[slot];
}
// Whether the slice can turn: both layers cut at slots 0 and 6.
inline bool canSlice(const Position &p)
{
    return cutBefore(p.top, 0) && cutBefore(p.top, 6) && cutBefore(p.bottom, 0) &&
           cutBefore(p.bottom, 6);
}
// L turned X slots clockwise.
Layer turned(const Layer &l, int x);
void slice(Position &p);
// The second slots of corners as bits: a layer's shape.
int shapeOf(const Layer &l);
// A position of the given layer shapes: corners and edges in order.
Position build(int topMask, int bottomMask);
// The parity of the pieces' order, the top's from slot 0 and then the
// bottom's; and of one layer's alone.
int parity(const Position &p);
int layerParity(const Layer &l);

}  // namespace spinlog::scramble::square1
