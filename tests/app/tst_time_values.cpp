// Time values: whole seconds to the display (65 -> 1:05), the display back to
// seconds (1:23.46 -> 83.46) with the old conversions' rounding and limits,
// hundredths from the clock and from the history's texts.

#include "base/attempts.h"
#include "base/errors.h"
#include "base/time_values.h"
#include "support/test_main.h"

#include <QRandomGenerator>
#include <QTest>
#include <limits>

using namespace spinlog;

class TestTimeValues : public QObject {
    Q_OBJECT
private slots:
    void conversions_data()
    {
        QTest::addColumn<QString>("input");   // "S " (display to seconds) or "HNS " first
        QTest::addColumn<QString>("result");  // or the failure's description
        const QString mismatch = describe::typeMismatch(), overflow = describe::overflow();
        const QString invalid = describe::invalidArgument();
        // clang-format off
        const std::pair<const char *, QString> rows[] = {
            {"HNS 9", "9"}, {"HNS 10", "10"}, {"HNS 60", "1:00"}, {"HNS 65", "1:05"},
            {"HNS 3599", "59:59"}, {"HNS 3600", "1:00:00"}, {"HNS 3725", "1:02:05"},
            {"HNS  +1e2 ", "1:40"}, {"HNS -65", "-1:-5"}, {"HNS 2147483647", "596523:14:07"},
            // Halves go to the even neighbour; "10 or more" looks at the input.
            {"HNS 0.5", "0"}, {"HNS 2.5", "2"}, {"HNS 9.6", "10"}, {"HNS 59.5", "1:00"},
            {"HNS ", mismatch}, {"HNS 1,5", mismatch}, {"HNS 2147483648", overflow},
            {"HNS 1e400", overflow}, {"S ", ""}, {"S 1:23.46", "83.46"}, {"S 1:02:05.50", "3725.50"},
            {"S 0.07", "0.07"}, {"S 5.1x", "5.1x"}, {"S 546:00.00", "32760.00"},
            {"S 32767:00:00.00", "117961200.00"}, {"S  1: 23 .46", "83.46"},
            {"S 1:2.5:3.45", "62.5:3.45"},  // scanning stops at the first point
            {"S 83", invalid}, {"S  ", invalid}, {"S 547:00.00", overflow},
            {"S 1:32768.00", overflow}, {"S :12.00", mismatch}, {"S .50", mismatch},
            {"S 1:2:3:4.00", mismatch}};
        // clang-format on
        for (const auto &[input, result] : rows) QTest::newRow(input) << QString(input) << result;
    }
    void conversions()
    {
        QFETCH(QString, input);
        const QString text = input.section(' ', 1);
        try {
            QTEST(input.startsWith("S ") ? timeChangeS(text) : timeChangeHNS(text), "result");
        } catch (const SpinlogError &e) {
            QTEST(e.description(), "result");
        }
    }

    // Every display form up to an hour converts back to its seconds.
    void displayFormUpToAnHourAndBack()
    {
        for (std::int64_t hundredths = 0; hundredths <= 360000; ++hundredths) {
            const QString seconds = secondsText(hundredths);
            const QString back = timeChangeS(displayForm(seconds));
            if (back != seconds || hundredthsFromSecondsText(seconds) != hundredths)
                QFAIL(qPrintable(seconds + " came back as " + back));
            if (displayForm(hundredths) != displayForm(seconds))
                QFAIL(qPrintable(seconds + " shown as " + displayForm(hundredths)));
            // The stored number is its text's, to the last bit.
            if (secondsValue(hundredths) != seconds.toDouble() ||
                secondsValue(-hundredths) != secondsText(-hundredths).toDouble())
                QFAIL(qPrintable(seconds + " stored as another number"));
        }
        for (const std::int64_t far :
             {(std::int64_t(1) << 53) - 1, std::int64_t(1) << 53,
              std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()})
            QCOMPARE(secondsValue(far), secondsText(far).toDouble());
        // Hours, days and the whole part's last value.
        for (const std::int64_t far :
             {std::int64_t(3600000), std::int64_t(8639999), std::int64_t(36000000),
              std::int64_t(123456789012), (std::int64_t(100) << 31) - 1})
            QCOMPARE(displayForm(far), displayForm(secondsText(far)));
        QVERIFY_THROWS_EXCEPTION(SpinlogError, displayForm(std::int64_t(100) << 31));
    }

    void hundredths()
    {
        QCOMPARE(secondsText(std::numeric_limits<std::int64_t>::min()),
                 QString("-92233720368547758.08"));
        // clang-format off
        const std::pair<std::int64_t, std::int64_t> fromNs[] = {  // the nearest, halves upward
            {4'999'999, 0}, {5'000'000, 1}, {-5'000'000, 0}, {-5'000'001, -1},
            {std::numeric_limits<std::int64_t>::min(), -922337203685}};
        const std::pair<const char *, std::optional<std::int64_t>> fromText[] = {
            {" 83.4 ", 8340}, {"-0.05", -5}, {"83.455", 8346}, {"83.46000000000001", 8346},
            {"", {}}, {"1:23.46", {}}, {"1.2.3", {}}, {"1e2", {}}, {"92233720368547758", {}}};
        // clang-format on
        for (const auto &[ns, hundredths] : fromNs) QCOMPARE(hundredthsFromNs(ns), hundredths);
        for (const auto &[text, hundredths] : fromText)
            QCOMPARE(hundredthsFromSecondsText(text), hundredths);
    }

    // The byte reader (the statistics', and the text reader's for short
    // texts) says what the rule says, on the forms the program writes, their
    // edges and random texts made of their characters.
    void solveTextsReadByBytesAsByText()
    {
        QStringList texts = QString(
                                "DNF|DNF+|dnf|12.34|14.34+|14.34++|+||-|1:05.43|1:00:00.00|"
                                "9:59:59.99|546:00.00|547:00.00|9999.99|99999.99|0.5|12.|.5|"
                                "12.345|:5.00|1::5.00|1:2:3:4.00| 1.00|1.00 |1e1.00|01:05.43|"
                                "0:0:0.00|999:00:00.00|2777:46:39.98|2777:46:39.99")
                                .split('|');
        QRandomGenerator random(7);
        const QByteArray alphabet = "0123456789:.+DNF -e";
        for (int i = 0; i < 200000; ++i) {
            QByteArray text;
            for (int n = int(random.bounded(11)); n > 0; --n)
                text += alphabet[random.bounded(int(alphabet.size()))];
            texts << QString::fromLatin1(text);
        }
        for (const QString &text : texts) {
            const QByteArray utf8 = text.toUtf8();
            const std::optional<Counted> byRule = countedByRule(text);
            if (countedFromUtf8(std::string_view(utf8.constData(), std::size_t(utf8.size()))) !=
                    byRule ||
                countedFromText(text) != byRule)
                QFAIL(qPrintable("read differently: \"" + text + '"'));
        }
    }
};

SPINLOG_TEST(TestTimeValues)
#include "tst_time_values.moc"
