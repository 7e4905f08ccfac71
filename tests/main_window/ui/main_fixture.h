#pragma once
// A main window over fakes in a fresh application folder, with the database
// opened and the settings read as start-up does. The window is looked at as a
// user sees it, through its controls' object names.

#include "app/program.h"
#include "data/database.h"
#include "app/mdb.h"
#include "main_window/ui/main_window.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"
#include "widgets/units.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
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
        world.program.settings.load();
    }

    frmMain &open() { return *(window = std::make_unique<frmMain>(world.program)); }

    void exec(const QString &sql, const QVariantList &values = {})
    {
        world.program.db().execute(sql, values);
    }
    int count(const QString &table)
    {
        Recordset rs(world.program.db(), QStringLiteral("select count(*) as n from ") + table);
        return rs.field(QStringLiteral("n")).toInt();
    }
    QByteArray log() const { return folder.read(QStringLiteral("Err.log")); }

    template <typename T = QLabel>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QString text(const char *label) const { return child(label)->text(); }
    QAction *action(const char *name) const { return child<QAction>(name); }

    // One press of the start/stop menu item (F5); one solve without countdown.
    void press() { action("M_File1")->trigger(); }
    void solve(std::int64_t ms)
    {
        press();
        world.clock.advanceMs(ms);
        press();
    }

    // Caption; button, type list, start/stop item, reset, save, options
    // enabled; the large clock's colour; the status text.
    QString state() const
    {
        QString s = child<QPushButton>("cmdStartStop")->text() + u' ';
        for (bool on : {child<QPushButton>("cmdStartStop")->isEnabled(),
                        child<QComboBox>("cmbType")->isEnabled(), action("M_File1")->isEnabled(),
                        action("M_File2")->isEnabled(), action("M_File4")->isEnabled(),
                        action("M_Tool3")->isEnabled()})
            s += on ? u'1' : u'0';
        const QColor clock = child("lblTm")->palette().color(QPalette::Window);
        return s + u' ' + QString::number(bgrFromColor(clock)) + u' ' + text("statusPanel");
    }
    // The shown solve labels' texts.
    QStringList solves() const
    {
        QStringList texts;
        for (int n = 1; n <= 12; ++n) {
            const QLabel *label = child(("lblTime" + std::to_string(n)).c_str());
            if (!label->isHidden())
                texts << label->text();
        }
        return texts;
    }

    TempAppFolder folder;
    FakeWorld world{folder.path()};
    std::unique_ptr<frmMain> window;
};

inline const QString kIdleEmpty = QStringLiteral("計測開始 111101 16777215 ");
inline const QString kIdleUnderWay = QStringLiteral("計測開始 101100 16777215 ");
inline const QString kCountdown = QStringLiteral("計測停止 101000 12632319 ");
inline const QString kTiming = QStringLiteral("計測停止 101000 16761024 計測中...");
inline const QString kComplete = QStringLiteral("計測開始 000110 16777215 ");

// No countdown, no alarm.
inline const QByteArray kNoWaiting = "[Option]\r\nCntDownTm=0\r\nAlarmTm=0\r\n";

}  // namespace spinlog::test
