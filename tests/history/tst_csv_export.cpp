// The CSV writer: fields, lines and the exact bytes of the file.

#include "app/encoding.h"
#include "app/errors.h"
#include "history/csv_export.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

class CsvExportTest : public QObject {
    Q_OBJECT
private slots:
    void fields_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "12.34"
                               << "12.34";
        QTest::newRow("spaces trimmed") << "  1:05.43 "
                                        << "1:05.43";
        QTest::newRow("inner spaces kept") << " 3x3 OH "
                                           << "3x3 OH";
        QTest::newRow("dash") << "-"
                              << "-";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("tab is not a space") << "\tx"
                                            << "\tx";
        QTest::newRow("comma") << "3x3, OH"
                               << "\"3x3, OH\"";
        QTest::newRow("trimmed before quoting") << "  a,b  "
                                                << "\"a,b\"";
        QTest::newRow("quote doubled") << "say \"hi\""
                                       << "\"say \"\"hi\"\"\"";
        QTest::newRow("line feed") << "a\nb"
                                   << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb"
                                         << "\"a\rb\"";
    }
    void fields()
    {
        QFETCH(QString, cell);
        QFETCH(QString, field);
        QCOMPARE(csvField(cell), field);
    }

    void lines()
    {
        QCOMPARE(csvLine({QStringLiteral(" a "), QStringLiteral("b,c"), QString()}),
                 QStringLiteral("a,\"b,c\",\r\n"));
        QCOMPARE(csvLine({QStringLiteral("only")}), QStringLiteral("only\r\n"));
    }

    // Header line first, CR LF after every line, code page 932, no
    // byte-order mark, an existing longer file truncated.
    void fileBytes()
    {
        TempAppFolder folder(false);
        const QString path = folder.file(QStringLiteral("out.csv"));
        folder.write(QStringLiteral("out.csv"), QByteArray(5000, 'x'));
        const QList<QStringList> grid{
            {QStringLiteral("日時"), QStringLiteral("タイプ"), QStringLiteral("1"),
             QStringLiteral("平均")},
            {QStringLiteral("2007/05/01 21:03:09"), QStringLiteral("3x3x3目隠し"),
             QStringLiteral(" 9.87 "), QStringLiteral("-")},
            {QStringLiteral("2007/05/02 08:00:00"), QStringLiteral("3x3, OH"),
             QStringLiteral("1:05.43"), QStringLiteral("～①")},
        };
        int stopped = -2;
        writeCsvFile(
            path, int(grid.size()), 4, [&](int r, int c) { return grid[r][c]; }, &stopped);
        const QByteArray expected = QByteArray(
            "\x93\xfa\x8e\x9e,\x83\x5e\x83\x43\x83\x76,1,\x95\xbd\x8b\xcf\r\n"
            "2007/05/01 21:03:09,3x3x3\x96\xda\x89\x42\x82\xb5,9.87,-\r\n"
            "2007/05/02 08:00:00,\"3x3, OH\",1:05.43,\x81\x60\x87\x40\r\n");
        QCOMPARE(folder.read(QStringLiteral("out.csv")), expected);
        QCOMPARE(stopped, 2);
    }

    // Lines are encoded in blocks; the file must be the lines one after the
    // other all the same, whatever falls on a block's edge.
    void longFileIsEveryLine()
    {
        TempAppFolder folder(false);
        const QString path = folder.file(QStringLiteral("long.csv"));
        const int rows = 12000;
        auto cell = [](int r, int c) {
            return c == 0 ? QStringLiteral("行%1").arg(r) : QString::number(r * 15 + c);
        };
        int stopped = 0;
        writeCsvFile(path, rows, 15, cell, &stopped);
        QByteArray expected;
        for (int r = 0; r < rows; ++r) {
            QStringList cells;
            for (int c = 0; c < 15; ++c) cells << cell(r, c);
            expected += toCp932(csvLine(cells));
        }
        QCOMPARE(folder.read(QStringLiteral("long.csv")), expected);
    }

    void unwritableFile()
    {
        TempAppFolder folder(false);
        int stopped = 5;
        bool failed = false;
        try {
            writeCsvFile(
                folder.file(QStringLiteral("missing/out.csv")), 2, 1,
                [](int, int) { return QStringLiteral("x"); }, &stopped);
        } catch (const SpinlogError &e) {
            failed = !e.description().isEmpty();
        }
        QVERIFY(failed);
        QCOMPARE(stopped, -1);
    }
};

SPINLOG_TEST(CsvExportTest)
#include "tst_csv_export.moc"
