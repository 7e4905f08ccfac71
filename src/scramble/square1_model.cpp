#include "scramble/square1_model.h"

#include "scramble/cubie_cube.h"

#include <utility>

namespace spinlog::scramble::square1 {

Layer turned(const Layer &l, int x)
{
    Layer r;
    for (int i = 0; i < 12; ++i) r[(i + x) % 12] = l[i];
    return r;
}

void slice(Position &p)
{
    for (int j = 0; j < 6; ++j) std::swap(p.top[6 + j], p.bottom[j]);
    p.middle = !p.middle;
}

int shapeOf(const Layer &l)
{
    int mask = 0;
    for (int i = 0; i < 12; ++i) mask |= (l[i] == l[(i + 11) % 12] ? 1 : 0) << i;
    return mask;
}

Position build(int topMask, int bottomMask)
{
    Position p;
    int corner = 0, edge = 8;
    for (auto [layer, mask] : {std::pair{&p.top, topMask}, std::pair{&p.bottom, bottomMask}})
        for (int i = 0; i < 12; ++i) {
            const bool second = mask >> i & 1, first = mask >> ((i + 1) % 12) & 1;
            (*layer)[i] = std::uint8_t(second ? corner - 1 : first ? corner++ : edge++);
        }
    return p;
}

int parity(const Position &p)
{
    std::array<std::uint8_t, 16> seq{};
    int n = 0;
    for (const Layer *l : {&p.top, &p.bottom})
        for (int i = 0; i < 12; ++i)
            if (cutBefore(*l, i))
                seq[n++] = (*l)[i];
    return permutationParity(seq);
}

int layerParity(const Layer &l)
{
    int result = 0;
    for (int i = 0; i < 12; ++i)
        for (int j = i + 1; j < 12; ++j)
            result ^= cutBefore(l, i) && cutBefore(l, j) && l[i] > l[j] ? 1 : 0;
    return result;
}

}  // namespace spinlog::scramble::square1
