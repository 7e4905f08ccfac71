#include "base/settings.h"
#include "scramble/scramble.h"
#include "scramble/scramble_board.h"
#include "scramble/scramble_command.h"
#include "scramble/scramble_source.h"
#include "support/test_main.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <utility>

using namespace spinlog;

namespace {

// The tests' own puzzles, apart from the generators' code: sticker places
// in the order of the state text, worked out from the notation's geometry;
// a move turns the stickers beyond a cut about an axis.
using Vec = std::array<double, 3>;
Vec plus(const Vec &a, const Vec &b, double k)
{
    return {a[0] + k * b[0], a[1] + k * b[1], a[2] + k * b[2]};
}
double dot(const Vec &a, const Vec &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
// V turned counter-clockwise by DEGREES seen from outside along AXIS.
Vec rotated(const Vec &v, Vec axis, double degrees)
{
    axis = plus({}, axis, 1 / std::sqrt(dot(axis, axis)));
    const double a = degrees * M_PI / 180;
    return plus(plus(plus({}, v, std::cos(a)), cross(axis, v), std::sin(a)), axis,
                dot(axis, v) * (1 - std::cos(a)));
}

struct Model {
    std::vector<Vec> places;
    QString solved;
    std::map<QString, std::vector<int>> moves;  // where each place's sticker goes

    // TOKEN turns the stickers beyond CUT along AXIS clockwise by DEGREES.
    void add(const QString &token, const Vec &axis, double cut, double degrees)
    {
        std::vector<int> to(places.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            const Vec p =
                dot(places[i], axis) > cut ? rotated(places[i], axis, -degrees) : places[i];
            const auto nearest =
                std::min_element(places.begin(), places.end(), [&](auto &a, auto &b) {
                    return dot(plus(a, p, -1), plus(a, p, -1)) <
                           dot(plus(b, p, -1), plus(b, p, -1));
                });
            to[i] = int(nearest - places.begin());
        }
        moves[token] = to;
    }
    // STATE after the moves of TEXT; empty on a move this puzzle lacks.
    QString apply(QString state, const QString &text) const
    {
        for (const QString &token : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const auto move = moves.find(token);
            if (move == moves.end())
                return {};
            QString next = state;
            for (std::size_t i = 0; i < move->second.size(); ++i) next[move->second[i]] = state[i];
            state = next;
        }
        return state;
    }
};

// Faces U R F D L B: the outward normal, and what is at the top as the state
// reads the face from outside (B for U, F for D, else U).
const Vec kNormal[6] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {-1, 0, 0}, {0, 0, -1}};
const Vec kTop[6] = {{0, 0, -1}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
const QString kFaces = QStringLiteral("URFDLB");
const char *const kAmounts[3] = {"", "2", "'"};

// An N-cube in doubled coordinates (it spans -N..N), outer and wide turns.
Model cube(int n)
{
    Model m;
    for (int f = 0; f < 6; ++f)
        for (int row = 0; row < n; ++row)
            for (int col = 0; col < n; ++col) {
                m.places.push_back(plus(plus(plus({}, kNormal[f], n), kTop[f], n - 1 - 2 * row),
                                        cross(kTop[f], kNormal[f]), 2 * col - n + 1));
                m.solved += kFaces[f];
            }
    for (int f = 0; f < 6; ++f)
        for (int layers = 1; layers <= std::max(2, n / 2) && layers < n; ++layers)
            for (int q = 0; q < 3; ++q)
                m.add((layers > 2 ? QString::number(layers) : QString()) + kFaces[f] +
                          (layers > 1 ? "w" : "") + kAmounts[q],
                      kNormal[f], n - 2 * layers, 90 * (q + 1));
    return m;
}

// Skewb: each face's centre, then its corners top left, top right, bottom
// right, bottom left; R U L B turn about the corners DRB ULB DFL DBL.
Model skewb()
{
    Model m;
    for (int f = 0; f < 6; ++f) {
        m.places.push_back(kNormal[f]);
        for (auto [right, down] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
            m.places.push_back(plus(plus(kNormal[f], cross(kTop[f], kNormal[f]), 0.6 * right),
                                    kTop[f], -0.6 * down));
        m.solved += QString(5, kFaces[f]);
    }
    const Vec axes[4] = {{1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}, {-1, -1, -1}};
    for (int k = 0; k < 4; ++k)
        for (int q : {1, -1})
            m.add(QLatin1Char("RULB"[k]) + QLatin1String(q < 0 ? "'" : ""), axes[k], 0, 120 * q);
    return m;
}

// Pyraminx: vertices U (top), L, R (front), B (back); each face as drawn:
// its point, then its left and right corner; rows from the point.
const Vec kTips[4] = {{0, 3, 0},
                      {-std::sqrt(6.0), -1, std::sqrt(2.0)},
                      {std::sqrt(6.0), -1, std::sqrt(2.0)},
                      {0, -1, -2 * std::sqrt(2.0)}};
Model pyraminx()
{
    const int faces[4][3] = {{0, 1, 2}, {1, 3, 0}, {2, 0, 3}, {3, 1, 2}};
    Model m;
    for (int f = 0; f < 4; ++f) {
        auto at = [&](double i, double j) {
            const Vec &a = kTips[faces[f][0]], &l = kTips[faces[f][1]], &r = kTips[faces[f][2]];
            return plus(plus(a, plus(l, a, -1), i / 3), plus(r, l, -1), j / 3);
        };
        for (int row = 0; row < 3; ++row)
            for (int k = 0; k <= 2 * row; ++k)  // the centre of the small triangle
                m.places.push_back(k % 2 ? at(row + 1.0 / 3, k / 2 + 2.0 / 3)
                                         : at(row + 2.0 / 3, k / 2 + 1.0 / 3));
        m.solved += QString(9, QLatin1Char("FLRD"[f]));
    }
    for (int k = 0; k < 4; ++k)
        for (int q : {1, -1}) {
            const QString prime = q < 0 ? "'" : "";
            m.add(QLatin1Char("ULRB"[k]) + prime, kTips[k], 1, 120 * q);  // two layers: a third in
            m.add(QLatin1Char("ulrb"[k]) + prime, kTips[k], 5, 120 * q);  // the tip
        }
    return m;
}

// Megaminx: U up, F in front, the upper ring counter-clockwise from F seen
// from above (F R BR BL L), then D and the faces opposite BL L F R BR.
Model megaminx()
{
    Vec n[12];
    n[0] = {0, 1, 0};
    for (int k = 0; k < 5; ++k)
        n[1 + k] = rotated({0, 1 / std::sqrt(5.0), 2 / std::sqrt(5.0)}, n[0], 72 * k);
    const int opposite[6] = {0, 4, 5, 1, 2, 3};
    for (int k = 0; k < 6; ++k) n[6 + k] = plus({}, n[opposite[k]], -1);
    Model m;
    for (int f = 0; f < 12; ++f) {
        const Vec &toward = n[f == 0 ? 1 : f == 6 ? 9 : f < 6 ? 0 : 6];
        const Vec ref = plus(toward, n[f], -dot(toward, n[f]));
        m.places.push_back(n[f]);
        for (int k = 0; k < 10; ++k)
            m.places.push_back(plus(n[f], rotated(ref, n[f], -72 * (k % 5) - (k < 5 ? 0 : 36)),
                                    (k < 5 ? 0.4 : 0.6) / std::sqrt(dot(ref, ref))));
        m.solved += QString(11, QLatin1Char('A' + f));
    }
    for (int q : {1, -1}) {
        const QString sign = q > 0 ? "++" : "--";
        m.add("R" + sign, plus({}, n[5], -1), -0.7, 144 * q);  // all but L's layer
        m.add("D" + sign, n[6], -0.7, 144 * q);                // all but U's
        m.add(q > 0 ? "U" : "U'", n[0], 0.7, 72 * q);
    }
    return m;
}

// Square-1 as the state names it; empty when a slice cannot turn.
QString square1(const QString &text)
{
    QString top = "AAJBBKCCLDDI", bottom = "PEEMFFNGGOHH";
    bool middle = false;
    const QRegularExpression move(QStringLiteral("^(?:\\((-?\\d),(-?\\d)\\))?(/?)$"));
    for (const QString &token : text.split(QLatin1Char(' '))) {
        const QRegularExpressionMatch m = move.match(token);
        const int x = m.captured(1).toInt(), y = m.captured(2).toInt();
        if (!m.hasMatch() || token.isEmpty() || x < -5 || x > 6 || y < -5 || y > 6 ||
            (!m.captured(1).isEmpty() && x == 0 && y == 0))
            return {};
        top = top.right((x + 12) % 12) + top.left(12 - (x + 12) % 12);
        bottom = bottom.right((y + 12) % 12) + bottom.left(12 - (y + 12) % 12);
        if (m.captured(3).isEmpty())
            continue;
        for (const QString &l : {top, bottom})
            if (l[0] == l[11] || l[5] == l[6])
                return {};
        const QString half = top.mid(6);
        top = top.left(6) + bottom.left(6);
        bottom = half + bottom.mid(6);
        middle = !middle;
    }
    return top + bottom + (middle ? "1" : "0");
}

// Clock: the hours of both sides, the one in front at the start first.
QString clock(const QString &text)
{
    int hours[2][9] = {}, front = 0;
    // Pins UR DR DL UL: the four dials around each, its corner dial.
    const int around[4][4] = {{1, 2, 4, 5}, {4, 5, 7, 8}, {3, 4, 6, 7}, {0, 1, 3, 4}};
    const int corner[4] = {2, 8, 6, 0};
    const std::map<QString, std::vector<int>> raised = {
        {"UR", {0}},   {"DR", {1}},   {"DL", {2}},   {"UL", {3}},          {"U", {0, 3}},
        {"R", {0, 1}}, {"D", {1, 2}}, {"L", {2, 3}}, {"ALL", {0, 1, 2, 3}}};
    for (const QString &token : text.split(QLatin1Char(' '))) {
        if (token == QLatin1String("y2")) {
            front = 1 - front;
            continue;
        }
        const int x = token.right(2).left(1).toInt() * (token.endsWith('-') ? -1 : 1);
        std::set<int> joined;
        for (int pin : raised.at(token.chopped(2))) {
            joined.insert(std::begin(around[pin]), std::end(around[pin]));
            hours[1 - front][corner[pin] / 3 * 3 + 2 - corner[pin] % 3] -= x;  // seen mirrored
        }
        for (int k : joined) hours[front][k] += x;
    }
    QString state;
    for (const auto &side : hours)
        for (int h : side) state += QLatin1Char("0123456789AB"[(h % 12 + 12) % 12]);
    return state;
}

// What in TEXT breaks KIND's rules, or nothing: its form and length; a face
// (an axis of Pyraminx and Skewb) twice in a row, an axis three times; on
// big cubes a layer too deep, or a stretch on one axis turning every layer
// alike (the whole cube, or nothing).
QString ruleBroken(ScrambleKind kind, QString text)
{
    const int n = cubeSize(kind), big = 20 * (n - 2);
    const QString a = "(0\\+|[1-5][+-]|6\\+)", t = "\\(-?\\d,-?\\d\\)";
    const std::map<ScrambleKind, QString> forms = {
        {ScrambleKind::Cube2, "([URF]['2]? ){4,11}"},
        {ScrambleKind::Cube3, "([URFDLB]['2]? ){2,22}"},
        {ScrambleKind::Cube3Blind, "([URFDLB]['2]? ){2,22}((Rw['2]?|Fw'?) )?(Uw['2]? )?"},
        {ScrambleKind::Pyraminx, "([ULRB]'? ){6,11}(u'? )?(l'? )?(r'? )?(b'? )?"},
        {ScrambleKind::Skewb, "([RULB]'? ){7,11}"},
        {ScrambleKind::Megaminx,
         "(((R(\\+\\+|--) D(\\+\\+|--) ){4}R(\\+\\+|--) D(\\+\\+ U|-- U') )){7}"},
        {ScrambleKind::Clock,
         QString("UR# DR# DL# UL# U# R# D# L# ALL# y2 U# R# D# L# ALL# ").replace('#', a)},
        {ScrambleKind::Square1, QString("(#/ |/ )+(# )?").replace('#', t)}};
    const QString form =
        forms.count(kind) ? forms.at(kind)
                          : QString("(([2-%1]?[URFDLB]w|[URFDLB])['2]? ){%2}").arg(n / 2).arg(big);
    if (!QRegularExpression('^' + form + '$').match(text + ' ').hasMatch())
        return QStringLiteral("form");
    if (kind == ScrambleKind::Cube3Blind)  // without the turn of the whole cube
        text.remove(QRegularExpression(QStringLiteral("( (Rw['2]?|Fw'?))?( Uw['2]?)?$")));
    std::vector<std::array<int, 3>> run;  // moves in a row on one axis: face, layers, quarter turns
    for (const QString &token : text.split(QLatin1Char(' '))) {
        const int face = int(QStringLiteral("URFDLB").indexOf(token[token[0].isDigit() ? 1 : 0]));
        const int q = token.endsWith('2') ? 2 : token.endsWith('\'') ? 3 : 1;
        const int layers =
            token.contains('w') ? (token[0].isDigit() ? token.left(1).toInt() : 2) : 1;
        if (face < 0 || kind == ScrambleKind::Megaminx || kind == ScrambleKind::Clock)
            break;  // and Square-1
        if (!run.empty() && (n == 0 ? face : face % 3) != (n == 0 ? run[0][0] : run[0][0] % 3))
            run.clear();
        if ((!run.empty() && run.back()[0] == face) || run.size() == 2)
            return QStringLiteral("twice at ") + token;
        run.push_back({face, layers, face < 3 ? q : 4 - q});
        for (std::size_t from = 0; n > 3 && from < run.size(); ++from) {
            std::vector<int> turned(n);
            for (std::size_t k = from; k < run.size(); ++k)
                for (int l = 0; l < run[k][1]; ++l) {
                    int &t = turned[run[k][0] < 3 ? l : n - 1 - l];
                    t = (t + run[k][2]) % 4;
                }
            if (std::count(turned.begin(), turned.end(), turned[0]) == n)
                return QStringLiteral("whole cube at ") + token;
        }
    }
    return {};
}

// A model for each kind: the cubes', or that puzzle's.
const Model &modelOf(ScrambleKind kind)
{
    static std::map<ScrambleKind, Model> built;
    if (!built.count(kind))
        built[kind] = kind == ScrambleKind::Pyraminx   ? pyraminx()
                      : kind == ScrambleKind::Skewb    ? skewb()
                      : kind == ScrambleKind::Megaminx ? megaminx()
                                                       : cube(cubeSize(kind));
    return built[kind];
}

QString stateAfter(ScrambleKind kind, const QString &text)
{
    if (kind == ScrambleKind::Square1)
        return square1(text);
    if (kind == ScrambleKind::Clock)
        return clock(text);
    return modelOf(kind).apply(modelOf(kind).solved, text);
}

// Whether TO is fewer than MOVES moves of MODEL from FROM: breadth first from
// both ends, half the way each.
bool within(const Model &model, const QString &from, const QString &to, int moves)
{
    auto ball = [&](const QString &start, int depth) {
        QSet<QString> seen{start}, edge{start};
        for (int d = 0; d < depth; ++d) {
            QSet<QString> next;
            for (const QString &s : edge)
                for (const auto &[token, to] : model.moves)
                    if (token.size() <= 2 && token[0].isUpper())  // no tips
                        next.insert(model.apply(s, token));
            next.subtract(seen);
            seen.unite(next);
            edge = next;
        }
        return seen;
    };
    return ball(from, moves / 2).intersects(ball(to, moves - moves / 2));
}

// Pearson's statistic of COUNTS against CHANCE (equal when empty) beyond
// the 0.01 % point (Wilson and Hilferty's approximation): what is wrong, or
// nothing.
QString notUniform(const std::vector<int> &counts, const QString &what,
                   std::vector<double> chance = {})
{
    double total = 0, sum = 0;
    for (int count : counts) total += count;
    chance.resize(counts.size(), 1.0 / counts.size());
    for (std::size_t c = 0; c < counts.size(); ++c)
        sum += std::pow(counts[c] - total * chance[c], 2) / (total * chance[c]);
    const double df = double(counts.size()) - 1, z = 3.719;
    const double critical = df * std::pow(1 - 2 / (9 * df) + z * std::sqrt(2 / (9 * df)), 3);
    return sum < critical ? QString()
                          : QStringLiteral("%1: %2 > %3; ").arg(what).arg(sum).arg(critical);
}

// The stickers of each piece's place, told by where they lie: a cube's by
// the piece's centre, the Skewb's by the corner or face, the Pyraminx's by
// the vertices whose layers hold them.
std::vector<std::vector<int>> piecePlaces(ScrambleKind kind)
{
    const Model &m = modelOf(kind);
    const int n = cubeSize(kind);
    std::map<std::vector<int>, std::vector<int>> byKey;
    for (std::size_t i = 0; i < m.places.size(); ++i) {
        const Vec &p = m.places[i];
        std::vector<int> key;
        for (int c = 0; c < 3; ++c)
            key.push_back(kind == ScrambleKind::Skewb ? int(std::lround(p[c] * 2))
                          : std::abs(p[c]) == n       ? int(p[c]) - (p[c] > 0 ? 1 : -1)
                                                      : int(p[c]));
        if (kind == ScrambleKind::Skewb && std::abs(p[0]) + std::abs(p[1]) + std::abs(p[2]) > 1.5)
            for (int &k : key) k = k > 0 ? 9 : -9;  // a corner
        if (kind == ScrambleKind::Pyraminx) {
            key.assign(2, 0);
            for (int k = 0; k < 4; ++k) {
                key[0] |= (dot(p, kTips[k]) > 5) << k;
                key[1] |= (dot(p, kTips[k]) > 1) << k;
            }
        }
        byKey[key].push_back(int(i));
    }
    std::vector<std::vector<int>> places;
    for (const auto &[key, stickers] : byKey) places.push_back(stickers);
    return places;
}

}  // namespace

class TestScramble : public QObject {
    Q_OBJECT
private slots:
    // The cube model, itself checked with cubes turned by hand; three layers
    // each from U and D of a 6x6x6 turn it whole.
    void modelTurnsAsByHand()
    {
        const auto turned = [](int n, const QString &text) {
            return stateAfter(n == 3   ? ScrambleKind::Cube3
                              : n == 4 ? ScrambleKind::Cube4
                                       : ScrambleKind::Cube6,
                              text);
        };
        // clang-format off
        QCOMPARE(turned(3, "R L"),
                 QString("BUFBUFBUF" "RRRRRRRRR" "UFDUFDUFD" "FDBFDBFDB" "LLLLLLLLL" "UBDUBDUBD"));
        QCOMPARE(turned(4, "Rw"), QString("UUFFUUFFUUFFUUFF" "RRRRRRRRRRRRRRRR" "FFDDFFDDFFDDFFDD"
                                          "DDBBDDBBDDBBDDBB" "LLLLLLLLLLLLLLLL" "UUBBUUBBUUBBUUBB"));
        // clang-format on
        QString whole;
        for (QChar face : QStringLiteral("ULBDRF")) whole += QString(36, face);
        QCOMPARE(turned(6, "3Uw2 3Dw2"), whole);
        // Square-1 held as the notation holds it: a published scramble, whose
        // first turn jams on the mirror image, applies.
        QVERIFY(!square1("(0,-1)/ (4,1)/ (-4,5)/ (0,-3)/ (1,-2)/ (3,0)/ (2,0)/ (0,-3)/ (4,-3)/ "
                         "(0,-4)/ (2,0)/ (5,-2)/ (4,0)")
                     .isEmpty());
    }

    void scrambles_data()
    {
        QTest::addColumn<ScrambleKind>("kind");
        QTest::addColumn<int>("count");
        // As kScrambleKinds.
        const int counts[] = {300, 100, 240, 40, 40, 40, 40, 300, 300, 20, 100, 300};
        for (std::size_t i = 0; i < kScrambleKinds.size(); ++i)
            QTest::newRow(qPrintable(kindName(kScrambleKinds[i])))
                << kScrambleKinds[i] << counts[i];
    }

    // Legal moves within the kind's rules and lengths, and the scramble applied
    // to the tests' own model gives exactly the state the generator reports
    // (Square-1: every slice where it can turn). The blindfolded scramble ends
    // in each of the 24 orientations, the others keep U on top and F in
    // front; the big cubes turn every depth of layers; Pyraminx and Skewb
    // scrambles are the fewest moves to their state; Clock turns by each
    // amount alike.
    void scrambles()
    {
        QFETCH(ScrambleKind, kind);
        QFETCH(int, count);
        const int n = cubeSize(kind);
        std::mt19937_64 rng(7);
        std::set<QString> centres;
        std::set<int> depths;
        std::vector<int> amounts(12);
        for (int i = 0; i < count; ++i) {
            const Scramble s = generateScramble(kind, rng);
            const QString broken =
                s.kind != kind ? QStringLiteral("kind") : ruleBroken(kind, s.text);
            QVERIFY2(broken.isEmpty(), qPrintable(broken + QStringLiteral(": ") + s.text));
            QCOMPARE(s.state, stateAfter(kind, s.text));
            QString centre;
            for (int face = 0; n == 3 && face < 6; ++face) centre += s.state[face * 9 + 4];
            centres.insert(centre);
            for (const QString &move : s.text.split(' ')) {
                depths.insert(
                    move.contains('w') ? move.left(1).toInt() + (move[0].isDigit() ? 0 : 2) : 1);
                if (kind == ScrambleKind::Clock && move != "y2")
                    ++amounts[move.right(2).left(1).toInt() * (move.endsWith('-') ? -1 : 1) + 5];
            }
            if (kind == ScrambleKind::Square1)  // in the notation's count, drawn again below 11
                QVERIFY2(s.text.count('/') + s.text.count(',') >= 11, qPrintable(s.text));
            const QString main = QString(s.text).remove(QRegularExpression(" [ulrb]'?"));
            if ((kind == ScrambleKind::Pyraminx || kind == ScrambleKind::Skewb) && i < 8)
                QVERIFY2(!within(modelOf(kind), modelOf(kind).solved, stateAfter(kind, main),
                                 int(main.count(' '))),
                         qPrintable(s.text));
        }
        if (n == 3)
            QCOMPARE(int(centres.size()), kind == ScrambleKind::Cube3Blind ? 24 : 1);
        if (n > 3)
            QCOMPARE(int(depths.size()), n / 2);
        if (kind == ScrambleKind::Clock)
            QVERIFY2(notUniform(amounts, "amounts").isEmpty(),
                     qPrintable(notUniform(amounts, "amounts")));
    }

    void draws_data()
    {
        QTest::addColumn<ScrambleKind>("kind");
        QTest::addColumn<int>("count");
        QTest::newRow("2x2x2") << ScrambleKind::Cube2 << 20000;
        QTest::newRow("3x3x3") << ScrambleKind::Cube3 << 50000;  // sees one place 13 % too likely
        QTest::newRow("pyraminx") << ScrambleKind::Pyraminx << 20000;
        QTest::newRow("skewb") << ScrambleKind::Skewb << 20000;
        QTest::newRow("sq1") << ScrambleKind::Square1 << 20000;
    }

    // The random states, drawn alone: where each piece lands and how it is
    // turned there, each uniform by a chi-square test at the 0.01 % level.
    // A piece is known by its colours, its turn by where its first colour is.
    // Square-1: the corners in the top (as its shapes count them), the first
    // corner and edge there, the middle layer.
    void draws()
    {
        QFETCH(ScrambleKind, kind);
        QFETCH(int, count);
        std::mt19937_64 rng(11);
        QString wrong;
        if (kind == ScrambleKind::Square1) {
            // Layers the slice can cut by their corners: no corner across slot 0 or 6.
            std::vector<double> layers(7);
            for (int mask = 0; mask < 4096; ++mask)
                if (!(mask & 0x41) && !(mask & (mask << 1 | mask >> 11)))
                    ++layers[std::popcount(unsigned(mask))];
            std::vector<double> chance(5);
            for (int top = 2; top <= 6; ++top)
                chance[top - 2] = layers[top] * layers[8 - top] / 3678;
            std::vector<int> corners(5), first(16), middle(2);
            for (int i = 0; i < count; ++i) {
                const QString s = drawState(kind, rng), top = s.left(12);
                const auto corner = [](QChar c) { return c < 'I'; };
                ++corners[std::count_if(top.begin(), top.end(), corner) / 2 - 2];
                ++first[std::find_if(top.begin(), top.end(), corner)->unicode() - 'A'];
                const auto edge = std::find_if_not(top.begin(), top.end(), corner);
                if (edge != top.end())  // six corners leave no edge
                    ++first[edge->unicode() - 'A'];
                ++middle[s[24] == '1'];
            }
            wrong = notUniform(corners, "corners", chance) +
                    notUniform({first.begin(), first.begin() + 8}, "corner") +
                    notUniform({first.begin() + 8, first.end()}, "edge") +
                    notUniform(middle, "middle");
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
            return;
        }
        const std::vector<std::vector<int>> places = piecePlaces(kind);
        std::map<QString, std::map<int, int>> where;  // piece -> place -> count
        std::map<QString, std::vector<int>> turn;     // piece -> turn -> count
        for (int i = 0; i < count; ++i) {
            const QString s = drawState(kind, rng);
            for (std::size_t p = 0; p < places.size(); ++p) {
                QString colours;
                for (int k : places[p]) colours += s[k];
                QString piece = colours;
                std::sort(piece.begin(), piece.end());
                if (kind == ScrambleKind::Pyraminx && places[p].size() == 3)
                    piece += QString::number(p);  // a tip or a centre: they stay
                ++where[piece][int(p)];
                turn[piece].resize(colours.size());
                ++turn[piece][colours.indexOf(piece[0])];
            }
        }
        for (const auto &[piece, at] : where) {
            std::vector<int> counts;
            for (const auto &[place, c] : at) counts.push_back(c);
            if (counts.size() > 1)
                wrong += notUniform(counts, piece + " places");
            if (std::count(turn[piece].begin(), turn[piece].end(), 0) < int(turn[piece].size()) - 1)
                wrong += notUniform(turn[piece], piece + " turns");
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void kindForPuzzleType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("kind");  // empty: none
        // clang-format off
        const char *rows[][2] = {
            {"3x3x3", "3x3x3"}, {"2x2x2", "2x2x2"}, {"7x7x7 片手", "7x7x7"}, {"3x3x3目隠し", "3x3x3bld"},
            {"3X3X3 bld", "3x3x3bld"}, {"3x3x3 片手", "3x3x3"}, {"2x2x2 BLD", "2x2x2"}, {"8x8x8", ""},
            {" 3x3x3", "3x3x3"}, {"目隠し 3x3x3", ""}, {"３ｘ３ｘ３　ＢＬＤ", "3x3x3bld"},
            {"スクエア１", "sq1"}, {"", ""}, {"Pyraminx", "pyraminx"},
            {"ピラミンクス", "pyraminx"}, {"スキューブ", "skewb"}, {"MEGAMINX", "megaminx"},
            {"メガミンクス", "megaminx"}, {"Square-1", "sq1"}, {"SQ 1", "sq1"}, {"スクエア1", "sq1"},
            {"Clock", "clock"}, {"クロック", "clock"}, {"FTO", ""}, {"Mega minx", "megaminx"}};
        // clang-format on
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromLatin1(row[1]);
    }

    void kindForPuzzleType()
    {
        QFETCH(QString, type);
        const std::optional<ScrambleKind> found = spinlog::kindForPuzzleType(type);
        QTEST(found ? kindName(*found) : QString(), "kind");
        // A type given blindfolded scrambles goes without inspection too.
        if (found == ScrambleKind::Cube3Blind)
            QVERIFY(!isInspected(QStringLiteral("auto"), QStringLiteral("1"), type));
    }

    void command_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("lines");  // of scrambles; an error is one line on err
        // clang-format off
        const std::tuple<const char *, int, int> rows[] = {
            {"--scramble|3x3x3", 0, 1}, {"--scramble|2x2x2|10000", 0, 10000},
            {"--scramble|7x7x7|2", 0, 2}, {"--scramble|sq1|5", 0, 5}, {"--scramble|clock", 0, 1},
            {"--scramble|sq2", 2, 0}, {"--scramble", 2, 0},
            {"--scramble|3x3x3|0", 2, 0}, {"--scramble|3x3x3|10001", 2, 0},
            {"--scramble|3x3x3|+2", 2, 0}, {"--scramble|3x3x3| 2", 2, 0},
            {"--scramble|3x3x3|99999999999", 2, 0}, {"--scramble|3x3x3|2|2", 2, 0}};
        // clang-format on
        for (const auto &[args, code, lines] : rows)
            QTest::newRow(args) << QString(args).split('|') << code << lines;
    }

    // Each line printed is a scramble of the kind asked for.
    void command()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(int, lines);
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(runScrambleCommand(args, out, err), code);
        QCOMPARE(int(errText.count(QLatin1Char('\n'))), code == 0 ? 0 : 1);
        const QStringList printed = outText.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(int(printed.size()), lines);
        for (const QString &line : code == 0 && lines < 10 ? printed : QStringList())
            if (const std::optional<ScrambleKind> kind = kindFromName(args.value(1)))
                QVERIFY2(ruleBroken(*kind, line).isEmpty(), qPrintable(line));
        QVERIFY(scrambleUsage().contains("pyraminx, skewb, megaminx, sq1, clock"));
    }
    // The type changes before the first answer: only the second is delivered.
    // Destroyed with a request under way, it waits for its worker, and the
    // answer goes nowhere.
    void sourceAnswersOnlyTheLatestRequest()
    {
        ScrambleSource source;
        std::vector<ScrambleKind> got;
        connect(&source, &ScrambleSource::ready, this,
                [&](const Scramble &s) { got.push_back(s.kind); });
        source.request(ScrambleKind::Cube2);
        source.request(ScrambleKind::Cube4);
        QTRY_COMPARE(got.size(), std::size_t(1));
        source.request(ScrambleKind::Cube3);
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), std::size_t(2), 30000);  // slow under sanitizers
        QCOMPARE(got, (std::vector<ScrambleKind>{ScrambleKind::Cube4, ScrambleKind::Cube3}));
        auto leaving = std::make_unique<ScrambleSource>();
        leaving->request(ScrambleKind::Cube7);
        leaving.reset();
    }

    // What the scramble window shows and when it asks for the next scramble.
    void boardNextAndPrevious()
    {
        QList<ScrambleKind> asked;
        ScrambleBoard board([&](ScrambleKind kind) { asked << kind; });
        board.setPuzzleType(QStringLiteral("3x3x3目隠し"));
        QVERIFY(asked.isEmpty());  // nothing is made while the window is closed
        board.setActive(true);
        QCOMPARE(asked, QList{ScrambleKind::Cube3Blind});
        board.deliver(Scramble{ScrambleKind::Cube3, "R", {}});  // another kind's: dropped
        QVERIFY(!board.next());
        board.deliver(Scramble{ScrambleKind::Cube3Blind, "F Rw", {}});
        board.solveStored();
        QCOMPARE(board.previous()->text, QStringLiteral("F Rw"));
        QVERIFY(!board.next());
        QCOMPARE(asked.size(), 2);
        board.deliver(Scramble{ScrambleKind::Cube3Blind, "U", {}});
        QCOMPARE(board.next()->text, QStringLiteral("U"));

        // Another type: what was shown goes; a type without scrambles asks nothing.
        board.setPuzzleType(QStringLiteral("FTO"));
        QVERIFY(!board.kind() && !board.next() && !board.previous());
        board.setPuzzleType(QStringLiteral("4x4x4"));
        QCOMPARE(asked.last(), ScrambleKind::Cube4);
        QCOMPARE(asked.size(), 3);
    }
};

SPINLOG_TEST(TestScramble)
#include "tst_scramble.moc"
