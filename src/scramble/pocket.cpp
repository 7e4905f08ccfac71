#include "scramble/pocket.h"

#include "scramble/breadth_first.h"

#include <cstdint>

namespace spinlog::scramble {

namespace {

constexpr int kTwists = 729;  // 3^6: the seventh free corner follows
constexpr int kPerms = 5040;  // 7!
constexpr int kMoves = 9;     // U, R, F in their three amounts: move numbers 0-8
// The places other than DBL's (6), in the order the coordinates read them.
constexpr int kPlaces[7] = {0, 1, 2, 3, 4, 5, 7};

// Corner numbers 0-5 and 7 as 0-6, and back.
std::uint8_t compact(std::uint8_t corner)
{
    return corner == 7 ? 6 : corner;
}
std::uint8_t expand(std::uint8_t corner)
{
    return corner == 6 ? 7 : corner;
}

int perm(const CubieCube &c)
{
    std::uint8_t p[7];
    for (int i = 0; i < 7; ++i) p[i] = compact(c.cp[kPlaces[i]]);
    return permutationRank(p, 7);
}

int twist(const CubieCube &c)
{
    int value = 0;
    for (int i = 0; i < 6; ++i) value = value * 3 + c.co[kPlaces[i]];
    return value;
}

CubieCube fromCoordinates(int permValue, int twistValue)
{
    CubieCube c;
    std::uint8_t p[7];
    permutationFromRank(permValue, p, 7);
    int sum = 0;
    for (int i = 6; i >= 0; --i) {
        c.cp[kPlaces[i]] = expand(p[i]);
        if (i < 6) {
            c.co[kPlaces[i]] = std::uint8_t(twistValue % 3);
            twistValue /= 3;
            sum += c.co[kPlaces[i]];
        }
    }
    c.co[kPlaces[6]] = std::uint8_t((3 - sum % 3) % 3);
    return c;
}

struct Tables {
    std::vector<std::uint16_t> permMove, twistMove;  // x kMoves
    std::vector<std::uint8_t> distance;              // perm * kTwists + twist
    Tables();
};

Tables::Tables() : permMove(kPerms * kMoves), twistMove(kTwists * kMoves)
{
    for (int i = 0; i < kPerms; ++i) {
        const CubieCube c = fromCoordinates(i, 0);
        for (int m = 0; m < kMoves; ++m)
            permMove[i * kMoves + m] = std::uint16_t(perm(c * moveCube(m)));
    }
    for (int i = 0; i < kTwists; ++i) {
        const CubieCube c = fromCoordinates(0, i);
        for (int m = 0; m < kMoves; ++m)
            twistMove[i * kMoves + m] = std::uint16_t(twist(c * moveCube(m)));
    }
    distance = breadthFirstDistances(kPocketStates, kMoves, [this](int i, int m) {
        return permMove[i / kTwists * kMoves + m] * kTwists + twistMove[i % kTwists * kMoves + m];
    });
}

const Tables &tables()
{
    static const Tables built;
    return built;
}

}  // namespace

void preparePocketTables()
{
    tables();
}

CubieCube pocketState(int index)
{
    return fromCoordinates(index / kTwists, index % kTwists);
}

int pocketDistance(int index)
{
    return tables().distance[index];
}

std::vector<int> solvePocket(int index)
{
    const Tables &t = tables();
    std::vector<int> moves;
    int p = index / kTwists, tw = index % kTwists;
    // Each step takes the first move that comes one closer.
    for (int d = t.distance[index]; d > 0; --d)
        for (int m = 0; m < kMoves; ++m) {
            const int np = t.permMove[p * kMoves + m], nt = t.twistMove[tw * kMoves + m];
            if (t.distance[np * kTwists + nt] == d - 1) {
                moves.push_back(m);
                p = np;
                tw = nt;
                break;
            }
        }
    return moves;
}

}  // namespace spinlog::scramble
