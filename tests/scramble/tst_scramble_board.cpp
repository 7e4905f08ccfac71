// What the scramble window shows and when it asks for the next scramble.

#include "scramble/scramble_board.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;

class ScrambleBoardTest : public QObject {
    Q_OBJECT
private slots:
    void nextAndPrevious()
    {
        QList<ScrambleKind> asked;
        ScrambleBoard board([&](ScrambleKind kind) { asked << kind; });
        const auto made = [](ScrambleKind kind, const char *text) {
            return Scramble{kind, QString::fromLatin1(text), QString()};
        };
        board.setPuzzleType(QStringLiteral("3x3x3目隠し"));
        QVERIFY(asked.isEmpty());  // nothing is made while the window is closed
        board.setActive(true);
        QCOMPARE(asked, QList{ScrambleKind::Cube3Blind});
        board.deliver(made(ScrambleKind::Cube3, "R"));  // another kind's: dropped
        QVERIFY(!board.next());
        board.deliver(made(ScrambleKind::Cube3Blind, "F Rw"));
        board.solveStored();
        QCOMPARE(board.previous()->text, QStringLiteral("F Rw"));
        QVERIFY(!board.next());
        QCOMPARE(asked.size(), 2);
        board.deliver(made(ScrambleKind::Cube3Blind, "U"));
        QCOMPARE(board.next()->text, QStringLiteral("U"));

        // Another type: what was shown goes; a type without scrambles asks nothing.
        board.setPuzzleType(QStringLiteral("Megaminx"));
        QVERIFY(!board.kind() && !board.next() && !board.previous());
        board.setPuzzleType(QStringLiteral("4x4x4"));
        QCOMPARE(asked.last(), ScrambleKind::Cube4);
        QCOMPARE(asked.size(), 3);
    }
};
SPINLOG_TEST(ScrambleBoardTest)

#include "tst_scramble_board.moc"
