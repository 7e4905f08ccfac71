#include "scramble/square1_shape.h"

#include <algorithm>
#include <bit>

namespace spinlog::scramble::square1 {

namespace {

// Distances from a set of targets, each step found by EXPAND (state, reach).
template <typename Expand>
std::vector<std::uint8_t> distancesFrom(int count, const std::vector<int> &targets, Expand expand)
{
    std::vector<std::uint8_t> depth(count, 0xff);
    std::vector<int> layer;
    for (int t : targets)
        if (depth[t] != 0) {
            depth[t] = 0;
            layer.push_back(t);
        }
    for (std::uint8_t d = 0; !layer.empty(); ++d) {
        std::vector<int> next;
        for (int t : layer)
            expand(t, [&](int s) {
                if (depth[s] == 0xff) {
                    depth[s] = std::uint8_t(d + 1);
                    next.push_back(s);
                }
            });
        layer = std::move(next);
    }
    return depth;
}

// Every turn of PAIR's layers that leaves it cuttable: visit(pair after,
// parity change).
template <typename Visit>
void eachTurn(const ShapeTables &t, int pair, Visit visit)
{
    const auto [top, bottom] = t.shapes[pair];
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 12; ++y)
            if (t.turnTo[top][x] >= 0 && t.turnTo[bottom][y] >= 0)
                visit(t.pairOfLayers(t.turnTo[top][x], t.turnTo[bottom][y]),
                      t.turnFlip[top][x] ^ t.turnFlip[bottom][y]);
}

}  // namespace

ShapeTables::ShapeTables()
{
    findShapes();
    findTurns();
    findSlices();
    // A step leads from a state's slice partner to every turn of it.
    distance = distancesFrom(int(shapes.size()) * 2, secondPhaseStates(), [&](int s, auto reach) {
        const int pair = sliceTo[s / 2], par = s % 2 ^ sliceFlip[s / 2];
        eachTurn(*this, pair, [&](int to, int flip) { reach(to * 2 + (par ^ flip)); });
    });
}

int ShapeTables::layerIndex(int mask) const
{
    return int(std::lower_bound(layerShapes.begin(), layerShapes.end(), mask) -
               layerShapes.begin());
}

int ShapeTables::pairIndex(const Position &p) const
{
    return pairOfLayers(layerIndex(shapeOf(p.top)), layerIndex(shapeOf(p.bottom)));
}

void ShapeTables::findShapes()
{
    for (int mask = 0; mask < 4096; ++mask) {
        // No two second halves together, none at the cuts.
        const bool ok = !(mask & 1) && !(mask >> 6 & 1) && !(mask & (mask << 1 | mask >> 11));
        if (ok)
            layerShapes.push_back(mask);
    }
    const int layers = int(layerShapes.size());
    pairOf.assign(layers * layers, -1);
    for (int t = 0; t < layers; ++t)
        for (int b = 0; b < layers; ++b)
            if (std::popcount(unsigned(layerShapes[t])) + std::popcount(unsigned(layerShapes[b])) ==
                8) {
                pairOf[t * layers + b] = int(shapes.size());
                shapes.push_back({t, b});
            }
}

void ShapeTables::findTurns()
{
    turnTo.resize(layerShapes.size());
    turnFlip.resize(layerShapes.size());
    for (std::size_t t = 0; t < layerShapes.size(); ++t) {
        // A turn reorders the layer's own pieces only.
        Layer l;
        for (int i = 0, piece = 0; i < 12; ++i)
            l[i] = std::uint8_t(layerShapes[t] >> i & 1 ? piece - 1 : piece++);
        for (int x = 0; x < 12; ++x) {
            const Layer r = turned(l, x);
            const bool cut = cutBefore(r, 0) && cutBefore(r, 6);
            turnTo[t][x] = std::int16_t(cut ? layerIndex(shapeOf(r)) : -1);
            turnFlip[t][x] = std::uint8_t(layerParity(l) ^ layerParity(r));
        }
    }
}

void ShapeTables::findSlices()
{
    for (const auto &[t, b] : shapes) {
        Position p = build(layerShapes[t], layerShapes[b]);
        const int before = parity(p);
        slice(p);
        sliceTo.push_back(pairIndex(p));
        sliceFlip.push_back(std::uint8_t(before ^ parity(p)));
    }
}

// Cube shape with the parity the second phase keeps: what it reaches from
// solved by its own moves (turns keeping the shape, slices when aligned).
std::vector<int> ShapeTables::secondPhaseStates() const
{
    const int cubeE = layerIndex(0b100100100100), cubeC = layerIndex(0b010010010010);
    auto isCube = [&](int pair) {
        return (shapes[pair].first == cubeE || shapes[pair].first == cubeC) &&
               (shapes[pair].second == cubeE || shapes[pair].second == cubeC);
    };
    std::vector<int> goals{pairIndex(kSolved) * 2 + parity(kSolved)};
    std::vector<bool> seen(shapes.size() * 2);
    seen[goals[0]] = true;
    for (std::size_t i = 0; i < goals.size(); ++i) {
        const int pair = goals[i] / 2, par = goals[i] % 2;
        std::vector<int> next;
        eachTurn(*this, pair, [&](int to, int flip) {
            if (isCube(to))
                next.push_back(to * 2 + (par ^ flip));
        });
        if (shapes[pair].first == shapes[pair].second)
            next.push_back(sliceTo[pair] * 2 + (par ^ sliceFlip[pair]));
        for (int n : next)
            if (!seen[n]) {
                seen[n] = true;
                goals.push_back(n);
            }
    }
    return goals;
}

const ShapeTables &shapeTables()
{
    static const ShapeTables built;
    return built;
}

}  // namespace spinlog::scramble::square1
