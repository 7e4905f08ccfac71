#include "app/errors.h"
#include "app/time_values.h"
#include "log_reading.h"
#include "support/fakes.h"
#include "support/test_main.h"

#include <QFile>
#include <QTest>
#include <limits>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// The result, or the description of the failure.
QString outcome(QString (*convert)(const QString &), const QString &input)
{
    try {
        return convert(input);
    } catch (const SpinlogError &e) {
        return e.description();
    }
}

}  // namespace

class TestTimeValues : public QObject {
    Q_OBJECT
private slots:
    void conversions();
    void conversionsAreInverseUpToAnHour();
    void failuresAreReportedAndLogged();
    void hundredthsHelpers();
};

void TestTimeValues::conversions()
{
    const QString mismatch = describe::typeMismatch();
    const QString overflow = describe::overflow();
    // clang-format off
    const std::pair<const char *, QString> wholeSeconds[] = {
        {"0", "0"}, {"5", "5"}, {"9", "9"}, {"10", "10"}, {"59", "59"}, {"60", "1:00"},
        {"65", "1:05"}, {"600", "10:00"}, {"3599", "59:59"}, {"3600", "1:00:00"},
        {"3601", "1:00:01"}, {"3725", "1:02:05"}, {" +65 ", "1:05"}, {"1e2", "1:40"},
        // Halves go to the even neighbour; "10 or more" looks at the input,
        // so 9.6 becomes 10 without a leading zero.
        {"0.5", "0"}, {"1.5", "2"}, {"2.5", "2"}, {"9.6", "10"}, {"59.5", "1:00"},
        {"-65", "-1:-5"}, {"2147483647", "596523:14:07"}, {"", mismatch}, {" ", mismatch},
        {"1:05", mismatch}, {"1,5", mismatch}, {".", mismatch}, {"2147483648", overflow},
        {"2147483647.5", overflow}, {"1e400", overflow}};
    const std::pair<const char *, QString> display[] = {
        {"1:23.46", "83.46"}, {"59.12", "59.12"}, {"1:02:05.50", "3725.50"}, {"0.07", "0.07"},
        {"1:23.4", "83.4"}, {"5.1x", "5.1x"}, {"", ""}, {"546:00.00", "32760.00"},
        {"32767:00:00.00", "117961200.00"}, {" 1: 23 .46", "83.46"},
        {"1:2.5:3.45", "62.5:3.45"},  // scanning stops at the first point
        {"83", describe::invalidArgument()}, {" ", describe::invalidArgument()},
        {"547:00.00", overflow}, {"-547:00.00", overflow}, {"1:32768.00", overflow},
        {":12.00", mismatch}, {"1::12.00", mismatch}, {".50", mismatch},
        {"1:2:3:4.00", mismatch}};
    // clang-format on
    for (const auto &[input, expected] : wholeSeconds)
        QCOMPARE(outcome(timeChangeHNS, input), expected);
    for (const auto &[input, expected] : display) QCOMPARE(outcome(timeChangeS, input), expected);
}

void TestTimeValues::conversionsAreInverseUpToAnHour()
{
    const std::pair<std::int64_t, const char *> shown[] = {
        {7, "0.07"},         {510, "5.10"},        {6500, "1:05.00"},      {8346, "1:23.46"},
        {60025, "10:00.25"}, {359999, "59:59.99"}, {360000, "1:00:00.00"}, {372550, "1:02:05.50"}};
    for (const auto &[hundredths, text] : shown) QCOMPARE(displayForm(hundredths), QString(text));

    for (std::int64_t hundredths = 0; hundredths <= 360000; ++hundredths) {
        const QString seconds = secondsText(hundredths);
        const QString back = timeChangeS(displayForm(seconds));
        if (back != seconds || hundredthsFromSecondsText(seconds) != hundredths)
            QFAIL(qPrintable(seconds + " came back as " + back));
    }
}

void TestTimeValues::failuresAreReportedAndLogged()
{
    TempAppFolder folder(false);
    FakeWorld world(folder.path());
    QCOMPARE(Fun_TimeChangeS(world.program, ""), QString());
    QCOMPARE(Fun_TimeChangeS(world.program, "1:23.46"), QString("83.46"));
    QCOMPARE(Fun_TimeChangeHNS(world.program, "83"), QString("1:23"));
    QVERIFY(world.prompts.boxes.empty());
    QVERIFY(!QFile::exists(folder.file("Err.log")));

    QCOMPARE(Fun_TimeChangeS(world.program, "83"), QString());
    QCOMPARE(Fun_TimeChangeHNS(world.program, ""), QString());
    QCOMPARE(world.prompts.texts(), QStringList({"時間変換エラー\r\n" + describe::invalidArgument(),
                                                 "時間変換エラー\r\n" + describe::typeMismatch()}));
    QCOMPARE(world.prompts.boxes[0].icon, Icon::Critical);
    QCOMPARE(logTextAt(folder, 2), "[mdlMain]-[Fun_TimeChangeS] " + describe::invalidArgument());
    QCOMPARE(logTextAt(folder, 3), "[mdlMain]-[Fun_TimeChangeHNS] " + describe::typeMismatch());
}

void TestTimeValues::hundredthsHelpers()
{
    QCOMPARE(secondsText(5), QString("0.05"));
    QCOMPARE(secondsText(-5), QString("-0.05"));
    QCOMPARE(secondsText(std::numeric_limits<std::int64_t>::min()),
             QString("-92233720368547758.08"));

    // The nearest hundredth, halves upward.
    const std::pair<std::int64_t, std::int64_t> fromNs[] = {
        {4'999'999, 0},         {5'000'000, 1},
        {83'465'000'000, 8347}, {-5'000'000, 0},
        {-5'000'001, -1},       {std::numeric_limits<std::int64_t>::min(), -922337203685}};
    for (const auto &[ns, hundredths] : fromNs) QCOMPARE(hundredthsFromNs(ns), hundredths);

    using Result = std::optional<std::int64_t>;
    // clang-format off
    const std::pair<const char *, Result> fromText[] = {
        {" 83.4 ", 8340}, {"83", 8300}, {"-0.05", -5}, {"83.46000000000001", 8346},
        {"83.455", 8346}, {"92233720368547757.00", 9223372036854775700}, {"", {}}, {".", {}},
        {"abc", {}}, {"1:23.46", {}}, {"1.2.3", {}}, {"1e2", {}}, {"92233720368547758", {}}};
    // clang-format on
    for (const auto &[text, hundredths] : fromText)
        QCOMPARE(hundredthsFromSecondsText(text), hundredths);
}

SPINLOG_TEST(TestTimeValues)
#include "tst_time_values.moc"
