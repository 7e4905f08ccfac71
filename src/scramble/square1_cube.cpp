#include "scramble/square1_cube.h"

#include "scramble/breadth_first.h"
#include "scramble/cubie_cube.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace spinlog::scramble::square1 {

namespace {

constexpr int kPerms = 40320;  // 8!
constexpr int kForms = 2520;   // 8! / 16: the orders but for the layers' turns
constexpr int kTracked = 3;    // edges 0 .. kTracked - 1 of the top
constexpr int kPlaces = 336;   // 8 * 7 * 6: where they are

using Order = std::array<std::uint8_t, 8>;

Order unranked(int rank)
{
    Order p;
    permutationFromRank(rank, p.data(), 8);
    return p;
}

int ranked(const Order &p)
{
    return permutationRank(p.data(), 8);
}

// PAIRS = top * 4 + bottom: the top's places top, top + 1 swapped with the
// bottom's bottom, bottom + 1 (each half counted round).
Order pairSwapped(Order p, int pairs)
{
    const int i = pairs / 4, j = pairs % 4;
    std::swap(p[i], p[4 + j]);
    std::swap(p[(i + 1) % 4], p[4 + (j + 1) % 4]);
    return p;
}

// Each layer's four turned by a quarter TURNS / 4 and TURNS % 4 times: the
// place k then holds what was at k + turns.
Order rotated(const Order &p, int turns)
{
    Order r;
    for (int k = 0; k < 4; ++k) {
        r[k] = p[(k + turns / 4) % 4];
        r[4 + k] = p[4 + (k + turns % 4) % 4];
    }
    return r;
}

int inverseTurns(int turns)
{
    return (4 - turns / 4) % 4 * 4 + (4 - turns % 4) % 4;
}

// Where pieces 0 .. kTracked - 1 are, each counted among the places left.
int placesOf(const Order &p)
{
    int index = 0, used = 0;
    for (int piece = 0; piece < kTracked; ++piece) {
        const int at = int(std::find(p.begin(), p.end(), piece) - p.begin());
        index = index * (8 - piece) + at - std::popcount(unsigned(used) & ((1u << at) - 1));
        used |= 1 << at;
    }
    return index;
}

}  // namespace

Rings ringsOf(const Position &p)
{
    Rings r;
    for (auto [layer, ring] : {std::pair{&p.top, &r.top}, std::pair{&p.bottom, &r.bottom}}) {
        int slot = 0;
        while ((*layer)[slot] >= 8 || !cutBefore(*layer, slot)) ++slot;
        for (int k = 0; k < 8; ++k) {
            (*ring)[k] = (*layer)[slot % 12];
            slot += (*ring)[k] < 8 ? 2 : 1;
        }
    }
    return r;
}

CubeTables::CubeTables()
{
    for (int s = 0, n = 0; s < 8; ++s)
        for (int t = s % 2; t < 8; t += 2, ++n) {
            const int opposite = (s + 4) % 8 * 4 + (t + 4) % 8 / 2;
            steps_[n] = {std::uint8_t(s), std::uint8_t(t),
                         std::uint8_t((s + 1) / 2 % 4 * 4 + (t + 1) / 2 % 4),
                         std::uint8_t(s / 2 * 4 + t / 2), std::uint8_t(opposite)};
        }
    const Rings solved = ringsOf(kSolved);
    for (int k = 0; k < 8; ++k) {
        label_[(k < 4 ? solved.top : solved.bottom)[k % 4 * 2]] = std::uint8_t(k);
        label_[(k < 4 ? solved.top : solved.bottom)[k % 4 * 2 + 1]] = std::uint8_t(k);
    }
    findPermutations();
    findPlaces();
    findDistances();
}

Cube CubeTables::cubeOf(const Rings &r, bool middle) const
{
    Order corners, edges;
    for (int k = 0; k < 8; ++k) {
        const Ring &ring = k < 4 ? r.top : r.bottom;
        corners[k] = label_[ring[k % 4 * 2]];
        edges[k] = label_[ring[k % 4 * 2 + 1]];
    }
    return {ranked(corners), ranked(edges), middle ? 1 : 0};
}

int CubeTables::stepAtSlice(const Position &p, const Rings &r) const
{
    const int s = int(std::find(r.top.begin(), r.top.end(), p.top[6]) - r.top.begin());
    const int t = int(std::find(r.bottom.begin(), r.bottom.end(), p.bottom[0]) - r.bottom.begin());
    return s % 2 == t % 2 ? s * 4 + t / 2 : -1;
}

int CubeTables::lookup(int corners, int edges, int middle) const
{
    const int places = placesRotated_[toCanonical_[corners]][places_[edges]];
    return distance_[(canonical_[corners] * kPlaces + places) * 2 + middle];
}

bool CubeTables::beyond(const Cube &c, int togo) const
{
    if (lookup(c.corners, c.edges, c.middle) > togo ||
        lookup(c.edges, rolesSwapped_[c.corners], c.middle) > togo)
        return true;
    const int corners = overturned_[c.corners], edges = overturned_[c.edges];
    return lookup(corners, edges, c.middle) > togo ||
           lookup(edges, rolesSwapped_[corners], c.middle) > togo;
}

int CubeTables::bound(const Cube &c) const
{
    int most = 0;
    while (beyond(c, most)) ++most;
    return most;
}

bool CubeTables::solved(const Cube &c) const
{
    return c.middle == 0 && canonical_[c.corners] == 0 &&
           c.edges == solvedEdges_[toCanonical_[c.corners]];
}

int CubeTables::form(const Cube &c) const
{
    const int edges = ranked(rotated(unranked(c.edges), toCanonical_[c.corners]));
    return (canonical_[c.corners] * kPerms + edges) * 2 + c.middle;
}

// The pairs swapped, the canonical forms, and the puzzle's symmetries: the
// rings read one piece on (corners and edges change parts; the pieces
// renamed so solved stays solved) and the layers changed over.
void CubeTables::findPermutations()
{
    for (auto &table : swapped_) table.resize(kPerms);
    toCanonical_.resize(kPerms);
    canonical_.resize(kPerms);
    rolesSwapped_.resize(kPerms);
    overturned_.resize(kPerms);
    for (int rank = 0; rank < kPerms; ++rank) {
        const Order p = unranked(rank);
        for (int pairs = 0; pairs < 16; ++pairs)
            swapped_[pairs][rank] = std::uint16_t(ranked(pairSwapped(p, pairs)));
        const int top = int(std::min_element(p.begin(), p.begin() + 4) - p.begin());
        const int bottom = int(std::min_element(p.begin() + 4, p.end()) - p.begin()) - 4;
        toCanonical_[rank] = std::uint8_t(top * 4 + bottom);
        if (toCanonical_[rank] == 0) {
            canonical_[rank] = std::uint16_t(canonicalRank_.size());
            canonicalRank_.push_back(std::uint16_t(rank));
        }
        Order swapped, over;
        for (int k = 0; k < 8; ++k) {
            const int next = p[k / 4 * 4 + (k + 1) % 4];
            swapped[k] = std::uint8_t(next / 4 * 4 + (next + 3) % 4);
            over[k] = std::uint8_t(p[(k + 4) % 8] ^ 4);
        }
        rolesSwapped_[rank] = std::uint16_t(ranked(swapped));
        overturned_[rank] = std::uint16_t(ranked(over));
    }
    for (int rank = 0; rank < kPerms; ++rank)
        canonical_[rank] = canonical_[ranked(rotated(unranked(rank), toCanonical_[rank]))];
    for (int turns = 0; turns < 16; ++turns)
        solvedEdges_[turns] = ranked(rotated(unranked(0), inverseTurns(turns)));
}

void CubeTables::findPlaces()
{
    places_.resize(kPerms);
    std::vector<int> sample(kPlaces, -1);
    for (int rank = 0; rank < kPerms; ++rank) {
        places_[rank] = std::uint16_t(placesOf(unranked(rank)));
        if (sample[places_[rank]] < 0)
            sample[places_[rank]] = rank;
    }
    for (int m = 0; m < 16; ++m) {
        placesSwapped_[m].resize(kPlaces);
        placesRotated_[m].resize(kPlaces);
        for (int x = 0; x < kPlaces; ++x) {
            placesSwapped_[m][x] = places_[swapped_[m][sample[x]]];
            placesRotated_[m][x] = std::uint16_t(placesOf(rotated(unranked(sample[x]), m)));
        }
    }
}

// Breadth first over the canonical forms: a step from a form reaches the
// form of the order it makes, the tracked edges' places turned with it.
void CubeTables::findDistances()
{
    distance_ = breadthFirstDistances(kForms * kPlaces * 2, kCubeSteps, [this](int i, int n) {
        const CubeStep &s = steps_[n];
        const int corners = swapped_[s.corners][canonicalRank_[i / 2 / kPlaces]];
        const int places = placesSwapped_[s.edges][i / 2 % kPlaces];
        return (canonical_[corners] * kPlaces + placesRotated_[toCanonical_[corners]][places]) * 2 +
               (1 - i % 2);
    });
}

const CubeTables &cubeTables()
{
    static const CubeTables built;
    return built;
}

}  // namespace spinlog::scramble::square1
