// The type list of the main window and the display of the chosen type.

#include "app/errors.h"
#include "app/program.h"
#include "data/best_records.h"
#include "data/database.h"
#include "main_window/main_window.h"
#include "app/number_text.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace spinlog {

void frmMain::Sub_cmbTypeSet(std::int16_t mode)
{
    try {
        {
            // Filling the list is no choice of a type: only the selection
            // below runs the display.
            const QSignalBlocker quiet(cmbType);
            cmbType->clear();
            Recordset rs(program_.db(), QStringLiteral("select * from MT_Type order by TypeID"));
            while (!rs.eof()) {
                cmbType->addItem(rs.text(QStringLiteral("TypeNm")));
                rs.moveNext();
            }
            cmbType->setCurrentIndex(-1);
        }

        QString problem;
        int entry = -1;
        try {
            entry = mode == 1 ? int16FromText(program_.settings.DefType)
                              : int16FromText(program_.CurTypeID) - 1;
        } catch (const SpinlogError &e) {
            problem = e.description();
        }
        const bool listed = entry >= 0 && entry < cmbType->count();
        if (problem.isEmpty() && listed) {
            cmbType->setCurrentIndex(entry);
            return;
        }
        // "-1" is what the last exit stored when no type was chosen.
        if (problem.isEmpty() && !(mode == 1 && entry == -1))
            problem = invalidPropertyText();
        if (!problem.isEmpty())
            program_.reportError(QStringLiteral("タイプセットエラー"),
                                 QStringLiteral("[frmMain]-[Sub_cmbTypeSet] "), problem);
        // The window is never left without a type while the list has one.
        if (cmbType->count() > 0)
            cmbType->setCurrentIndex(0);
    } catch (const SpinlogError &e) {
        program_.reportError(QStringLiteral("タイプセットエラー"),
                             QStringLiteral("[frmMain]-[Sub_cmbTypeSet] "), e.description());
    }
}

void frmMain::cmbType_Click()
{
    Sub_MainDspSet();
}

void frmMain::Sub_MainDspSet()
{
    try {
        lblTm->setText(program_.settings.CntDownTm);
        lblAveTime->clear();

        Database &db = program_.db();
        {
            Recordset rs(db, QStringLiteral("select * from MT_Type where TypeID=?"),
                         {QString::number(cmbType->currentIndex() + 1)});
            if (!rs.eof()) {
                const QString id = rs.text(QStringLiteral("TypeID"));
                const std::int16_t count = int16FromText(rs.text(QStringLiteral("TypeCnt")));
                const QString bw = rs.text(QStringLiteral("TypeBW"));
                program_.CurTypeID = id;
                program_.CurTypeCnt = count;
                program_.CurTypeBW = bw;
            }
        }

        if (LoadEnd == 1)
            db.execute(QStringLiteral("delete from W_Time"));

        const std::uint32_t defColor = colorFromText(program_.settings.DefColor);
        for (int n = 1; n <= 12; ++n) {
            lblTime[n]->clear();
            setBackColor(lblTime[n], defColor);
            lblTime[n]->setVisible(n <= program_.CurTypeCnt);
        }

        const BestRecords best = bestRecords(db, program_.CurTypeID);
        lblBTm->setText(best.bestTime);
        lblBAveTm->setText(best.bestAverage);
    } catch (const SpinlogError &e) {
        program_.reportError(QStringLiteral("メイン画面更新エラー"),
                             QStringLiteral("[frmMain]-[Sub_MainDspSet] "), e.description());
    }
}

}  // namespace spinlog
