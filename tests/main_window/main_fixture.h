#pragma once
// A main window over fakes in a fresh application folder, with the database
// opened and the settings read as start-up does.

#include "app/startup.h"
#include "data/database.h"
#include "data/mdb.h"
#include "main_window/main_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"

#include <sqlite3.h>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <memory>

namespace spinlog::test {

struct MainFixture {
    explicit MainFixture(const QByteArray &ini = {})
    {
        if (!ini.isEmpty())
            folder.write(QStringLiteral("Spinlog.ini"), ini);
        // Any file will do: the fake sound only records what it is asked to play.
        folder.write(QStringLiteral("Sound.wav"), "RIFF");
        if (!Fun_MDBOpen(world.program, folder.file(QStringLiteral("Spinlog.mdb"))))
            throw std::runtime_error("cannot open the test database");
        readSettings(world.program);
    }

    frmMain &open() { return *(window = std::make_unique<frmMain>(world.program)); }

    void exec(const QString &sql, const QVariantList &values = {})
    {
        world.program.db().execute(sql, values);
    }
    // Each row as its fields joined by "|", as the engine writes them.
    QStringList rows(const QString &sql)
    {
        QStringList out;
        Statement st(world.program.db(), sql);
        while (st.step()) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(st.handle()); ++i)
                cells << QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(st.handle(), i)));
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    QStringList work() { return rows(QStringLiteral("select * from W_Time order by [No]")); }

    QByteArray log() const { return folder.read(QStringLiteral("Err.log")); }

    // One press of the start/stop menu item (F5); one solve without countdown.
    void press() { window->M_File[1]->trigger(); }
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
        QString s = w.cmdStartStop->text() + QLatin1Char(' ');
        for (bool on :
             {w.cmdStartStop->isEnabled(), w.cmbType->isEnabled(), w.M_File[1]->isEnabled(),
              w.M_File[2]->isEnabled(), w.M_File[4]->isEnabled(), w.M_Tool[3]->isEnabled()})
            s += on ? QLatin1Char('1') : QLatin1Char('0');
        return s + QLatin1Char(' ') + QString::number(frmMain::backColor(w.lblTm)) +
               QLatin1Char(' ') + w.statusPanel->text();
    }

    // Solve labels: their texts, shown ones only; colours as d(efault),
    // b(est), w(orst).
    QStringList shownTexts() const
    {
        QStringList texts;
        for (int n = 1; n <= 12; ++n)
            if (!window->lblTime[n]->isHidden())
                texts << window->lblTime[n]->text();
        return texts;
    }
    QString colours() const
    {
        QString marks;
        for (int n = 1; n <= 12; ++n) {
            const std::uint32_t c = frmMain::backColor(window->lblTime[n]);
            marks += c == 16744576u ? u'b' : c == 8421631u ? u'w' : c == 14671839u ? u'd' : u'?';
        }
        return marks;
    }

    TempAppFolder folder;
    FakeWorld world{folder.path()};
    std::unique_ptr<frmMain> window;
};

// The rows of the control-state table: caption; button, type list, start/stop
// item, reset, save, options enabled; large clock colour; status text.
inline const QString kIdleEmpty = QStringLiteral("計測開始 111101 16777215 ");
inline const QString kIdleUnderWay = QStringLiteral("計測開始 101100 16777215 ");
inline const QString kCountdown = QStringLiteral("計測停止 101000 12632319 ");
inline const QString kTiming = QStringLiteral("計測停止 101000 16761024 計測中...");
inline const QString kComplete = QStringLiteral("計測開始 000110 16777215 ");

// Settings for timing tests: no countdown, no alarm.
inline const QByteArray kNoWaiting = "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n";

inline QStringList empties(int n)
{
    return QStringList(n, QString());
}

}  // namespace spinlog::test
