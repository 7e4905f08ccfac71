#include "app/errors.h"
#include "app/time_values.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QFile>
#include <QTest>
#include <limits>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// The description a failing conversion throws, or the result.
QString outcome(QString (*convert)(const QString &), const QString &input)
{
    try {
        return convert(input);
    } catch (const SpinlogError &e) {
        return QStringLiteral("error: ") + e.description();
    }
}

const QString kMismatch = QStringLiteral("error: ") + describe::typeMismatch();
const QString kOverflow = QStringLiteral("error: ") + describe::overflow();
const QString kInvalid = QStringLiteral("error: ") + describe::invalidArgument();

}  // namespace

class TestTimeValues : public QObject {
    Q_OBJECT
private slots:
    void wholeSecondsToDisplay_data();
    void wholeSecondsToDisplay();
    void displayToSeconds_data();
    void displayToSeconds();
    void conversionsAreInverseUpToAnHour();
    void failuresAreReportedAndLogged();
    void hundredthsHelpers();
};

void TestTimeValues::wholeSecondsToDisplay_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const std::pair<const char *, QString> rows[] = {
        {"0", "0"},
        {"5", "5"},
        {"9", "9"},
        {"10", "10"},
        {"12", "12"},
        {"59", "59"},
        {"60", "1:00"},
        {"65", "1:05"},
        {"600", "10:00"},
        {"3599", "59:59"},
        {"3600", "1:00:00"},
        {"3601", "1:00:01"},
        {"3725", "1:02:05"},
        {"  65 ", "1:05"},
        {"+65", "1:05"},
        // Rounded to the even neighbour; the "10 or more" test reads the
        // input itself, so 9.6 rounds to 10 yet shows no leading zero.
        {"0.5", "0"},
        {"1.5", "2"},
        {"2.5", "2"},
        {"9.6", "10"},
        {"59.5", "1:00"},
        {"1e2", "1:40"},
        {"-65", "-1:-5"},
        {"2147483647", "596523:14:07"},
        {"", kMismatch},
        {" ", kMismatch},
        {"1:05", kMismatch},
        {"1,5", kMismatch},
        {"12a", kMismatch},
        {".", kMismatch},
        {"2147483648", kOverflow},
        {"2147483647.5", kOverflow},
        {"1e400", kOverflow},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromUtf8(row.first) << row.second;
}

void TestTimeValues::wholeSecondsToDisplay()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(outcome(timeChangeHNS, input), expected);
}

void TestTimeValues::displayToSeconds_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const std::pair<const char *, QString> rows[] = {
        {"1:23.46", "83.46"},
        {"59.12", "59.12"},
        {"1:02:05.50", "3725.50"},
        {"0.07", "0.07"},
        {"1:23.4", "83.4"},  // the fraction is copied as it stands
        {"1:23.", "83."},
        {"5.1x", "5.1x"},
        {"", ""},
        {"546:00.00", "32760.00"},
        {"9:59:59.99", "35999.99"},
        {"32767:00:00.00", "117961200.00"},
        {" 1: 23 .46", "83.46"},
        {"1:2.5:3.45", "62.5:3.45"},  // scanning stops at the first point
        {"83", kInvalid},
        {"1:23", kInvalid},
        {" ", kInvalid},
        {"547:00.00", kOverflow},
        {"-547:00.00", kOverflow},
        {"1:32768.00", kOverflow},
        {"32768:00:00.00", kOverflow},
        {":12.00", kMismatch},
        {"1::12.00", kMismatch},
        {".50", kMismatch},
        {"a:12.00", kMismatch},
        {"1:2:3:4.00", kMismatch},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromUtf8(row.first) << row.second;
}

void TestTimeValues::displayToSeconds()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(outcome(timeChangeS, input), expected);
}

void TestTimeValues::conversionsAreInverseUpToAnHour()
{
    const std::pair<std::int64_t, const char *> shown[] = {
        {7, "0.07"},          {510, "5.10"},          {1234, "12.34"},
        {6500, "1:05.00"},    {8346, "1:23.46"},      {60025, "10:00.25"},
        {359999, "59:59.99"}, {360000, "1:00:00.00"}, {372550, "1:02:05.50"},
    };
    for (const auto &[hundredths, text] : shown) QCOMPARE(displayForm(hundredths), QString(text));

    for (std::int64_t hundredths = 0; hundredths <= 360000; ++hundredths) {
        const QString seconds = secondsText(hundredths);
        const QString display = displayForm(seconds);
        if (timeChangeS(display) != seconds)
            QFAIL(
                qPrintable(QString("%1 -> %2 -> %3").arg(seconds, display, timeChangeS(display))));
        if (hundredthsFromSecondsText(seconds) != hundredths)
            QFAIL(qPrintable(seconds));
    }
}

void TestTimeValues::failuresAreReportedAndLogged()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());

    QCOMPARE(Fun_TimeChangeS(world.program, ""), QString());
    QVERIFY(world.prompts.boxes.empty());
    QVERIFY(!QFile::exists(folder.file("Err.log")));

    QCOMPARE(Fun_TimeChangeS(world.program, "1:23.46"), QString("83.46"));
    QCOMPARE(Fun_TimeChangeHNS(world.program, "83"), QString("1:23"));
    QVERIFY(world.prompts.boxes.empty());

    QCOMPARE(Fun_TimeChangeS(world.program, "83"), QString());
    QCOMPARE(Fun_TimeChangeHNS(world.program, ""), QString());
    QCOMPARE(world.prompts.texts(), QStringList({"時間変換エラー\r\n" + describe::invalidArgument(),
                                                 "時間変換エラー\r\n" + describe::typeMismatch()}));
    QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
    QCOMPARE(world.prompts.boxes[0].buttons, Buttons::Ok);
    QCOMPARE(logTextAt(folder, 2), "[mdlMain]-[Fun_TimeChangeS] " + describe::invalidArgument());
    QCOMPARE(logTextAt(folder, 3), "[mdlMain]-[Fun_TimeChangeHNS] " + describe::typeMismatch());
}

void TestTimeValues::hundredthsHelpers()
{
    QCOMPARE(secondsText(0), QString("0.00"));
    QCOMPARE(secondsText(5), QString("0.05"));
    QCOMPARE(secondsText(8346), QString("83.46"));
    QCOMPARE(secondsText(-5), QString("-0.05"));
    QCOMPARE(secondsText(std::numeric_limits<std::int64_t>::min()),
             QString("-92233720368547758.08"));

    // To the nearest hundredth, halves upward.
    QCOMPARE(hundredthsFromNs(0), 0);
    QCOMPARE(hundredthsFromNs(4'999'999), 0);
    QCOMPARE(hundredthsFromNs(5'000'000), 1);
    QCOMPARE(hundredthsFromNs(83'464'999'999), 8346);
    QCOMPARE(hundredthsFromNs(83'465'000'000), 8347);
    QCOMPARE(hundredthsFromNs(-5'000'000), 0);
    QCOMPARE(hundredthsFromNs(-5'000'001), -1);
    QCOMPARE(hundredthsFromNs(std::numeric_limits<std::int64_t>::max()), 922337203685);
    QCOMPARE(hundredthsFromNs(std::numeric_limits<std::int64_t>::min()), -922337203685);

    using Result = std::optional<std::int64_t>;
    QCOMPARE(hundredthsFromSecondsText("83.46"), Result(8346));
    QCOMPARE(hundredthsFromSecondsText(" 83.4 "), Result(8340));
    QCOMPARE(hundredthsFromSecondsText("83"), Result(8300));
    QCOMPARE(hundredthsFromSecondsText("-0.05"), Result(-5));
    QCOMPARE(hundredthsFromSecondsText("83.46000000000001"), Result(8346));
    QCOMPARE(hundredthsFromSecondsText("83.455"), Result(8346));
    QCOMPARE(hundredthsFromSecondsText("83.4549"), Result(8345));
    QCOMPARE(hundredthsFromSecondsText("92233720368547757.00"), Result(9223372036854775700));
    for (const char *bad : {"", ".", "-", "abc", "1:23.46", "1.2.3", "1e2", "92233720368547758"})
        QCOMPARE(hundredthsFromSecondsText(bad), Result());
}

SPINLOG_TEST(TestTimeValues)
#include "tst_time_values.moc"
