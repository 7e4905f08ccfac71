#pragma once
// A main window over fakes in a fresh application folder, with the database
// opened and the settings read as start-up does.

#include "app/program.h"
#include "app/startup.h"
#include "data/database.h"
#include "data/mdb.h"
#include "main_window/main_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"

#include <QLabel>
#include <QSet>
#include <QTest>
#include <memory>

namespace spinlog::test {

struct MainFixture {
    explicit MainFixture(const QByteArray &ini = {})
    {
        if (!ini.isEmpty())
            folder.write(QStringLiteral("Spinlog.ini"), ini);
        if (!Fun_MDBOpen(world.program, folder.file(QStringLiteral("Spinlog.mdb"))))
            throw std::runtime_error("cannot open the test database");
        readSettings(world.program);
    }

    frmMain &open()
    {
        window = std::make_unique<frmMain>(world.program);
        return *window;
    }

    Database &db() { return world.program.db(); }

    int count(const QString &table)
    {
        Recordset rs(db(), QStringLiteral("select count(*) as n from ") + table);
        return rs.field(QStringLiteral("n")).toInt();
    }

    void addWork(int no, const QString &time, double seconds)
    {
        db().execute(QStringLiteral("insert into W_Time ([No],[Time],[TimeSS]) values (?,?,?)"),
                     {no, time, seconds});
    }

    // A saved series with only the fields the best values are taken from.
    void addSaved(const QString &typeId, const QString &stamp, const QString &best,
                  double bestSeconds, const QString &average, double averageSeconds)
    {
        db().execute(QStringLiteral("insert into T_Time (DateTime, TypeID, BestTime, BestTimeSS, "
                                    "AveTime, AveTimeSS) values (?,?,?,?,?,?)"),
                     {stamp, typeId, best, bestSeconds, average, averageSeconds});
    }

    // Solve labels that are shown (not hidden by the type's count).
    QList<int> shownLabels() const
    {
        QList<int> shown;
        for (int n = 1; n <= 12; ++n)
            if (!window->lblTime[n]->isHidden())
                shown << n;
        return shown;
    }

    QByteArray log() const { return folder.read(QStringLiteral("Err.log")); }

    TempAppFolder folder;
    FakeWorld world{folder.path()};
    std::unique_ptr<frmMain> window;
};

inline QList<int> range(int from, int to)
{
    QList<int> list;
    for (int n = from; n <= to; ++n) list << n;
    return list;
}

}  // namespace spinlog::test
