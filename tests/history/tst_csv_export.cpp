// The CSV writer: its fields, and whole files written a block at a time.

#include "history/csv_export.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

class CsvExportTest : public QObject {
    Q_OBJECT
private slots:
    void fields()
    {
        const QList<std::pair<QString, QString>> cases{
            {"  1:05.43 ", "1:05.43"},
            {" 3x3 OH ", "3x3 OH"},
            {"-", "-"},
            {"\tx", "\tx"},  // only spaces are trimmed
            {"3x3, OH", "\"3x3, OH\""},
            {"  a,b  ", "\"a,b\""},
            {"say \"hi\"", "\"say \"\"hi\"\"\""},
            {"a\nb", "\"a\nb\""},
            {"a\rb", "\"a\rb\""},
        };
        for (const auto &[cell, field] : cases) QCOMPARE(csvField(cell), field);
    }

    // Lines are encoded in blocks; whatever falls on a block's edge, every
    // line is whole, in code page 932, with CR LF.
    void longFileIsEveryLine()
    {
        TempAppFolder folder(false);
        const auto cell = [](int r, int c) {
            return c ? QString::number(r * 15 + c) : "行" + QString::number(r);
        };
        int stopped = 0;
        writeCsvFile(folder.file(QStringLiteral("long.csv")), 12000, 15, cell, &stopped);
        const QByteArray file = folder.read(QStringLiteral("long.csv"));
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.size(), 12001);  // the last line ends the file
        QCOMPARE(file.count("\r\n"), 12000);
        QCOMPARE(lines.first(),
                 "\x8d\x73"
                 "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14\r");
        QCOMPARE(lines.at(6000),
                 "\x8d\x73"
                 "6000,90001,90002,90003,90004,90005,90006,90007,"
                 "90008,90009,90010,90011,90012,90013,90014\r");
        QCOMPARE(lines.at(11999).left(15),
                 "\x8d\x73"
                 "11999,179986,");
    }
};

SPINLOG_TEST(CsvExportTest)
#include "tst_csv_export.moc"
