// A series on the main window: colours, average, the save question, the row
// it saves, and the series brought back at start.

#include "main_fixture.h"
#include "support/test_main.h"

#include <QApplication>

using namespace spinlog;
using namespace spinlog::test;

namespace {

QMap<QString, QString> savedRow(MainFixture &f)
{
    QMap<QString, QString> row;
    // The latest save; a series seeded by the test has no solve fields.
    Recordset rs(f.db(), QStringLiteral("select * from T_Time where Time1 is not null "
                                        "order by DateTime desc"));
    if (rs.eof())
        return row;
    for (const char *name : {"DateTime", "TypeID", "Time1", "Time2", "Time3", "Time4", "Time5",
                             "Time6", "Time12", "AveTime", "AveTimeSS", "BestTimeNo", "BestTime",
                             "BestTimeSS", "WorstTimeNo", "WorstTime", "WorstTimeSS"})
        row[name] = QByteArray(name).endsWith("SS")
                        ? QString::number(rs.field(QString::fromLatin1(name)).toDouble())
                        : rs.text(QString::fromLatin1(name));
    return row;
}

void setType(MainFixture &f, int count, const char *bw)
{
    f.db().execute(QStringLiteral("update MT_Type set TypeCnt=?, TypeBW=? where TypeID='1'"),
                   {count, QString::fromLatin1(bw)});
}

}  // namespace

class SeriesTest : public QObject {
    Q_OBJECT
private slots:
    void fiveSolvesSavedWithoutBestAndWorst()
    {
        MainFixture f(kNoWaiting);
        f.addSaved("1", "2007/04/01 10:00:00", "10.50", 10.5, "12.00", 12.0);
        frmMain &w = f.open();
        f.world.clock.now = QDateTime(QDate(2007, 5, 12), QTime(14, 3, 9));
        QString colourWhenAsked;
        f.world.prompts.onMessage = [&](const ShownBox &) { colourWhenAsked = f.colours(); };
        for (std::int64_t ms : {10000, 10000, 12000, 11000, 13000}) f.solve(ms);
        QCOMPARE(colourWhenAsked, QStringLiteral("bdddwddddddd"));
        QCOMPARE(f.world.prompts.boxes.size(), size_t(1));
        const ShownBox &box = f.world.prompts.boxes[0];
        QCOMPARE(box.text, QStringLiteral("平均タイム: 11.00\r\n結果を保存しますか"));
        QCOMPARE(box.icon, Icon::Question);
        QCOMPARE(box.buttons, Buttons::YesNo);

        const QMap<QString, QString> row = savedRow(f);
        QCOMPARE(row["DateTime"], QStringLiteral("2007/05/12 14:03:09"));
        QCOMPARE(row["TypeID"], QStringLiteral("1"));
        QCOMPARE(row["Time1"], QStringLiteral("10.00"));
        QCOMPARE(row["Time3"], QStringLiteral("12.00"));
        QCOMPARE(row["Time5"], QStringLiteral("13.00"));
        QCOMPARE(row["Time6"], QStringLiteral("-"));
        QCOMPARE(row["Time12"], QStringLiteral("-"));
        QCOMPARE(row["AveTime"], QStringLiteral("11.00"));
        QCOMPARE(row["AveTimeSS"], QStringLiteral("11"));
        QCOMPARE(row["BestTimeNo"], QStringLiteral("1"));
        QCOMPARE(row["BestTime"], QStringLiteral("10.00"));
        QCOMPARE(row["WorstTimeNo"], QStringLiteral("5"));
        QCOMPARE(row["WorstTimeSS"], QStringLiteral("13"));

        // Back to an empty series with the new best values.
        QCOMPARE(f.state(), kIdleEmpty);
        QVERIFY(f.workRows().isEmpty());
        QCOMPARE(f.labelTexts(), QStringList(12, QString()));
        QCOMPARE(f.colours(), QStringLiteral("dddddddddddd"));
        QVERIFY(w.lblAveTime->text().isEmpty());
        QCOMPARE(w.lblTm->text(), QStringLiteral("0"));
        QCOMPARE(w.lblBTm->text(), QStringLiteral("10.00"));
        QCOMPARE(w.lblBAveTm->text(), QStringLiteral("11.00"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void coloursAfterEachSolve()
    {
        MainFixture f(kNoWaiting);
        f.open();
        f.solve(12000);
        QCOMPARE(f.colours(), QStringLiteral("bddddddddddd"));  // one solve: best wins
        f.solve(11000);
        QCOMPARE(f.colours(), QStringLiteral("wbdddddddddd"));
        f.solve(11000);
        QCOMPARE(f.colours(), QStringLiteral("wbdddddddddd"));  // ties: lowest best
        f.solve(12000);
        QCOMPARE(f.colours(), QStringLiteral("dbdwdddddddd"));  // ties: highest worst
    }

    void equalTimesAndTheOneSolveSeries()
    {
        MainFixture f(kNoWaiting);
        setType(f, 1, "0");
        f.open();
        f.world.prompts.answers = {Answer::No};
        f.solve(9870);
        QCOMPARE(f.colours(), QStringLiteral("bddddddddddd"));
        QCOMPARE(f.window->lblAveTime->text(), QStringLiteral("9.87"));
        QCOMPARE(f.state(), kComplete);
        f.window->M_File[4]->trigger();
        const QMap<QString, QString> row = savedRow(f);
        QCOMPARE(row["BestTimeNo"], QStringLiteral("1"));
        QCOMPARE(row["WorstTimeNo"], QStringLiteral("1"));
        QCOMPARE(row["Time2"], QStringLiteral("-"));
        QCOMPARE(row["AveTime"], QStringLiteral("9.87"));
    }

    void averageHalfwayGoesToEven()
    {
        MainFixture f(kNoWaiting);
        setType(f, 2, "1");
        f.open();
        f.world.prompts.answers = {Answer::No};
        f.solve(10000);
        f.solve(10250);
        QCOMPARE(f.window->lblAveTime->text(), QStringLiteral("10.12"));
    }

    void averageOverAMinute()
    {
        MainFixture f(kNoWaiting);
        setType(f, 3, "1");
        f.open();
        for (std::int64_t ms : {60000, 65400, 70800}) f.solve(ms);
        const QMap<QString, QString> row = savedRow(f);
        QCOMPARE(row["AveTime"], QStringLiteral("1:05.40"));
        QCOMPARE(row["AveTimeSS"], QStringLiteral("65.4"));
        QCOMPARE(row["BestTime"], QStringLiteral("1:00.00"));
        QCOMPARE(row["WorstTime"], QStringLiteral("1:10.80"));
    }

    void declinedSaveThenSaveFromTheMenu()
    {
        MainFixture f(kNoWaiting);
        frmMain &w = f.open();
        f.world.prompts.answers = {Answer::No};
        for (int i = 0; i < 5; ++i) f.solve(10000 + i * 1000);
        QCOMPARE(f.state(), kComplete);
        QCOMPARE(f.workRows().size(), 5);
        QVERIFY(savedRow(f).isEmpty());
        QCOMPARE(w.lblAveTime->text(), QStringLiteral("12.00"));

        f.world.prompts.answers = {Answer::Yes};
        w.M_File[4]->trigger();
        QCOMPARE(f.world.prompts.texts(),
                 QStringList(2, QStringLiteral("平均タイム: 12.00\r\n結果を保存しますか")));
        QCOMPARE(savedRow(f)["AveTime"], QStringLiteral("12.00"));
        QCOMPARE(f.state(), kIdleEmpty);
    }

    void aFailedSaveCanBeRetried()
    {
        MainFixture f(kNoWaiting);
        setType(f, 2, "1");
        frmMain &w = f.open();
        // The history table is gone when the user says Yes.
        f.world.prompts.onMessage = [&](const ShownBox &box) {
            if (box.buttons == Buttons::YesNo)
                f.db().execute(QStringLiteral("alter table T_Time rename to T_Away"));
        };
        f.solve(10000);
        f.solve(11000);
        QCOMPARE(f.world.prompts.boxes.size(), size_t(2));
        QVERIFY(f.world.prompts.boxes[1].text.startsWith(QStringLiteral("保存エラー\r\n")));
        QVERIFY(f.log().contains("[frmMain]-[Sub_Save] "));
        QCOMPARE(f.state(), kComplete);
        QCOMPARE(f.workRows().size(), 2);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        f.world.prompts.onMessage = nullptr;
        f.db().execute(QStringLiteral("alter table T_Away rename to T_Time"));
        w.M_File[4]->trigger();
        QCOMPARE(savedRow(f)["AveTime"], QStringLiteral("10.50"));
        QVERIFY(f.workRows().isEmpty());
        QCOMPARE(f.state(), kIdleEmpty);
    }

    void unfinishedSeriesComesBack()
    {
        MainFixture f(kNoWaiting);
        f.addWork(1, QStringLiteral("12.00"), 12.0);
        f.addWork(2, QStringLiteral("10.00"), 10.0);
        f.addWork(3, QStringLiteral("13.50"), 13.5);
        frmMain &w = f.open();
        QCOMPARE(f.labelTexts().mid(0, 4), QStringList({"12.00", "10.00", "13.50", ""}));
        QCOMPARE(f.colours(), QStringLiteral("dbwddddddddd"));
        QVERIFY(w.lblAveTime->text().isEmpty());
        QCOMPARE(f.state(), kIdleUnderWay);
        QVERIFY(f.world.prompts.boxes.empty());
        f.solve(11000);
        QCOMPARE(f.workRows().last(), QStringList({"4", "11.00", "11"}));
    }

    void completeSeriesComesBackWithoutTheQuestion()
    {
        MainFixture f("[Main]\r\nDefType=4\r\n[Option]\r\nCntDownTm=0\r\n");
        f.addWork(1, QStringLiteral("1:00.00"), 60.0);
        f.addWork(2, QStringLiteral("50.00"), 50.0);
        f.addWork(3, QStringLiteral("55.25"), 55.25);
        frmMain &w = f.open();
        QCOMPARE(w.cmbType->currentIndex(), 4);
        QCOMPARE(w.lblAveTime->text(), QStringLiteral("55.08"));
        QCOMPARE(f.colours(), QStringLiteral("wbdddddddddd"));
        QCOMPARE(f.state(), kComplete);
        QVERIFY(f.world.prompts.boxes.empty());
        w.M_File[4]->trigger();
        QCOMPARE(f.world.prompts.texts(),
                 QStringList{QStringLiteral("平均タイム: 55.08\r\n結果を保存しますか")});
        QCOMPARE(savedRow(f)["TypeID"], QStringLiteral("5"));
    }
};
SPINLOG_TEST(SeriesTest)

#include "tst_series.moc"
