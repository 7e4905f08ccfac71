#include "scramble/cubie_cube.h"

namespace spinlog::scramble {

namespace {

enum Corner { URF, UFL, ULB, UBR, DFR, DLF, DBL, DRB };
enum Edge { UR, UF, UL, UB, DR, DF, DL, DB, FR, FL, BL, BR };

// Each face's clockwise quarter turn, as the piece that comes to each place.
// clang-format off
const CubieCube kQuarterTurns[6] = {
    {{UBR, URF, UFL, ULB, DFR, DLF, DBL, DRB}, {0, 0, 0, 0, 0, 0, 0, 0},
     {UB, UR, UF, UL, DR, DF, DL, DB, FR, FL, BL, BR}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {{DFR, UFL, ULB, URF, DRB, DLF, DBL, UBR}, {2, 0, 0, 1, 1, 0, 0, 2},
     {FR, UF, UL, UB, BR, DF, DL, DB, DR, FL, BL, UR}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {{UFL, DLF, ULB, UBR, URF, DFR, DBL, DRB}, {1, 2, 0, 0, 2, 1, 0, 0},
     {UR, FL, UL, UB, DR, FR, DL, DB, UF, DF, BL, BR}, {0, 1, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0}},
    {{URF, UFL, ULB, UBR, DLF, DBL, DRB, DFR}, {0, 0, 0, 0, 0, 0, 0, 0},
     {UR, UF, UL, UB, DF, DL, DB, DR, FR, FL, BL, BR}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {{URF, ULB, DBL, UBR, DFR, UFL, DLF, DRB}, {0, 1, 2, 0, 0, 2, 1, 0},
     {UR, UF, BL, UB, DR, DF, FL, DB, FR, UL, DL, BR}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {{URF, UFL, UBR, DRB, DFR, DLF, ULB, DBL}, {0, 0, 1, 2, 0, 0, 2, 1},
     {UR, UF, UL, BR, DR, DF, DL, BL, FR, FL, UB, DB}, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 1}},
};

// Facelet numbers (face * 9 + row * 3 + column) of each place, the U/D
// sticker first and then clockwise; for edges the reference sticker first.
const int kCornerFacelets[8][3] = {
    {8, 9, 20}, {6, 18, 38}, {0, 36, 47}, {2, 45, 11},
    {29, 26, 15}, {27, 44, 24}, {33, 53, 42}, {35, 17, 51}};
const int kEdgeFacelets[12][2] = {
    {5, 10}, {7, 19}, {3, 37}, {1, 46}, {32, 16}, {28, 25},
    {30, 43}, {34, 52}, {23, 12}, {21, 41}, {50, 39}, {48, 14}};
// clang-format on

std::array<CubieCube, kMoveCount> makeMoves()
{
    std::array<CubieCube, kMoveCount> moves;
    for (int face = 0; face < 6; ++face) {
        CubieCube cube;
        for (int turns = 0; turns < 3; ++turns) {
            cube = cube * kQuarterTurns[face];
            moves[face * 3 + turns] = cube;
        }
    }
    return moves;
}

}  // namespace

QString moveName(int move)
{
    static const char *const suffix[] = {"", "2", "'"};
    return QLatin1Char(kFaceLetters[moveFace(move)]) + QLatin1String(suffix[move % 3]);
}

CubieCube CubieCube::operator*(const CubieCube &other) const
{
    CubieCube result;
    for (int i = 0; i < 8; ++i) {
        result.cp[i] = cp[other.cp[i]];
        result.co[i] = std::uint8_t((co[other.cp[i]] + other.co[i]) % 3);
    }
    for (int i = 0; i < 12; ++i) {
        result.ep[i] = ep[other.ep[i]];
        result.eo[i] = std::uint8_t(eo[other.ep[i]] ^ other.eo[i]);
    }
    return result;
}

CubieCube CubieCube::inverse() const
{
    CubieCube result;
    for (int i = 0; i < 8; ++i) {
        result.cp[cp[i]] = std::uint8_t(i);
        result.co[cp[i]] = std::uint8_t((3 - co[i]) % 3);
    }
    for (int i = 0; i < 12; ++i) {
        result.ep[ep[i]] = std::uint8_t(i);
        result.eo[ep[i]] = eo[i];
    }
    return result;
}

QString CubieCube::facelets() const
{
    QString text(54, QLatin1Char('?'));
    for (int face = 0; face < 6; ++face) text[face * 9 + 4] = QLatin1Char(kFaceLetters[face]);
    for (int place = 0; place < 8; ++place)
        for (int n = 0; n < 3; ++n) {
            // The piece's own sticker n, seen through its twist.
            const int home = kCornerFacelets[cp[place]][n];
            text[kCornerFacelets[place][(n + co[place]) % 3]] = QLatin1Char(kFaceLetters[home / 9]);
        }
    for (int place = 0; place < 12; ++place)
        for (int n = 0; n < 2; ++n) {
            const int home = kEdgeFacelets[ep[place]][n];
            text[kEdgeFacelets[place][(n + eo[place]) % 2]] = QLatin1Char(kFaceLetters[home / 9]);
        }
    return text;
}

const CubieCube &moveCube(int move)
{
    static const std::array<CubieCube, kMoveCount> moves = makeMoves();
    return moves[move];
}

int permutationRank(const std::uint8_t *p, int n)
{
    int rank = 0;
    for (int i = 0; i < n; ++i) {
        int smaller = 0;
        for (int j = i + 1; j < n; ++j) smaller += p[j] < p[i] ? 1 : 0;
        rank = rank * (n - i) + smaller;
    }
    return rank;
}

void permutationFromRank(int rank, std::uint8_t *p, int n)
{
    // Digits of the mixed-radix rank, last place first.
    int digits[12];
    for (int i = n - 1; i >= 0; --i) {
        digits[i] = rank % (n - i);
        rank /= n - i;
    }
    bool used[12] = {};
    for (int i = 0; i < n; ++i) {
        // The digit-th smallest value not used yet.
        int value = 0;
        for (int skip = digits[i];; ++value) {
            if (used[value])
                continue;
            if (skip-- == 0)
                break;
        }
        used[value] = true;
        p[i] = std::uint8_t(value);
    }
}

}  // namespace spinlog::scramble
