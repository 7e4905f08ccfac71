// The random-move kinds that are not cubes: Megaminx and Clock.

#include "scramble/puzzles.h"
#include "scramble/sticker_puzzle.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace spinlog::scramble {

namespace {

// ---- Megaminx ---------------------------------------------------------

// Faces U F R BR BL L (the upper half, clockwise from the front seen from
// above is F L BL BR R), then D DR DBR B DBL DL; the state names them A to L.
// Normals: U straight up, the upper ring a fifth of a turn apart from the
// front, the lower ring between them.
std::array<Point, 12> faceNormals()
{
    std::array<Point, 12> n;
    const double h = 1 / std::sqrt(5.0), r = 2 / std::sqrt(5.0);
    n[0] = {0, 1, 0};
    n[6] = {0, -1, 0};
    for (int k = 0; k < 5; ++k) {
        const double up = 2 * M_PI * k / 5, down = up + M_PI / 5;
        n[1 + k] = {r * std::sin(up), h, r * std::cos(up)};
        n[7 + k] = {r * std::sin(down), -h, r * std::cos(down)};
    }
    return n;
}

// Each face's stickers: the centre, then five edges and five corners
// clockwise seen from outside, the first edge toward the face the picture
// puts above it (U for the upper ring, D for the lower, F for U, B for D).
struct Megaminx {
    StickerPuzzle puzzle;
    int r, d, u;  // moves: R++, then R--; D++, D--; U, U'
};

Megaminx makeMegaminx()
{
    const std::array<Point, 12> n = faceNormals();
    std::vector<Point> places;
    QString solved;
    for (int f = 0; f < 12; ++f) {
        const int reference = f == 0 ? 1 : f == 6 ? 9 : f < 6 ? 0 : 6;
        // The reference direction along the face, and a quarter turn on clockwise.
        Point e1, e2;
        const double along = dot(n[reference], n[f]);
        for (int c = 0; c < 3; ++c) e1[c] = n[reference][c] - along * n[f][c];
        const double length = std::sqrt(dot(e1, e1));
        for (double &c : e1) c /= length;
        e2 = cross(e1, n[f]);
        places.push_back(n[f]);
        for (int kind = 0; kind < 2; ++kind)
            for (int k = 0; k < 5; ++k) {
                const double angle = 2 * M_PI * k / 5 + kind * M_PI / 5, reach = kind ? 0.62 : 0.45;
                Point p;
                for (int c = 0; c < 3; ++c)
                    p[c] = n[f][c] + reach * (std::cos(angle) * e1[c] + std::sin(angle) * e2[c]);
                places.push_back(p);
            }
        solved += QString(11, QLatin1Char('A' + f));
    }
    // A face's layer: its stickers and the three of each neighbour next to
    // it lie above 0.7 along its normal, no others.
    Megaminx m{StickerPuzzle(places, solved), 0, 0, 0};
    const Point awayFromL{-n[5][0], -n[5][1], -n[5][2]};
    m.r = m.puzzle.addTurn(awayFromL, -0.7, 0.4);
    m.puzzle.addTurn(awayFromL, -0.7, -0.4);
    m.d = m.puzzle.addTurn(n[6], -0.7, 0.4);
    m.puzzle.addTurn(n[6], -0.7, -0.4);
    m.u = m.puzzle.addTurn(n[0], 0.7, 0.2);
    m.puzzle.addTurn(n[0], 0.7, -0.2);
    return m;
}

const Megaminx &megaminx()
{
    static const Megaminx built = makeMegaminx();
    return built;
}

// ---- Clock ------------------------------------------------------------

// Pins UR DR DL UL as the front shows them: the dial at their corner and
// the four front dials they join (3 x 3, row by row).
const int kPinCorner[4] = {2, 8, 6, 0};
const int kPinBlock[4][4] = {{1, 2, 4, 5}, {4, 5, 7, 8}, {3, 4, 6, 7}, {0, 1, 3, 4}};

}  // namespace

QString megaminxScramble(std::mt19937_64 &rng, QString &text)
{
    const Megaminx &m = megaminx();
    std::bernoulli_distribution coin;
    QString state = m.puzzle.solved();
    QStringList moves;
    for (int line = 0; line < 7; ++line) {
        bool back = false;
        for (int k = 0; k < 10; ++k) {
            back = coin(rng);
            m.puzzle.apply(state, (k % 2 ? m.d : m.r) + (back ? 1 : 0));
            moves << QLatin1String(k % 2 ? "D" : "R") + QLatin1String(back ? "--" : "++");
        }
        // As the official program writes them, U follows D++ and U' D--.
        m.puzzle.apply(state, m.u + (back ? 1 : 0));
        moves << QLatin1String(back ? "U'" : "U");
    }
    text = moves.join(QLatin1Char(' '));
    return state;
}

QString clockScramble(std::mt19937_64 &rng, QString &text)
{
    // The pins each move raises (bits for UR DR DL UL), before and after y2.
    static const int kFirst[9] = {1, 2, 4, 8, 9, 3, 6, 12, 15};
    static const int kSecond[5] = {9, 3, 6, 12, 15};
    static const char *const kNames[16] = {"",   "UR", "DR", "R", "DL", "", "D", "",
                                           "UL", "U",  "",   "",  "L",  "", "",  "ALL"};
    std::uniform_int_distribution<int> amount(-5, 6);
    int dial[2][9] = {};  // the side in front at the start, then the other, each as seen
    QStringList moves;
    auto turn = [&](int pins, int front) {
        const int x = amount(rng);
        bool joined[9] = {};
        for (int pin = 0; pin < 4; ++pin) {
            if (!(pins >> pin & 1))
                continue;
            for (int k : kPinBlock[pin]) joined[k] = true;
            // The corner's gear shows on the other side mirrored, turning the other way.
            const int corner = kPinCorner[pin];
            dial[1 - front][corner / 3 * 3 + 2 - corner % 3] -= x;
        }
        for (int k = 0; k < 9; ++k) dial[front][k] += joined[k] ? x : 0;
        moves << QLatin1String(kNames[pins]) + QString::number(std::abs(x)) +
                     QLatin1Char(x < 0 ? '-' : '+');
    };
    for (int pins : kFirst) turn(pins, 0);
    moves << QStringLiteral("y2");
    for (int pins : kSecond) turn(pins, 1);
    text = moves.join(QLatin1Char(' '));
    QString state;
    for (const auto &side : dial)
        for (int d : side) state += QLatin1Char("0123456789AB"[(d % 12 + 12) % 12]);
    return state;
}

}  // namespace spinlog::scramble
