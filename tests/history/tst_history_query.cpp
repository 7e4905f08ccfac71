// The history list's statements and fill, checked against a real database
// without any window.

#include "app/errors.h"
#include "history/history_numbers.h"
#include "history/history_query.h"
#include "history_fixture.h"
#include "support/test_main.h"

#include <QTest>

using namespace spinlog;
using namespace spinlog::test;

namespace {

// Keeps what the fill hands over, as the grid would.
struct RecordingSink : HistorySink {
    int clears = 0;
    int batches = 0;
    QStringList texts;
    std::vector<std::uint32_t> colours;
    void clear() override
    {
        ++clears;
        texts.clear();
        colours.clear();
    }
    void appendRows(const QStringList &t, const std::vector<std::uint32_t> &c) override
    {
        ++batches;
        texts << t;
        colours.insert(colours.end(), c.begin(), c.end());
    }
    int rows() const { return int(texts.size() / kHistoryCols); }
    QString text(int row, int col) const { return texts.at(row * kHistoryCols + col); }
    std::uint32_t colour(int row, int col) const
    {
        return colours.at(std::size_t(row * kHistoryCols + col));
    }
    QStringList column(int col) const
    {
        QStringList list;
        for (int r = 0; r < rows(); ++r) list << text(r, col);
        return list;
    }
};

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const SpinlogError &e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

class HistoryQueryTest : public QObject {
    Q_OBJECT
private slots:
    void statementTexts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("order");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        const QString base =
            QStringLiteral("select * from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID ");
        QTest::newRow("all, date up") << 0 << 0 << base + " order by DateTime" << QVariantList{};
        QTest::newRow("all, date down")
            << 0 << 1 << base + " order by DateTime desc" << QVariantList{};
        QTest::newRow("all, average up")
            << 0 << 2 << base + " order by AveTimeSS" << QVariantList{};
        QTest::newRow("all, average down")
            << 0 << 3 << base + " order by AveTimeSS desc" << QVariantList{};
        QTest::newRow("type 2, date up") << 2 << 0 << base + "and T_Time.TypeID=? order by DateTime"
                                         << QVariantList{QStringLiteral("2")};
        QTest::newRow("type 2, average down")
            << 2 << 3 << base + "and T_Time.TypeID=? order by AveTimeSS desc"
            << QVariantList{QStringLiteral("2")};
        QTest::newRow("unknown order") << 5 << 7 << base + "and T_Time.TypeID=? order by "
                                       << QVariantList{QStringLiteral("5")};
    }
    void statementTexts()
    {
        QFETCH(int, type);
        QFETCH(int, order);
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        const BoundStatement s = historyListQuery(type, order);
        QCOMPARE(s.sql, sql);
        QCOMPARE(s.values, values);
    }

    void deleteAndFilterStatements()
    {
        const BoundStatement one = deleteRecordStatement(QStringLiteral("2007/05/01 21:03:09"));
        QCOMPARE(one.sql, QStringLiteral("delete from T_Time where DateTime=?"));
        QCOMPARE(one.values, QVariantList{QStringLiteral("2007/05/01 21:03:09")});
        QCOMPARE(deleteListedStatement(0).sql, QStringLiteral("delete from T_Time"));
        QVERIFY(deleteListedStatement(0).values.isEmpty());
        QCOMPARE(deleteListedStatement(3).sql, QStringLiteral("delete from T_Time where TypeID=?"));
        QCOMPARE(deleteListedStatement(3).values, QVariantList{QStringLiteral("3")});
        QCOMPARE(historyTypeFilter(0), std::nullopt);
        QCOMPARE(historyTypeFilter(4), std::optional<QString>(QStringLiteral("4")));
        // A list without a position must never turn into "every record".
        QCOMPARE(errorOf([] { deleteListedStatement(-1); }), describe::invalidArgument());
        QCOMPARE(errorOf([] { historyListQuery(-1, 0); }), describe::invalidArgument());
    }

    // Each filter and order against the database: the rows and their order.
    void listedRows()
    {
        HistoryWorld w;
        w.seedThree();
        addSeries(w.db(), {QStringLiteral("2007/05/04 09:00:00"),
                           QStringLiteral("9"),
                           {QStringLiteral("9.00")},
                           QStringLiteral("9.00")});
        auto dates = [&w](int type, int order) {
            RecordingSink sink;
            const int rows =
                fillHistory(w.db(), historyListQuery(type, order), w.program().settings, sink);
            if (rows != sink.rows())
                return QStringList{QStringLiteral("row count mismatch")};
            return sink.column(0);
        };
        const QString d1 = QStringLiteral("2007/05/01 21:03:09");
        const QString d2 = QStringLiteral("2007/05/02 08:00:00");
        const QString d3 = QStringLiteral("2007/05/03 12:30:45");
        // The series of type 9 has no type entry and is never listed.
        QCOMPARE(dates(0, 0), (QStringList{d1, d2, d3}));
        QCOMPARE(dates(0, 1), (QStringList{d3, d2, d1}));
        QCOMPARE(dates(0, 2), (QStringList{d2, d3, d1}));
        QCOMPARE(dates(0, 3), (QStringList{d1, d3, d2}));
        QCOMPARE(dates(1, 2), (QStringList{d3, d1}));
        QCOMPARE(dates(1, 1), (QStringList{d3, d1}));
        QCOMPARE(dates(2, 0), (QStringList{d2}));
        QCOMPARE(dates(5, 0), QStringList{});
    }

    void rowTextsAndColours()
    {
        HistoryWorld w;
        SettingsValues &s = w.program().settings;
        s.DefColor = QStringLiteral("100");
        s.BestColor = QStringLiteral("200");
        s.WorstColor = QStringLiteral("300");
        // Best solve 3, worst solve 5, as saved; and a one-solve series.
        addSeries(w.db(),
                  {QStringLiteral("2007/05/01 10:00:00"),
                   QStringLiteral("5"),
                   {QStringLiteral("12.00"), QStringLiteral("13.00"), QStringLiteral("10.00"),
                    QStringLiteral("12.50"), QStringLiteral("1:05.43")},
                   QStringLiteral("12.50"),
                   3,
                   5});
        addSeries(w.db(), {QStringLiteral("2007/05/02 10:00:00"),
                           QStringLiteral("1"),
                           {QStringLiteral("9.87")},
                           QStringLiteral("9.87")});
        RecordingSink sink;
        QCOMPARE(fillHistory(w.db(), historyListQuery(0, 0), s, sink), 2);
        QCOMPARE(sink.clears, 1);

        QCOMPARE(sink.text(0, 0), QStringLiteral("2007/05/01 10:00:00"));
        QCOMPARE(sink.text(0, 1), QStringLiteral("3x3x3目隠し"));
        QCOMPARE(sink.text(0, 6), QStringLiteral("1:05.43"));
        QCOMPARE(sink.text(0, 7), QStringLiteral("-"));
        QCOMPARE(sink.text(0, 14), QStringLiteral("12.50"));
        const std::vector<std::uint32_t> first(sink.colours.begin(),
                                               sink.colours.begin() + kHistoryCols);
        const std::uint32_t none = kNoColour, white = kMissingSolveColour;
        QCOMPARE(first,
                 (std::vector<std::uint32_t>{none, none, 100, 100, 200, 100, 300, white, white,
                                             white, white, white, white, white, none}));
        // A single solve is both best and worst; best wins.
        QCOMPARE(sink.colour(1, 2), 200u);
        QCOMPARE(sink.colour(1, 3), white);
    }

    void emptyList()
    {
        HistoryWorld w;
        RecordingSink sink;
        sink.texts << QStringLiteral("old");
        QCOMPARE(fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink), 0);
        QCOMPARE(sink.clears, 1);
        QCOMPARE(sink.batches, 0);
        QVERIFY(sink.texts.isEmpty());
    }

    // Many rows arrive in several batches, in order, none lost at the seams.
    void batchesKeepEveryRow()
    {
        HistoryWorld w;
        {
            Transaction t(w.db());
            for (int i = 0; i < 5000; ++i)
                addSeries(w.db(), {QStringLiteral("2007/05/01 %1").arg(i, 8, 10, QLatin1Char('0')),
                                   QStringLiteral("1"),
                                   {QStringLiteral("10.00")},
                                   QStringLiteral("10.00")});
            t.commit();
        }
        RecordingSink sink;
        QCOMPARE(fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink), 5000);
        QVERIFY(sink.batches > 1);
        QCOMPARE(sink.rows(), 5000);
        QCOMPARE(sink.text(0, 0), QStringLiteral("2007/05/01 00000000"));
        QCOMPARE(sink.text(4999, 0), QStringLiteral("2007/05/01 00004999"));
        QCOMPARE(sink.text(4999, 2), QStringLiteral("10.00"));
    }

    void failures()
    {
        HistoryWorld w;
        w.seedThree();
        // A missing value in a shown field stops the fill; the rows before it
        // and the part of its own row already written have been handed over.
        w.db().execute(QStringLiteral("update T_Time set BestTimeNo=NULL where DateTime=?"),
                       {QStringLiteral("2007/05/02 08:00:00")});
        RecordingSink sink;
        QCOMPARE(errorOf([&] {
                     fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink);
                 }),
                 describe::invalidNull());
        QCOMPARE(sink.rows(), 2);
        QCOMPARE(sink.text(1, 0), QStringLiteral("2007/05/02 08:00:00"));
        QCOMPARE(sink.text(1, 14), QStringLiteral("5.00"));

        // A solve number outside the grid.
        w.db().execute(QStringLiteral("update T_Time set BestTimeNo=14"));
        QCOMPARE(errorOf([&] {
                     fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink);
                 }),
                 describe::invalidArgument());

        // A colour setting that is no number fails once there is a row to colour.
        w.program().settings.DefColor = QStringLiteral("grey");
        QCOMPARE(errorOf([&] {
                     fillHistory(w.db(), historyListQuery(0, 0), w.program().settings, sink);
                 }),
                 describe::typeMismatch());
        RecordingSink empty;
        fillHistory(w.db(), historyListQuery(4, 0), w.program().settings, empty);
        QCOMPARE(empty.clears, 1);

        // A query the engine refuses leaves the old rows alone.
        RecordingSink untouched;
        QVERIFY(errorOf([&] {
                    fillHistory(w.db(), historyListQuery(0, 9), w.program().settings, untouched);
                }) != QStringLiteral("(no error)"));
        QCOMPARE(untouched.clears, 0);
    }

    void settingConversions()
    {
        QCOMPARE(positionFromText(QStringLiteral("2")), std::int16_t(2));
        QCOMPARE(positionFromText(QStringLiteral(" 3 ")), std::int16_t(3));
        QCOMPARE(positionFromText(QStringLiteral("2.5")), std::int16_t(2));
        QCOMPARE(positionFromText(QStringLiteral("3.5")), std::int16_t(4));
        QCOMPARE(positionFromText(QStringLiteral("-1")), std::int16_t(-1));
        QCOMPARE(errorOf([] { positionFromText(QStringLiteral("abc")); }),
                 describe::typeMismatch());
        QCOMPARE(errorOf([] { positionFromText(QString()); }), describe::typeMismatch());
        QCOMPARE(errorOf([] { positionFromText(QStringLiteral("40000")); }), describe::overflow());
        QCOMPARE(singleFromText(QStringLiteral("4012.5")), 4012.5f);
        QCOMPARE(errorOf([] { singleFromText(QStringLiteral("1e300")); }), describe::overflow());
        QCOMPARE(textFromSingle(4012.5f), QStringLiteral("4012.5"));
        QCOMPARE(textFromSingle(3000.0f), QStringLiteral("3000"));
        QCOMPARE(textFromSingle(-15.0f), QStringLiteral("-15"));
        QCOMPARE(colourFromText(QStringLiteral("16744576")), 16744576u);
        QCOMPARE(errorOf([] { colourFromText(QStringLiteral("blue")); }), describe::typeMismatch());
    }
};

SPINLOG_TEST(HistoryQueryTest)
#include "tst_history_query.moc"
