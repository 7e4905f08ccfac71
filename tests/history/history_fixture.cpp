#include "history_fixture.h"

#include "app/encoding.h"
#include "app/error_log.h"

#include <algorithm>

namespace spinlog::test {

void addSeries(Database &db, const SeriesRow &s)
{
    QStringList cells = s.times;
    while (cells.size() < 12) cells << QStringLiteral("-");
    int best = 1;
    int worst = 1;
    for (int i = 1; i < s.times.size(); ++i) {
        if (s.times[i].toDouble() < s.times[best - 1].toDouble())
            best = i + 1;
        if (s.times[i].toDouble() > s.times[worst - 1].toDouble())
            worst = i + 1;
    }
    if (s.bestNo)
        best = s.bestNo;
    if (s.worstNo)
        worst = s.worstNo;
    QVariantList values{s.dateTime, s.typeId};
    for (const QString &cell : cells) values << cell;
    values << s.average << s.average.toDouble() << best << s.times.value(best - 1)
           << s.times.value(best - 1).toDouble() << worst << s.times.value(worst - 1)
           << s.times.value(worst - 1).toDouble();
    db.execute(
        QStringLiteral("insert into T_Time (DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, "
                       "Time6, Time7, Time8, Time9, Time10, Time11, Time12, AveTime, AveTimeSS, "
                       "BestTimeNo, BestTime, BestTimeSS, WorstTimeNo, WorstTime, WorstTimeSS) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        values);
}

int countRows(Database &db, const QString &where, const QVariantList &values)
{
    Recordset rs(db, QStringLiteral("select count(*) as n from T_Time ") + where, values);
    return rs.field(QStringLiteral("n")).toInt();
}

HistoryWorld::HistoryWorld() : world(folder.path())
{
    world.program.gDB = Database::open(folder.file(QStringLiteral("Spinlog.mdb")));
}

void HistoryWorld::seedThree()
{
    addSeries(db(), {QStringLiteral("2007/05/01 21:03:09"),
                     QStringLiteral("1"),
                     {QStringLiteral("20.00"), QStringLiteral("18.50"), QStringLiteral("22.10"),
                      QStringLiteral("19.00"), QStringLiteral("21.00")},
                     QStringLiteral("20.00")});
    addSeries(db(), {QStringLiteral("2007/05/02 08:00:00"),
                     QStringLiteral("2"),
                     {QStringLiteral("5.10"), QStringLiteral("4.20"), QStringLiteral("6.30"),
                      QStringLiteral("5.00"), QStringLiteral("4.90")},
                     QStringLiteral("5.00")});
    addSeries(db(), {QStringLiteral("2007/05/03 12:30:45"),
                     QStringLiteral("1"),
                     {QStringLiteral("17.00"), QStringLiteral("16.00"), QStringLiteral("19.50"),
                      QStringLiteral("18.00"), QStringLiteral("15.20")},
                     QStringLiteral("17.00")});
}

QStringList HistoryWorld::logTexts() const
{
    const QByteArray log = folder.read(QStringLiteral("Err.log"));
    QStringList texts;
    for (qsizetype at = kLogRecordSize; at + kLogRecordSize <= log.size(); at += kLogRecordSize)
        texts << fromCp932(log.mid(at + 21, kLogTextSize)).trimmed();
    return texts;
}

}  // namespace spinlog::test
