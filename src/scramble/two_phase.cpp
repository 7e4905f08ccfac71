#include "scramble/two_phase.h"

#include "scramble/breadth_first.h"

#include <algorithm>
#include <cstdint>

namespace spinlog::scramble {

namespace {

constexpr int kTwists = 2187;        // 3^7
constexpr int kFlips = 2048;         // 2^11
constexpr int kSlices = 495;         // places of the middle layer edges, C(12, 4)
constexpr int kCornerPerms = 40320;  // 8!
constexpr int kEdge8Perms = 40320;   // U and D edges among their places, 8!
constexpr int kSlicePerms = 24;      // middle edges among their places, 4!
constexpr int kDSets = 70;           // places of the D edges among the eight, C(8, 4)
// Phase two's moves: U, U2, U', R2, F2, D, D2, D', L2, B2.
constexpr int kPhase2Count = 10;
constexpr int kPhase2Moves[kPhase2Count] = {0, 1, 2, 4, 7, 9, 10, 11, 13, 16};

int binomial(int n, int k)
{
    if (k < 0 || k > n)
        return 0;
    int result = 1;
    for (int i = 1; i <= k; ++i) result = result * (n - k + i) / i;
    return result;
}

int twist(const CubieCube &c)
{
    int value = 0;
    for (int i = 0; i < 7; ++i) value = value * 3 + c.co[i];
    return value;
}

void setTwist(CubieCube &c, int value)
{
    int sum = 0;
    for (int i = 6; i >= 0; --i) {
        c.co[i] = std::uint8_t(value % 3);
        sum += c.co[i];
        value /= 3;
    }
    c.co[7] = std::uint8_t((3 - sum % 3) % 3);
}

int flip(const CubieCube &c)
{
    int value = 0;
    for (int i = 0; i < 11; ++i) value = value * 2 + c.eo[i];
    return value;
}

void setFlip(CubieCube &c, int value)
{
    int sum = 0;
    for (int i = 10; i >= 0; --i) {
        c.eo[i] = std::uint8_t(value % 2);
        sum += c.eo[i];
        value /= 2;
    }
    c.eo[11] = std::uint8_t(sum % 2);
}

// The set of the first PLACES places that hold edges numbered FIRST or
// higher (four of them), ranked so that the solved cube's is 0.
int edgeSet(const std::array<std::uint8_t, 12> &ep, int places, int first)
{
    int value = 0;
    int seen = 0;
    for (int place = places - 1; place >= 0; --place)
        if (ep[place] >= first)
            value += binomial(places - 1 - place, ++seen);
    return value;
}

void setEdgeSet(CubieCube &c, int value, int places, int first)
{
    int left = 4;
    int high = first;
    int low = 0;
    for (int place = 0; place < places; ++place) {
        const int step = binomial(places - 1 - place, left);
        if (left > 0 && value >= step) {
            value -= step;
            --left;
            c.ep[place] = std::uint8_t(high++);
        } else {
            c.ep[place] = std::uint8_t(low++);
        }
    }
}

// Phase one's: where the middle layer edges (FR FL BL BR = 8-11) are.
int slice(const std::array<std::uint8_t, 12> &ep)
{
    return edgeSet(ep, 12, 8);
}

int slicePerm(const std::array<std::uint8_t, 12> &ep)
{
    std::uint8_t p[4];
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(ep[8 + i] - 8);
    return permutationRank(p, 4);
}

// Distances from state 0 over a product of two coordinates, four bits each:
// exact up to 15, which stands for 15 or more.
class Distances {
public:
    template <typename Neighbour>
    Distances(int count, int moves, Neighbour neighbour) : packed_((count + 1) / 2)
    {
        const std::vector<std::uint8_t> exact = breadthFirstDistances(count, moves, neighbour);
        for (int i = 0; i < count; ++i)
            packed_[i / 2] |= std::uint8_t(std::min<int>(exact[i], 15) << (i % 2 * 4));
    }

    int operator[](int i) const { return packed_[i / 2] >> (i % 2 * 4) & 15; }

private:
    std::vector<std::uint8_t> packed_;
};

// A move table from the quarter turns: the half and the anticlockwise turn
// are the quarter turn applied again.
template <typename ApplyQuarter>
std::vector<std::uint16_t> moveTable(int count, ApplyQuarter applyQuarter)
{
    std::vector<std::uint16_t> table(std::size_t(count) * kMoveCount);
    for (int i = 0; i < count; ++i)
        for (int face = 0; face < 6; ++face)
            table[i * kMoveCount + face * 3] = std::uint16_t(applyQuarter(i, face));
    for (int i = 0; i < count; ++i)
        for (int face = 0; face < 6; ++face)
            for (int turn = 1; turn < 3; ++turn) {
                const int before = table[i * kMoveCount + face * 3 + turn - 1];
                table[i * kMoveCount + face * 3 + turn] = table[before * kMoveCount + face * 3];
            }
    return table;
}

// A phase two move table: SET makes a cube with the coordinate, GET reads it.
template <typename Setter, typename Getter>
std::vector<std::uint16_t> phase2Table(int count, Setter set, Getter get)
{
    std::vector<std::uint16_t> table(std::size_t(count) * kPhase2Count);
    for (int i = 0; i < count; ++i) {
        CubieCube c;
        set(c, i);
        for (int m = 0; m < kPhase2Count; ++m)
            table[i * kPhase2Count + m] = std::uint16_t(get(c * moveCube(kPhase2Moves[m])));
    }
    return table;
}

// For moveTable(): the coordinate after a face's quarter turn, through a cube
// that has the coordinate before.
template <typename Setter, typename Getter>
auto quarterTurn(Setter set, Getter get)
{
    return [set, get](int i, int face) {
        CubieCube c;
        set(c, i);
        return get(c * moveCube(face * 3));
    };
}

// Each coordinate: a cube that has it, and its value on a cube.
void setSlice(CubieCube &c, int i)
{
    setEdgeSet(c, i, 12, 8);
}
int sliceOf(const CubieCube &c)
{
    return slice(c.ep);
}
void setCorners(CubieCube &c, int i)
{
    permutationFromRank(i, c.cp.data(), 8);
}
int corners(const CubieCube &c)
{
    return permutationRank(c.cp.data(), 8);
}
void setEdge8(CubieCube &c, int i)
{
    permutationFromRank(i, c.ep.data(), 8);
}
int edge8(const CubieCube &c)
{
    return permutationRank(c.ep.data(), 8);
}
void setSlicePerm(CubieCube &c, int i)
{
    permutationFromRank(i, c.ep.data() + 8, 4);
    for (int k = 8; k < 12; ++k) c.ep[k] = std::uint8_t(c.ep[k] + 8);
}
int slicePermOf(const CubieCube &c)
{
    return slicePerm(c.ep);
}
void setDEdges(CubieCube &c, int i)
{
    setEdgeSet(c, i, 8, 4);
}
int dEdges(const CubieCube &c)
{
    return edgeSet(c.ep, 8, 4);
}
// The same for the D corners (4-7) among the eight corner places.
void setDCorners(CubieCube &c, int i)
{
    setEdgeSet(c, i, 8, 4);
    std::copy_n(c.ep.begin(), 8, c.cp.begin());
}
int dCorners(const CubieCube &c)
{
    std::array<std::uint8_t, 12> places{};
    std::copy_n(c.cp.begin(), 8, places.begin());
    return edgeSet(places, 8, 4);
}

// Distances over the product of coordinates A and B (B the faster), from
// their move tables with MOVES moves. The counts are constants so that the
// divisions become multiplications.
template <int BCount, int Moves>
Distances product(const std::vector<std::uint16_t> &a, const std::vector<std::uint16_t> &b)
{
    const std::uint16_t *aMove = a.data(), *bMove = b.data();
    return Distances(int(a.size() / Moves) * BCount, Moves, [=](int i, int m) {
        return aMove[i / BCount * Moves + m] * BCount + bMove[i % BCount * Moves + m];
    });
}

struct Tables {
    // Move tables, the coordinate after each move: all 18 for phase one's,
    // phase two's 10 for phase two's.
    std::vector<std::uint16_t> twistMove, flipMove, sliceMove;
    std::vector<std::uint16_t> cornerMove, edge8Move, slicePermMove, dEdgesMove, dCornersMove;
    // Phase one's distances.
    Distances twistSlice, flipSlice;
    // Phase two's.
    Distances cornerSlice, edge8Slice, cornerDEdges, edge8DCorners;

    Tables()
        : twistMove(moveTable(kTwists, quarterTurn(setTwist, twist))),
          flipMove(moveTable(kFlips, quarterTurn(setFlip, flip))),
          sliceMove(moveTable(kSlices, quarterTurn(setSlice, sliceOf))),
          cornerMove(phase2Table(kCornerPerms, setCorners, corners)),
          edge8Move(phase2Table(kEdge8Perms, setEdge8, edge8)),
          slicePermMove(phase2Table(kSlicePerms, setSlicePerm, slicePermOf)),
          dEdgesMove(phase2Table(kDSets, setDEdges, dEdges)),
          dCornersMove(phase2Table(kDSets, setDCorners, dCorners)),
          twistSlice(product<kSlices, kMoveCount>(twistMove, sliceMove)),
          flipSlice(product<kSlices, kMoveCount>(flipMove, sliceMove)),
          cornerSlice(product<kSlicePerms, kPhase2Count>(cornerMove, slicePermMove)),
          edge8Slice(product<kSlicePerms, kPhase2Count>(edge8Move, slicePermMove)),
          cornerDEdges(product<kDSets, kPhase2Count>(cornerMove, dEdgesMove)),
          edge8DCorners(product<kDSets, kPhase2Count>(edge8Move, dCornersMove))
    {
    }
};

const Tables &tables()
{
    static const Tables built;
    return built;
}

class Search {
public:
    Search(const CubieCube &cube, int maxLength)
        : t_(tables()), cube_(cube), maxLength_(std::min(maxLength, kMaxLength))
    {
    }

    // The fewest moves phase one can take.
    int start() const
    {
        const int tw = twist(cube_), fl = flip(cube_), sl = slice(cube_.ep);
        return std::max(t_.twistSlice[tw * kSlices + sl], t_.flipSlice[fl * kSlices + sl]);
    }

    // Every phase one of DEPTH moves, each followed by phase two; true with
    // the first solution that fits.
    bool tryDepth(int depth)
    {
        return depth >= start() && depth <= maxLength_ &&
               phase1(twist(cube_), flip(cube_), slice(cube_.ep), 0, depth, -1);
    }

    std::vector<int> solution() const { return std::vector<int>(moves_, moves_ + length_); }

private:
    static constexpr int kMaxLength = 30;

    // Every sequence of exactly TOGO more moves that ends phase one, each
    // followed by phase two; a move is taken only when every table says the
    // goal is still within reach.
    bool phase1(int tw, int fl, int sl, int depth, int togo, int lastFace)
    {
        if (togo == 0)  // only when the cube starts in phase two's group
            return startPhase2(depth, lastFace);
        if (togo == 1) {
            // A last move of phase two's would have ended a shorter phase
            // one, tried already: only a quarter turn of R, F, L or B, and
            // it must reach the goal itself.
            for (int m : {3, 5, 6, 8, 12, 14, 15, 17}) {
                if (!canFollow(lastFace, moveFace(m)) || t_.twistMove[tw * kMoveCount + m] != 0 ||
                    t_.sliceMove[sl * kMoveCount + m] != 0 || t_.flipMove[fl * kMoveCount + m] != 0)
                    continue;
                moves_[depth] = m;
                if (startPhase2(depth + 1, moveFace(m)))
                    return true;
            }
            return false;
        }
        for (int m = 0; m < kMoveCount; ++m) {
            if (!canFollow(lastFace, moveFace(m)))
                continue;
            // The smaller tables first: most moves fail on them.
            const int ntw = t_.twistMove[tw * kMoveCount + m];
            const int nsl = t_.sliceMove[sl * kMoveCount + m];
            if (t_.twistSlice[ntw * kSlices + nsl] >= togo)
                continue;
            const int nfl = t_.flipMove[fl * kMoveCount + m];
            if (t_.flipSlice[nfl * kSlices + nsl] >= togo)
                continue;
            moves_[depth] = m;
            if (phase1(ntw, nfl, nsl, depth + 1, togo - 1, moveFace(m)))
                return true;
        }
        return false;
    }

    struct Phase2 {
        int co, ed, sp, de, dc;  // corners, U/D edges, middle edges, D edge and corner places
    };

    int phase2Distance(const Phase2 &p) const
    {
        return std::max(
            {t_.cornerSlice[p.co * kSlicePerms + p.sp], t_.cornerDEdges[p.co * kDSets + p.de],
             t_.edge8Slice[p.ed * kSlicePerms + p.sp], t_.edge8DCorners[p.ed * kDSets + p.dc]});
    }

    // Phase two from where phase one's moves lead, the shortest within the
    // moves left.
    bool startPhase2(int depth1, int lastFace)
    {
        CubieCube c = cube_;
        for (int i = 0; i < depth1; ++i) c = c * moveCube(moves_[i]);
        const Phase2 p{corners(c), edge8(c), slicePerm(c.ep), dEdges(c), dCorners(c)};
        const int togo = maxLength_ - depth1;
        for (int depth2 = phase2Distance(p); depth2 <= togo; ++depth2)
            if (phase2(p, depth1, depth2, lastFace))
                return true;
        return false;
    }

    // A solution of exactly TOGO more moves, as phase one's search.
    bool phase2(const Phase2 &p, int depth, int togo, int lastFace)
    {
        if (togo == 0) {  // only the solved cube is 0 in every table
            length_ = depth;
            return true;
        }
        for (int i = 0; i < kPhase2Count; ++i) {
            const int m = kPhase2Moves[i];
            if (!canFollow(lastFace, moveFace(m)))
                continue;
            Phase2 n;
            n.co = t_.cornerMove[p.co * kPhase2Count + i];
            n.sp = t_.slicePermMove[p.sp * kPhase2Count + i];
            if (t_.cornerSlice[n.co * kSlicePerms + n.sp] >= togo)
                continue;
            n.de = t_.dEdgesMove[p.de * kPhase2Count + i];
            if (t_.cornerDEdges[n.co * kDSets + n.de] >= togo)
                continue;
            n.ed = t_.edge8Move[p.ed * kPhase2Count + i];
            if (t_.edge8Slice[n.ed * kSlicePerms + n.sp] >= togo)
                continue;
            n.dc = t_.dCornersMove[p.dc * kPhase2Count + i];
            if (t_.edge8DCorners[n.ed * kDSets + n.dc] >= togo)
                continue;
            moves_[depth] = m;
            if (phase2(n, depth + 1, togo - 1, moveFace(m)))
                return true;
        }
        return false;
    }

    const Tables &t_;
    const CubieCube cube_;
    const int maxLength_;
    int moves_[kMaxLength] = {};
    int length_ = 0;
};

// The cube turned a third about its URF-DBL diagonal: seen through it, U
// moves are F moves, R moves U moves, F moves R moves.
const CubieCube kThirdTurn = {{0, 4, 5, 1, 3, 7, 6, 2},
                              {1, 2, 1, 2, 2, 1, 2, 1},
                              {1, 8, 5, 9, 3, 11, 7, 10, 0, 4, 6, 2},
                              {1, 0, 1, 0, 1, 0, 1, 0, 1, 1, 1, 1}};

struct Views {
    CubieCube turn[3], back[3];  // no, one and two third turns, and their inverses
    int move[3][kMoveCount];     // a move made in view K, as a move of the cube
};

const Views &views()
{
    static const Views built = [] {
        Views v;
        for (int k = 0; k < 3; ++k) {
            v.turn[k] = k == 0 ? CubieCube{} : v.turn[k - 1] * kThirdTurn;
            v.back[k] = v.turn[k].inverse();
            for (int m = 0; m < kMoveCount; ++m) {
                const CubieCube seen = v.turn[k] * moveCube(m) * v.back[k];
                int found = 0;
                while (found < kMoveCount - 1 && !(moveCube(found) == seen)) ++found;
                Q_ASSERT(moveCube(found) == seen);
                v.move[k][m] = found;
            }
        }
        return v;
    }();
    return built;
}

}  // namespace

void prepareTwoPhaseTables()
{
    tables();
    views();
}

std::vector<int> solveTwoPhase(const CubieCube &cube, int maxLength)
{
    // The cube seen from three sides and the inverse of each: a solution of
    // any gives one of the cube, and trying all six at each phase-one depth
    // finds one sooner than the cube alone (about a quarter less work).
    const Views &v = views();
    std::vector<Search> searches;
    searches.reserve(6);
    for (int k = 0; k < 3; ++k) {
        const CubieCube seen = v.back[k] * cube * v.turn[k];
        searches.emplace_back(seen, maxLength);
        searches.emplace_back(seen.inverse(), maxLength);
    }
    int first = maxLength;
    for (const Search &search : searches) first = std::min(first, search.start());
    for (int depth = first; depth <= maxLength; ++depth)
        for (int i = 0; i < 6; ++i) {
            if (!searches[i].tryDepth(depth))
                continue;
            std::vector<int> moves = searches[i].solution();
            if (i % 2 == 1) {  // the inverse's solution, backwards and each move undone
                std::reverse(moves.begin(), moves.end());
                for (int &m : moves) m = inverseMove(m);
            }
            for (int &m : moves) m = v.move[i / 2][m];
            return moves;
        }
    return {};
}

}  // namespace spinlog::scramble
