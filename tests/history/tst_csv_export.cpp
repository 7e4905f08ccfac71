// The CSV writer: its fields, whole files written a block at a time, and a
// failing write that must leave the old file as it was.

#include "history/csv_export.h"
#include "support/file_size_limit.h"
#include "support/temp_app_folder.h"
#include "support/test_main.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QTest>
#include <cstring>
#include <thread>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Hands rows to the writer as the store does: one batch per 256 rows.
struct Rows {
    int count;
    std::function<QString(int row, int col)> cell;
    void operator()(HistorySink &sink) const
    {
        sink.clear();
        HistoryRows batch;
        for (int r = 0; r < count; ++r) {
            for (int c = 0; c < kHistoryCols; ++c) {
                batch.text += cell(r, c).toStdString();
                batch.ends.push_back(std::uint32_t(batch.text.size()));
            }
            batch.ids.push_back(r);
            if (batch.ids.size() == 256 || r == count - 1) {
                sink.appendRows(batch);
                batch = {};
            }
        }
    }
};

const QStringList kHeader = QString("日時,タイプ,1,2,3,4,5,6,7,8,9,10,11,12,平均").split(',');

}  // namespace

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
    // line is whole, in code page 932, with CR LF; fields that lost a
    // character are counted once each.
    void longFileIsEveryLine()
    {
        TempAppFolder folder(false);
        const Rows rows{12000, [](int r, int c) {
                            if (c == 1)
                                return r == 7000 ? QString("😀 €") : QString("〜");
                            return c ? QString::number(r * 15 + c) : "行" + QString::number(r);
                        }};
        int reached = -1;
        const CsvOutcome outcome =
            writeHistoryCsv(folder.file("long.csv"), folder.path(), kHeader, rows, &reached);
        QCOMPARE(outcome.rows, 12000);
        QCOMPARE(outcome.lossyFields, 1);
        QCOMPARE(reached, 12000);
        const QByteArray file = folder.read("long.csv");
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.size(), 12002);  // the last line ends the file
        QCOMPARE(file.count("\r\n"), 12001);
        QCOMPARE(lines.first(),
                 "\x93\xfa\x8e\x9e,\x83\x5e\x83\x43\x83\x76,1,2,3,4,5,6,7,8,9,10,11,12,"
                 "\x95\xbd\x8b\xcf\r");
        QCOMPARE(lines.at(6001),
                 "\x8d\x73"
                 "6000,\x81\x60,90002,90003,90004,90005,90006,90007,"
                 "90008,90009,90010,90011,90012,90013,90014\r");
        QCOMPARE(lines.at(7001).left(15),
                 "\x8d\x73"
                 "7000,? ?,1050");
    }

    // A disk full at a later block leaves the file it would replace whole,
    // no partial file beside it, and names the system's error.
    void aFailedWriteKeepsTheOldFile()
    {
        TempAppFolder folder(false);
        const QString dir = folder.file("out");
        QVERIFY(QDir().mkdir(dir));
        const QString path = dir + "/out.csv";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old export\r\n") > 0);
        old.close();
        const Rows rows{5000, [](int r, int c) { return QString::number(r * 15 + c); }};
        int reached = -1;
        QString error;
        try {
            FileSizeLimit full(200000);
            writeHistoryCsv(path, folder.path(), kHeader, rows, &reached);
        } catch (const SpinlogError &e) {
            error = e.description();
        }
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"out.csv"});
        QCOMPARE(folder.read("out/out.csv"), "old export\r\n");
    }

    // The program's own database chosen by mistake stays as it was.
    void neverOverTheDatabase()
    {
        TempAppFolder folder(false);
        folder.write("Spinlog.mdb", "records");
        int reached = -1;
        QVERIFY_THROWS_EXCEPTION(SpinlogError,
                                 writeHistoryCsv(folder.file("Spinlog.mdb"), folder.path(), kHeader,
                                                 Rows{3, {}}, &reached));
        QCOMPARE(folder.read("Spinlog.mdb"), "records");
    }

    // A FIFO whose reader leaves early: the export fails with the system's
    // words, and the broken pipe does not end the program.
    void aStreamWhoseReaderLeaves()
    {
        TempAppFolder folder(false);
        const QByteArray fifo = QFile::encodeName(folder.file("fifo"));
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        ssize_t read = 0;
        std::thread reader([&] {
            char start[16];
            const int fd = ::open(fifo.constData(), O_RDONLY);
            read = ::read(fd, start, sizeof start);
            ::close(fd);
        });
        int reached = -1;
        QString error;
        try {
            writeHistoryCsv(folder.file("fifo"), folder.path(), kHeader,
                            Rows{5000, [](int r, int c) { return QString::number(r * 15 + c); }},
                            &reached);
        } catch (const SpinlogError &e) {
            error = e.description();
        }
        reader.join();
        QCOMPARE(read, ssize_t(16));
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(EPIPE)));
    }
};

SPINLOG_TEST(CsvExportTest)
#include "tst_csv_export.moc"
