#pragma once
// The 3x3x3 cube at the level of its pieces: which corner and edge sits in
// each place and how it is turned there. Places and pieces share one
// numbering: corners URF UFL ULB UBR DFR DLF DBL DRB (0-7), edges UR UF UL UB
// DR DF DL DB FR FL BL BR (0-11). A corner's twist counts clockwise turns of
// its U/D sticker away from the place's U/D face; an edge's flip is 1 when
// its reference sticker is not on the place's reference face.

#include <QString>
#include <array>
#include <cstdint>

namespace spinlog::scramble {

// Faces in the order of the facelet text; a move is face * 3 + (turns - 1)
// with turns 1 (clockwise), 2 (half) or 3 (anticlockwise).
enum Face { U, R, F, D, L, B };
inline constexpr int kMoveCount = 18;
inline constexpr char kFaceLetters[] = "URFDLB";

inline int moveFace(int move)
{
    return move / 3;
}
inline int inverseMove(int move)
{
    return move / 3 * 3 + 2 - move % 3;
}
// "R", "R2", "R'".
QString moveName(int move);
// Moves may follow each other: never the same face twice, and of two
// opposite faces only U before D, R before L, F before B. This keeps out
// "R R" and "R L R" and counts each commuting pair once.
inline bool canFollow(int previousFace, int face)
{
    return previousFace < 0 || (face != previousFace && face + 3 != previousFace);
}

struct CubieCube {
    std::array<std::uint8_t, 8> cp{0, 1, 2, 3, 4, 5, 6, 7};
    std::array<std::uint8_t, 8> co{};
    std::array<std::uint8_t, 12> ep{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::array<std::uint8_t, 12> eo{};

    // This cube followed by OTHER.
    CubieCube operator*(const CubieCube &other) const;
    // What undoes this cube: c * c.inverse() is solved.
    CubieCube inverse() const;
    bool operator==(const CubieCube &) const = default;

    // 54 letters: faces U R F D L B, each row by row as seen from outside
    // (U with B at the top, D with F at the top, the side faces with U at
    // the top); a letter names the face whose centre has that colour.
    QString facelets() const;
};

// The cube after one move from solved.
const CubieCube &moveCube(int move);

// Parity of a permutation of the first N entries (1: odd).
template <std::size_t N>
int permutationParity(const std::array<std::uint8_t, N> &p)
{
    int parity = 0;
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j) parity ^= p[i] > p[j] ? 1 : 0;
    return parity;
}

// Rank of a permutation of N distinct values 0..N-1 (Lehmer code), and back.
int permutationRank(const std::uint8_t *p, int n);
void permutationFromRank(int rank, std::uint8_t *p, int n);

}  // namespace spinlog::scramble
