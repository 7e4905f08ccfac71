#include "support/history_world.h"

namespace spinlog::test {

// The seconds stored beside a display text, a DNF's number for "DNF".
static double seconds(const QString &text)
{
    const std::optional<Counted> counted = countedFromText(text);
    return counted ? double(counted->hundredths) / 100 : text.toDouble();
}

void addSeries(Database &db, const SeriesRow &s)
{
    int best = 1, worst = 1;
    for (int i = 1; i < s.times.size(); ++i) {
        if (seconds(s.times[i]) < seconds(s.times[best - 1]))
            best = i + 1;
        if (seconds(s.times[i]) > seconds(s.times[worst - 1]))
            worst = i + 1;
    }
    best = s.bestNo ? s.bestNo : best;
    worst = s.worstNo ? s.worstNo : worst;
    QVariantList values{s.dateTime, s.typeId};
    for (int n = 0; n < 12; ++n) values << s.times.value(n, QStringLiteral("-"));
    values << s.average << seconds(s.average) << best << s.times.value(best - 1)
           << seconds(s.times.value(best - 1)) << worst << s.times.value(worst - 1)
           << seconds(s.times.value(worst - 1));
    db.execute(
        QStringLiteral("insert into T_Time (DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, "
                       "Time6, Time7, Time8, Time9, Time10, Time11, Time12, AveTime, AveTimeSS, "
                       "BestTimeNo, BestTime, BestTimeSS, WorstTimeNo, WorstTime, WorstTimeSS) "
                       "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        values);
}

int countRows(Database &db, const QString &where, const QString &table)
{
    Recordset rs(db, QStringLiteral("select count(*) as n from ") + table + ' ' + where);
    return rs.field(QStringLiteral("n")).toInt();
}

void dropAddedIndexes(Database &db)
{
    QStringList names;
    for (Recordset rs(db,
                      "select name from sqlite_master where type='index' and "
                      "name<>'T_Time_TypeID'");
         !rs.eof(); rs.moveNext())
        names << rs.text(0);
    for (const QString &name : names) db.execute("drop index " + name);
}

QString contentsOf(const HistoryFile &file)
{
    QStringList sessions;
    for (const ImportedSession &session : file.sessions) {
        QStringList solves;
        for (const ImportedSolve &solve : session.solves) {
            QString text =
                attemptToken(solve.attempt()) + '@' + QString::number(solve.moment() / 1000);
            const SolveDetails d = solveDetails(file, session, solve);
            QStringList splits;
            for (const std::int64_t ms : d.splits) splits << QString::number(ms);
            if (!d.scramble.isEmpty() || !d.comment.isEmpty() || !splits.isEmpty())
                text += '{' + d.scramble + '|' + d.comment + '|' + splits.join(' ') + '}';
            solves << text;
        }
        sessions << session.name + '[' + solves.join(' ') + ']';
    }
    return formatName(file.format) + ": " + sessions.join(' ');
}

QByteArray twelveSolves(const char *name)
{
    QByteArray solves;
    for (int i = 0; i < 12; ++i)
        solves += (i ? "," : "") + QByteArray("[[0,") + QByteArray::number(10000 + i * 100) +
                  "],\"\",\"\"," + QByteArray::number(1700000000 + i) + "]";
    return "{\"session1\":[" + solves +
           "],\"properties\":{\"sessionData\":\"{\\\"1\\\":{\\\"name\\\":\\\"" + name +
           "\\\"}}\"}}";
}

HistoryWorld::HistoryWorld() : world(folder.path())
{
    world.program.records = std::make_unique<RecordStores>(
        Database::open(folder.file(QStringLiteral("Spinlog.mdb"))), &world.program.settings);
}

void HistoryWorld::seedThree()
{
    addSeries(db(),
              {"2007/05/01 21:03:09", "1", {"20.00", "18.50", "22.10", "19.00", "21.00"}, "20.00"});
    addSeries(db(), {"2007/05/02 08:00:00", "2", {"5.10", "4.20", "6.30", "5.00", "4.90"}, "5.00"});
    addSeries(db(),
              {"2007/05/03 12:30:45", "1", {"17.00", "16.00", "19.50", "18.00", "15.20"}, "17.00"});
}

}  // namespace spinlog::test
