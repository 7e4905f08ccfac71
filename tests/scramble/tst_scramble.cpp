#include "scramble/scramble.h"
#include "scramble/scramble_board.h"
#include "scramble/scramble_command.h"
#include "scramble/scramble_source.h"
#include "support/test_main.h"

#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <set>
#include <utility>

using namespace spinlog;

namespace {

// The tests' own cube, apart from the generators' code: each sticker a
// position and an outward normal in doubled coordinates (the cube spans
// -N..N); a move rotates the vectors of the stickers in its layers.
using Vec = std::array<int, 3>;  // x to R, y to U, z to F
struct Sticker {
    Vec pos, normal;
    QChar colour;
};

const auto plus = [](const Vec &a, const Vec &b, int k) {
    return Vec{a[0] + k * b[0], a[1] + k * b[1], a[2] + k * b[2]};
};
const auto dot = [](const Vec &a, const Vec &b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
const auto cross = [](const Vec &a, const Vec &b) {
    return Vec{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
};

// Faces U R F D L B: the outward normal, and what is at the top as the
// facelet text reads the face from outside (B for U, F for D, else U).
const Vec kNormal[6] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {-1, 0, 0}, {0, 0, -1}};
const Vec kTop[6] = {{0, 0, -1}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
const QString kFaces = QStringLiteral("URFDLB");

// The places in the order of the facelet text, coloured as when solved.
std::vector<Sticker> solved(int n)
{
    std::vector<Sticker> places;
    for (int f = 0; f < 6; ++f)
        for (int row = 0; row < n; ++row)
            for (int col = 0; col < n; ++col)
                places.push_back({plus(plus(plus(Vec{}, kNormal[f], n), kTop[f], n - 1 - 2 * row),
                                       cross(kTop[f], kNormal[f]), 2 * col - n + 1),
                                  kNormal[f], kFaces[f]});
    return places;
}

const QRegularExpression kMove(QStringLiteral("^([3-9]?)([URFDLB])(w?)(['2]?)$"));
int layersOf(const QRegularExpressionMatch &m)
{
    return m.captured(1).isEmpty() ? 1 + int(m.capturedLength(3)) : m.captured(1).toInt();
}

// MOVES applied to a solved N-cube; empty on a token the model does not know.
QString turned(int n, const QString &moves)
{
    std::vector<Sticker> cube = solved(n);
    for (const QString &move : moves.split(QLatin1Char(' '))) {
        const QRegularExpressionMatch m = kMove.match(move);
        if (!m.hasMatch())
            return {};
        const Vec &a = kNormal[kFaces.indexOf(m.captured(2))];
        const int layers = layersOf(m);
        const int turns = m.captured(4).isEmpty() ? 1 : m.captured(4) == QLatin1String("2") ? 2 : 3;
        for (int q = 0; q < turns; ++q)
            for (Sticker &s : cube)
                if (dot(s.pos, a) > n - 2 * layers)
                    for (Vec *v : {&s.pos, &s.normal})  // clockwise seen from outside
                        *v = plus(cross(*v, a), a, dot(*v, a));
    }
    QString text;
    for (const Sticker &place : solved(n))
        for (const Sticker &s : cube)
            if (s.pos == place.pos && s.normal == place.normal)
                text += s.colour;
    return text;
}

// What in TEXT breaks KIND's rules, or nothing.
QString ruleBroken(ScrambleKind kind, QString text)
{
    const int n = cubeSize(kind);
    if (kind == ScrambleKind::Cube3Blind)  // the orientation: which centre up, then about U
        text.remove(QRegularExpression(QStringLiteral("( (Rw['2]?|Fw'?))?( Uw['2]?)?$")));
    const QStringList moves = text.split(QLatin1Char(' '));
    const int bound = n == 2 ? 11 : n == 3 ? 22 : 20 * (n - 2);
    if (moves.size() < (n == 2 ? 4 : n == 3 ? 2 : bound) || moves.size() > bound)
        return QStringLiteral("length %1").arg(moves.size());
    int last = -1, before = -1;  // the faces of the two moves before
    for (const QString &token : moves) {
        const QRegularExpressionMatch m = kMove.match(token);
        const int layers = layersOf(m);
        if (!m.hasMatch() || (m.capturedLength(1) > 0 && m.capturedLength(3) == 0) ||
            (n <= 3 && layers > 1) || layers > n / 2)
            return QStringLiteral("move ") + token;
        const int face = int(kFaces.indexOf(m.captured(2)));
        // Never one face twice; big cubes: never one axis three times;
        // 3x3x3: never "R L R".
        if (face == last || (last >= 0 && before >= 0 && face % 3 == last % 3 &&
                             (n > 3 ? face % 3 == before % 3 : face == before)))
            return QStringLiteral("broken at ") + token;
        before = std::exchange(last, face);
    }
    return {};
}

// Pearson's statistic of COUNTS over CELLS equally likely cells against the
// 0.1 % critical value: what is wrong, or nothing.
QString notUniform(const std::map<int, int> &counts, int cells, int total)
{
    const double expected = double(total) / cells;
    double sum = (cells - double(counts.size())) * expected;  // the empty cells
    for (const auto &[cell, count] : counts)
        sum += (count - expected) * (count - expected) / expected;
    const double critical = cells == 2 ? 10.83 : cells == 21 ? 45.31 : 49.73;  // 24 cells
    if (counts.size() <= std::size_t(cells) && sum < critical)
        return {};
    return QStringLiteral("chi-square %1 over %2 cells").arg(sum).arg(counts.size());
}

}  // namespace

class TestScramble : public QObject {
    Q_OBJECT
private slots:
    // The model the generators are checked against, itself checked with
    // cubes turned by hand; three layers each from U and D of a 6x6x6 turn it
    // whole.
    void modelTurnsAsByHand()
    {
        // clang-format off
        QCOMPARE(turned(3, "R L"),
                 QString("BUFBUFBUF" "RRRRRRRRR" "UFDUFDUFD" "FDBFDBFDB" "LLLLLLLLL" "UBDUBDUBD"));
        QCOMPARE(turned(4, "Rw"), QString("UUFFUUFFUUFFUUFF" "RRRRRRRRRRRRRRRR" "FFDDFFDDFFDDFFDD"
                                          "DDBBDDBBDDBBDDBB" "LLLLLLLLLLLLLLLL" "UUBBUUBBUUBBUUBB"));
        // clang-format on
        QString whole;
        for (QChar face : QStringLiteral("ULBDRF")) whole += QString(36, face);
        QCOMPARE(turned(6, "3Uw2 3Dw2"), whole);
    }

    void scrambles_data()
    {
        QTest::addColumn<ScrambleKind>("kind");
        QTest::addColumn<int>("count");
        const int counts[] = {4000, 2000, 240, 40, 40, 40, 40};  // as kScrambleKinds
        for (std::size_t i = 0; i < kScrambleKinds.size(); ++i)
            QTest::newRow(qPrintable(kindName(kScrambleKinds[i])))
                << kScrambleKinds[i] << counts[i];
    }

    // Legal moves within the kind's rules and lengths, and the scramble applied
    // to a solved cube gives exactly the stickers the generator reports. The
    // blindfolded scramble ends in each of the 24 orientations, the others keep
    // U on top and F in front. The random states: where the URF corner and the
    // UF edge end up, how they are turned, and the corner permutation's parity,
    // each uniform by a chi-square test at the 0.1 % level.
    void scrambles()
    {
        QFETCH(ScrambleKind, kind);
        QFETCH(int, count);
        const int n = cubeSize(kind);
        std::mt19937_64 rng(7);
        std::set<QString> centres;
        std::map<int, int> corners, edges, parities;
        const std::vector<Sticker> places = solved(n);
        for (int i = 0; i < count; ++i) {
            const Scramble s = generateScramble(kind, rng);
            const QString broken =
                s.kind != kind ? QStringLiteral("kind") : ruleBroken(kind, s.text);
            QVERIFY2(broken.isEmpty(), qPrintable(broken + QStringLiteral(": ") + s.text));
            QCOMPARE(s.facelets, turned(n, s.text));
            QString centre;
            for (int face = 0; n == 3 && face < 6; ++face) centre += s.facelets[face * 9 + 4];
            centres.insert(centre);
            if (kind != ScrambleKind::Cube2 && kind != ScrambleKind::Cube3)
                continue;
            std::map<Vec, QString> pieces;  // their colours in facelet order, by their centres
            for (int k = 0; k < int(places.size()); ++k)
                pieces[plus(places[k].pos, places[k].normal, -1)] += s.facelets[k];
            // A piece is known by its colours; its turn in a place by where its U colour is.
            QStringList cornerPieces;
            int edgePlace = 0;
            for (const auto &[at, colours] : pieces) {
                QString piece = colours;
                std::sort(piece.begin(), piece.end());
                if (piece == QLatin1String("FRU"))
                    ++corners[int(cornerPieces.size()) * 3 +
                              int(colours.indexOf(QLatin1Char('U')))];
                if (piece == QLatin1String("FU"))
                    ++edges[edgePlace * 2 + int(colours.indexOf(QLatin1Char('U')))];
                if (piece.size() == 3)
                    cornerPieces << piece;
                edgePlace += piece.size() == 2 ? 1 : 0;
            }
            // The parity by inversions against a fixed order of the pieces
            // (which at most swaps the two cells).
            int parity = 0;
            for (int a = 0; a < cornerPieces.size(); ++a)
                for (int b = a + 1; b < cornerPieces.size(); ++b)
                    parity ^= cornerPieces[a] > cornerPieces[b] ? 1 : 0;
            ++parities[parity];
        }
        if (n == 3)
            QCOMPARE(int(centres.size()), kind == ScrambleKind::Cube3Blind ? 24 : 1);
        if (kind != ScrambleKind::Cube2 && kind != ScrambleKind::Cube3)
            return;
        // The 2x2x2 holds its DBL corner still: seven places for the others.
        const QString wrong = notUniform(corners, n == 2 ? 21 : 24, count) +
                              notUniform(parities, 2, count) +
                              (n == 2 ? QString() : notUniform(edges, 24, count));
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
            {" 3x3x3", ""}, {"目隠し 3x3x3", ""}, {"", ""}};
        // clang-format on
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[0]) << QString::fromLatin1(row[1]);
    }

    void kindForPuzzleType()
    {
        QFETCH(QString, type);
        const std::optional<ScrambleKind> found = spinlog::kindForPuzzleType(type);
        QTEST(found ? kindName(*found) : QString(), "kind");
    }

    void command_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("lines");  // of scrambles; an error is one line on err
        // clang-format off
        const std::tuple<const char *, int, int> rows[] = {
            {"--scramble|3x3x3", 0, 1}, {"--scramble|2x2x2|10000", 0, 10000},
            {"--scramble|7x7x7|2", 0, 2}, {"--scramble|megaminx", 2, 0}, {"--scramble", 2, 0},
            {"--scramble|3x3x3|0", 2, 0}, {"--scramble|3x3x3|10001", 2, 0},
            {"--scramble|3x3x3|+2", 2, 0}, {"--scramble|3x3x3| 2", 2, 0},
            {"--scramble|3x3x3|99999999999", 2, 0}, {"--scramble|3x3x3|2|2", 2, 0},
            {"--help", 0, 4}};  // the usage
        // clang-format on
        for (const auto &[args, code, lines] : rows)
            QTest::newRow(args) << QString(args).split('|') << code << lines;
    }

    void command()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(int, lines);
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(runScrambleCommand(args, out, err), code);
        QCOMPARE(int(errText.count(QLatin1Char('\n'))), code == 0 ? 0 : 1);
        QCOMPARE(int(outText.split('\n', Qt::SkipEmptyParts).size()), lines);
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
        board.setPuzzleType(QStringLiteral("Megaminx"));
        QVERIFY(!board.kind() && !board.next() && !board.previous());
        board.setPuzzleType(QStringLiteral("4x4x4"));
        QCOMPARE(asked.last(), ScrambleKind::Cube4);
        QCOMPARE(asked.size(), 3);
    }
};

SPINLOG_TEST(TestScramble)
#include "tst_scramble.moc"
