// The series under way: best and worst in colour, the average when the last
// solve is in, saving into the history, and the series brought back at start.

#include "app/errors.h"
#include "app/program.h"
#include "app/time_values.h"
#include "data/database.h"
#include "main_window/main_window.h"
#include "app/number_text.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace spinlog {

BestWorst frmMain::MarkBestWorst()
{
    const BestWorst marks = bestAndWorst(readSeries(program_.db()));
    // All three first, so a colour that is no colour paints nothing.
    const std::uint32_t plain = colorFromText(program_.settings.DefColor);
    const std::uint32_t best = colorFromText(program_.settings.BestColor);
    const std::uint32_t worst = colorFromText(program_.settings.WorstColor);
    for (int n = 1; n <= 12; ++n) setBackColor(lblTime[n], plain);
    if (marks.best != 0) {
        // Worst first: a single solve is both and shows as best.
        setBackColor(lblTime[marks.worst], worst);
        setBackColor(lblTime[marks.best], best);
    }
    return marks;
}

QString frmMain::SeriesAverage(const BestWorst &marks)
{
    std::vector<Solve> solves;
    const int count = std::min<int>(program_.CurTypeCnt, 12);
    for (int n = 1; n <= count; ++n) {
        const auto hundredths = hundredthsFromSecondsText(timeChangeS(lblTime[n]->text()));
        if (!hundredths)
            throw SpinlogError(describe::typeMismatch());
        solves.push_back(Solve{n, *hundredths, lblTime[n]->text()});
    }
    return displayForm(averageHundredths(solves, program_.CurTypeBW == QStringLiteral("1"), marks));
}

void frmMain::completeSeries(const BestWorst &marks)
{
    lblAveTime->setText(SeriesAverage(marks));
    cmdStartStop->setEnabled(false);
    M_File[1]->setEnabled(false);
    M_File[4]->setEnabled(true);
    Sub_Save();
}

void frmMain::Sub_Save()
{
    const QString question = QStringLiteral("平均タイム: ") + lblAveTime->text() +
                             QStringLiteral("\r\n結果を保存しますか");
    if (program_.services.prompts.message(question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    showStatus(QStringLiteral("保存中..."));
    try {
        Database &db = program_.db();
        std::array<QString, 12> labels;
        for (int n = 1; n <= 12; ++n) labels[n - 1] = lblTime[n]->text();
        saveSeries(db, seriesRecord(program_.services.clock.localNow(), program_.CurTypeID, labels,
                                    lblAveTime->text(), readSeries(db)));
        Sub_MainDspSet();
        resetSeriesControls();
        showStatus(QString());
        QApplication::restoreOverrideCursor();
    } catch (const SpinlogError &e) {
        // The hourglass goes first, or it would cover the error box too.
        QApplication::restoreOverrideCursor();
        program_.reportError(QStringLiteral("保存エラー"), QStringLiteral("[frmMain]-[Sub_Save] "),
                             e.description());
        showStatus(QString());
    }
}

void frmMain::restoreSeries()
{
    const std::vector<Solve> solves = readSeries(program_.db());
    if (solves.empty())
        return;
    for (const Solve &s : solves) lblTime[s.no]->setText(s.time);
    const BestWorst marks = MarkBestWorst();
    const int last = program_.CurTypeCnt;
    if (last >= 1 && last <= 12 && !lblTime[last]->text().isEmpty()) {
        // Complete, with its save declined before the last exit: the question
        // waits for the save menu item.
        lblAveTime->setText(SeriesAverage(marks));
        cmdStartStop->setEnabled(false);
        M_File[1]->setEnabled(false);
        M_File[4]->setEnabled(true);
    }
    // The type cannot change while a series is under way.
    cmbType->setEnabled(false);
    M_Tool[3]->setEnabled(false);
}

}  // namespace spinlog
