// The command line: what it prints where, and its exit status when the
// arguments are wrong or the output cannot be written.

#include "app/command_line.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

using namespace spinlog;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void statuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("full");  // the output goes to a full device
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");  // its first line
        QTest::addColumn<QString>("errors");  // their first line
        const QString usage =
            "使い方: spinlog                          ストップウォッチを起動します";
        QTest::newRow("scrambles")
            << QStringList{"--scramble", "2x2x2", "2"} << false << 0 << "(2 lines)"
            << "";
        QTest::newRow("usage") << QStringList{"--help"} << false << 0 << usage << "";
        for (const char *option : {"--bogus", "-h", "--scramble=3x3x3", "scramble"})
            QTest::addRow("%s refused", option)
                << QStringList{option} << false << 2 << ""
                << QString("spinlog: 「%1」は使えないオプションです。").arg(option);
        QTest::newRow("scrambles to a full device")
            << QStringList{"--scramble", "3x3x3", "3"} << true << 1 << ""
            << "spinlog: 出力を書き込めません: No space left on device";
        QTest::newRow("usage to a full device")
            << QStringList{"--help"} << true << 1 << ""
            << "spinlog: 出力を書き込めません: No space left on device";
    }
    void statuses()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, full);
        QByteArray written, errors;
        QBuffer out(&written), err(&errors);
        QFile device("/dev/full");
        if (full && !device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("no /dev/full here");
        QVERIFY(out.open(QIODevice::WriteOnly) && err.open(QIODevice::WriteOnly));
        QTEST(runCommandLine(args, full ? static_cast<QIODevice &>(device) : out, err), "status");
        const QStringList lines = QString::fromUtf8(written).split('\n', Qt::SkipEmptyParts);
        QTEST(lines.size() == 2 ? QString("(2 lines)") : lines.value(0), "output");
        QTEST(QString::fromUtf8(errors).section('\n', 0, 0), "errors");
        // A refusal shows the usage after the reason.
        if (args.first().startsWith("-h") || args.first() == "--bogus")
            QCOMPARE(QString::fromUtf8(errors).section('\n', 1, 1).left(12), "使い方: spinlog");
    }
};

SPINLOG_TEST(CommandLineTest)
#include "tst_command_line.moc"
