#pragma once
// Exact distances from state 0 over COUNT states, NEIGHBOUR(state, move)
// giving the state after a move. Breadth first: forward from each state of
// the last distance while few are known, then backward from each unknown
// one, which stops at its first neighbour of the last distance. memchr finds
// the states of a layer, which a plain loop over every byte would not do as
// fast.

#include <cstdint>
#include <cstring>
#include <vector>

namespace spinlog::scramble {

template <typename Neighbour>
std::vector<std::uint8_t> breadthFirstDistances(int count, int moves, Neighbour neighbour)
{
    constexpr std::uint8_t unknown = 0xff;
    std::vector<std::uint8_t> depthOf(count, unknown);
    depthOf[0] = 0;
    int known = 1;
    // Every state here is reachable; the bound only keeps a mistake from
    // looping for ever.
    for (std::uint8_t depth = 0; known < count && depth < 30; ++depth) {
        const bool backward = known > count / 2;
        std::uint8_t *const begin = depthOf.data();
        std::uint8_t *const end = begin + count;
        for (std::uint8_t *p = begin;
             (p = static_cast<std::uint8_t *>(
                  std::memchr(p, backward ? unknown : depth, std::size_t(end - p)))) != nullptr;
             ++p) {
            const int i = int(p - begin);
            for (int m = 0; m < moves; ++m) {
                const int next = neighbour(i, m);
                if (backward && depthOf[next] == depth) {
                    *p = std::uint8_t(depth + 1);
                    ++known;
                    break;
                }
                if (!backward && depthOf[next] == unknown) {
                    depthOf[next] = std::uint8_t(depth + 1);
                    ++known;
                }
            }
        }
    }
    return depthOf;
}

}  // namespace spinlog::scramble
