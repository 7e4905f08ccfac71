// The CSV writer: its fields, and whole files written a block at a time.

#include "app/encoding.h"
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

    // Lines are encoded in blocks; whatever falls on a block's edge, the file
    // is every line one after the other.
    void longFileIsEveryLine()
    {
        TempAppFolder folder(false);
        auto cell = [](int r, int c) {
            return c ? QString::number(r * 15 + c) : "行" + QString::number(r);
        };
        int stopped = 0;
        writeCsvFile(folder.file(QStringLiteral("long.csv")), 12000, 15, cell, &stopped);
        QByteArray expected;
        for (int r = 0; r < 12000; ++r) {
            QStringList cells;
            for (int c = 0; c < 15; ++c) cells << cell(r, c);
            expected += toCp932(csvLine(cells));
        }
        QCOMPARE(folder.read(QStringLiteral("long.csv")), expected);
    }
};

SPINLOG_TEST(CsvExportTest)
#include "tst_csv_export.moc"
