// The scramble window as a user sees it: the Megaminx's scramble on the seven
// lines the official sheets print, and its picture's two flowers, each with
// its own centre.

#include "base/error_log.h"
#include "base/settings.h"
#include "scramble/ui/scramble_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// The window with a Megaminx scramble of ours on show: the window is never
// shown, so it asks its worker for none.
struct MegaminxWindow {
    explicit MegaminxWindow(const Scramble &scramble)
    {
        window.board().setPuzzleType("Megaminx");
        window.board().deliver(scramble);
        window.resize(480, 420);
    }
    TempAppFolder folder{false};
    FakeWorld world{folder.path()};
    ScrambleWindow window{world.program.settings, world.program.log};
};

}  // namespace

class ScrambleWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Seven lines of ten moves, each ending in U or U'.
    void megaminxOnSevenLines()
    {
        std::mt19937_64 rng(7);
        const Scramble scramble = generateScramble(ScrambleKind::Megaminx, rng);
        MegaminxWindow w(scramble);
        const QStringList lines =
            w.window.findChild<QLabel *>("lblScramble")->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 7);
        for (const QString &line : lines) {
            QVERIFY2(line.contains(QRegularExpression("^([RD](\\+\\+|--) ){10}U'?$")),
                     qPrintable(line));
        }
        QCOMPARE(lines.join(' '), scramble.text);
    }

    // A solved Megaminx: each face its own colour. The upper flower's middle
    // is U (white), the lower one's D (grey); each petal is the face beside it.
    void megaminxFlowersEachWithItsCentre()
    {
        Scramble solved{ScrambleKind::Megaminx, QString(), QString()};
        for (int face = 0; face < 12; ++face) solved.state += QString(11, QChar('A' + face));
        MegaminxWindow w(solved);
        QWidget *picture = w.window.findChild<QWidget *>("picNet");
        picture->resize(440, 200);
        const QImage image = picture->grab().toImage();
        // Where the picture puts each flower's middle and its first petal.
        const double radius = std::min((image.width() - 8) / 4.4, (image.height() - 8) / 2.2) / 2.9;
        const auto at = [&](int half, double angle, double from) {
            const double x = image.width() / 2.0 + (half ? 1 : -1) * radius * 2.85 +
                             std::cos(angle * M_PI / 180) * from;
            const double y = image.height() / 2.0 + std::sin(angle * M_PI / 180) * from;
            return image.pixelColor(int(std::lround(x)), int(std::lround(y)));
        };
        QCOMPARE(at(0, 0, 0), QColor(255, 255, 255));                // U
        QCOMPARE(at(1, 0, 0), QColor(150, 150, 150));                // D
        QCOMPARE(at(0, 90, radius * 1.66), QColor(0, 130, 60));      // F below U
        QCOMPARE(at(1, -90, radius * 1.66), QColor(100, 190, 240));  // B above D
    }
};

SPINLOG_TEST(ScrambleWindowTest)
#include "tst_scramble_window.moc"
