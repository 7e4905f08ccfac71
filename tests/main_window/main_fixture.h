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

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
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

    // Any file will do: the fake sound only records what it was asked to play.
    void withSound() { folder.write(QStringLiteral("Sound.wav"), "RIFF"); }
    int sounds() const { return int(world.sound.played.size()); }

    // The start/stop menu item (F5), one press of the toggle.
    void press() { window->M_File[1]->trigger(); }
    // One solve with no countdown: start, the time passes, stop.
    void solve(std::int64_t ms)
    {
        press();
        world.clock.advanceMs(ms);
        press();
    }

    // Every control the timing states are told apart by, in one line.
    QString state() const
    {
        const frmMain &w = *window;
        auto yes = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
        return w.cmdStartStop->text() + QStringLiteral(" button=") +
               yes(w.cmdStartStop->isEnabled()) + QStringLiteral(" type=") +
               yes(w.cmbType->isEnabled()) + QStringLiteral(" item=") +
               yes(w.M_File[1]->isEnabled()) + QStringLiteral(" reset=") +
               yes(w.M_File[2]->isEnabled()) + QStringLiteral(" save=") +
               yes(w.M_File[4]->isEnabled()) + QStringLiteral(" options=") +
               yes(w.M_Tool[3]->isEnabled()) + QStringLiteral(" clock=") +
               QString::number(frmMain::backColor(w.lblTm)) + QStringLiteral(" status=") +
               w.statusPanel->text();
    }

    QStringList labelTexts() const
    {
        QStringList texts;
        for (int n = 1; n <= 12; ++n) texts << window->lblTime[n]->text();
        return texts;
    }

    // Label colours as d(efault), b(est), w(orst), one letter per label.
    QString colours() const
    {
        QString marks;
        for (int n = 1; n <= 12; ++n) {
            const std::uint32_t c = frmMain::backColor(window->lblTime[n]);
            marks += c == 16744576u ? u'b' : c == 8421631u ? u'w' : c == 14671839u ? u'd' : u'?';
        }
        return marks;
    }

    QList<QStringList> workRows()
    {
        QList<QStringList> rows;
        Recordset rs(db(), QStringLiteral("select * from W_Time order by [No]"));
        for (; !rs.eof(); rs.moveNext())
            rows << QStringList{rs.text(QStringLiteral("No")), rs.text(QStringLiteral("Time")),
                                QString::number(rs.field(QStringLiteral("TimeSS")).toDouble())};
        return rows;
    }

    TempAppFolder folder;
    FakeWorld world{folder.path()};
    std::unique_ptr<frmMain> window;
};

// The rows of the control-state table.
inline const QString kIdleEmpty = QStringLiteral(
    "計測開始 button=1 type=1 item=1 reset=1 save=0 options=1 clock=16777215 status=");
inline const QString kIdleUnderWay = QStringLiteral(
    "計測開始 button=1 type=0 item=1 reset=1 save=0 options=0 clock=16777215 status=");
inline const QString kCountdown = QStringLiteral(
    "計測停止 button=1 type=0 item=1 reset=0 save=0 options=0 clock=12632319 status=");
inline const QString kTiming = QStringLiteral(
    "計測停止 button=1 type=0 item=1 reset=0 save=0 options=0 clock=16761024 status=計測中...");
inline const QString kComplete = QStringLiteral(
    "計測開始 button=0 type=0 item=0 reset=1 save=1 options=0 clock=16777215 status=");

// Settings for timing tests: no countdown, no alarm.
inline const QByteArray kNoWaiting = "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n";

inline QList<int> range(int from, int to)
{
    QList<int> list;
    for (int n = from; n <= to; ++n) list << n;
    return list;
}

}  // namespace spinlog::test
