// What the history window does with its list: fill it from the store,
// delete by the listed rows' ids, change a saved solve's penalty, write it as
// CSV, draw it as a chart.

#include "base/error_report.h"
#include "base/seams.h"
#include "base/settings.h"
#include "chart/ui/chart_window.h"
#include "data/puzzle_type_store.h"
#include "history/csv_export.h"
#include "history/history_columns.h"
#include "history/ui/history_window.h"
#include "interop/cstimer_export.h"
#include "interop/history_import.h"
#include "session/series_rules.h"
#include "widgets/grid.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace spinlog {

namespace {

// Puts the listed rows into the grid and keeps their ids, as they come.
class GridSink : public HistorySink {
public:
    GridSink(Grid &grid, ListedRows &listed) : grid_(grid), listed_(listed) {}
    void clear() override
    {
        grid_.setRows(1);
        listed_.clear();
    }
    void appendRows(const HistoryRows &rows) override
    {
        grid_.appendRows(rows.text, rows.ends, rows.colours, rows.palette);
        listed_.append(rows);
    }

private:
    Grid &grid_;
    ListedRows &listed_;
};

}  // namespace

TypeFilter frmView::filter() const
{
    return {cmbType_->currentIndex()};
}

HistoryOrder frmView::order() const
{
    const int position = cmbOrder_->currentIndex();
    // A position from a stored setting was checked when it was set.
    if (position < 0 || position >= kHistoryOrders)
        throw SpinlogError(describe::invalidArgument());
    return HistoryOrder(position);
}

ListColours frmView::colours() const
{
    return {settings_.color(Setting::DefColor), settings_.color(Setting::BestColor),
            settings_.color(Setting::WorstColor)};
}

void frmView::showProgress(const QString &text)
{
    if (!busy_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
    }
    statusPanel_->setText(text);
    statusBar_->repaint();
}

void frmView::clearProgress()
{
    statusPanel_->setText(QString());
    statusBar_->repaint();
    if (busy_) {
        QApplication::restoreOverrideCursor();
        busy_ = false;
    }
}

bool frmView::run(Procedure procedure, const std::function<void()> &body)
{
    const bool done = guarded(reporter_, procedure, body, [this] {
        // The hourglass is application-wide here: back to normal before the box.
        if (busy_) {
            QApplication::restoreOverrideCursor();
            busy_ = false;
        }
    });
    if (!done)
        clearProgress();
    return done;
}

void frmView::cursorToFirstRecord()
{
    vsFlex_->setCol(kHistoryAverageCol);
    vsFlex_->setRow(1);
    vsFlex_->setTopRow(1);
}

void frmView::Sub_DataSet()
{
    ++dataSetRuns_;
    run(Procedure::DataSet, [this] {
        showProgress(QStringLiteral("データ表示中..."));
        GridSink sink(*vsFlex_, listed_);
        history_.list(filter(), order(), colours(), sink);
        fitTimeColumns();
        if (listed_.size() > 0)
            cursorToFirstRecord();
        const BestRecords best = history_.bests(filter());
        lblBTm_->setText(best.bestTime);
        lblBAveTm_->setText(best.bestAverage);
        lblKensu_->setText(QString::number(listed_.size()));
        clearProgress();
    });
}

void frmView::Sub_Delete(DeleteScope scope)
{
    if (listed_.size() == 0) {
        prompts_.message(QStringLiteral("削除するデータがありません"), Icon::Exclamation,
                         Buttons::Ok);
        return;
    }
    const int row = vsFlex_->row();
    if (row < 1 || row > listed_.size()) {
        prompts_.message(QStringLiteral("削除するデータを選択してください"), Icon::Exclamation,
                         Buttons::Ok);
        return;
    }
    run(Procedure::Delete, [&] {
        const QString question = scope == DeleteScope::Current
                                     ? QStringLiteral("日時: ") + listed_.dateTime(row - 1) +
                                           QStringLiteral(" のデータを削除します、よろしいですか")
                                     : QStringLiteral("表示中の全てのデータ(") +
                                           QString::number(listed_.size()) +
                                           QStringLiteral("件)を削除します、よろしいですか");
        if (prompts_.message(question, Icon::Question, Buttons::YesNo, Answer::Yes) != Answer::Yes)
            return;
        showProgress(QStringLiteral("削除中..."));
        // Exactly the row chosen: another series saved in the same second
        // stays. The store's change refills the list.
        if (scope == DeleteScope::Current)
            history_.remove(listed_.id(row - 1));
        else
            history_.removeListed(filter());
        clearProgress();
    });
}

void frmView::fillPenaltyMenu()
{
    penaltyMenu_->setEnabled(false);
    const int row = vsFlex_->row();
    if (row < 1 || row > listed_.size())
        return;
    run(Procedure::HistoryPenalty, [&] {
        penaltyId_ = listed_.id(row - 1);
        const SeriesRecord series = history_.series(penaltyId_);
        // The solves up to the first slot without one, as the store reads them.
        bool shown = true;
        for (std::size_t i = 0; i < penaltySolves_.size(); ++i) {
            QMenu *solve = penaltySolves_[i];
            shown = shown && series.times[i] != QStringLiteral("-");
            solve->menuAction()->setVisible(shown);
            if (!shown)
                continue;
            solve->setTitle(QStringLiteral("%1: %2").arg(i + 1).arg(series.times[i]));
            // A time that cannot be read takes no penalty.
            const std::optional<Attempt> &attempt = series.attempts[i];
            solve->setEnabled(attempt.has_value());
            if (attempt)
                solve->actions().at(int(attempt->penalty))->setChecked(true);
        }
        penaltyMenu_->setEnabled(true);
    });
}

void frmView::Sub_Penalty(int no, Penalty penalty)
{
    run(Procedure::HistoryPenalty, [&] {
        const SeriesRecord saved = history_.series(penaltyId_);
        // The type's rule as it stands now, as a series timed today counts.
        const std::optional<PuzzleType> type = types_.find(saved.typeId);
        const bool everySolve = type && includesBestWorst(type->bestWorst);
        // The store's change refills the list and every window's best values.
        history_.update(penaltyId_, withPenalty(saved, no, penalty, everySolve));
    });
}

void frmView::Sub_OutputCSV()
{
    if (listed_.size() == 0) {
        prompts_.message(QStringLiteral("出力データがありません"), Icon::Exclamation, Buttons::Ok);
        return;
    }
    SaveFileRequest request;
    request.title = QStringLiteral("CSVファイル保存先の選択");
    request.filters =
        QStringList{QStringLiteral("CSVファイル(*.csv)"), QStringLiteral("すべてのファイル(*.*)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("csv");
    request.confirmOverwrite = true;
    const std::optional<QString> path = prompts_.saveFile(request);
    if (!path)
        return;

    int reachedRow = 0;
    CsvOutcome outcome;
    const bool written = run(Procedure::OutputCsv, [&] {
        showProgress(QStringLiteral("CSV出力中..."));
        // The rows the window lists, in its filter and order, from the store.
        outcome = writeHistoryCsv(
            *path, settings_.folder(), historyHeaders(),
            [this](HistorySink &sink) { history_.list(filter(), order(), colours(), sink); },
            &reachedRow);
        cursorToFirstRecord();
        clearProgress();
    });
    if (!written) {
        // A failed export leaves the cursor where the writing stopped.
        if (reachedRow >= 1) {
            vsFlex_->setRow(std::min(reachedRow, listed_.size()));
            vsFlex_->setCol(kHistoryCols - 1);
        }
        return;
    }
    if (outcome.lossyFields > 0)
        prompts_.message(QStringLiteral("Shift_JIS(CP932)で表せない文字を含む項目が%1件あり、"
                                        "その文字を「?」にして出力しました")
                             .arg(outcome.lossyFields),
                         Icon::Exclamation, Buttons::Ok);
}

void frmView::Sub_OutputCsTimer()
{
    if (listed_.size() == 0) {
        prompts_.message(QStringLiteral("出力データがありません"), Icon::Exclamation, Buttons::Ok);
        return;
    }
    SaveFileRequest request;
    request.title = QStringLiteral("csTimer形式ファイル保存先の選択");
    request.initialName = QStringLiteral("cstimer_spinlog.txt");
    request.filters = QStringList{QStringLiteral("csTimerのデータ(*.txt)"),
                                  QStringLiteral("すべてのファイル(*.*)")};
    request.defaultSuffix = QStringLiteral("txt");
    const std::optional<QString> path = prompts_.saveFile(request);
    if (!path)
        return;
    ExportTally tally;
    if (!run(Procedure::ExportCsTimer, [&] {
            showProgress(QStringLiteral("csTimer形式で出力中..."));
            tally = exportCsTimer(history_, types_, filter(), *path, settings_.folder());
            clearProgress();
        }))
        return;
    QString text = QStringLiteral("%1 セッション、%2 件の記録（%3 回）を出力しました")
                       .arg(tally.sessions)
                       .arg(tally.series)
                       .arg(tally.solves);
    if (tally.skipped > 0)
        text += QStringLiteral("\r\n日時かタイムの読めない %1 件の記録は出力していません")
                    .arg(tally.skipped);
    prompts_.message(text, Icon::Information, Buttons::Ok);
}

void frmView::Sub_Import()
{
    const std::optional<QString> path = importPrompts_->openFile(this);
    if (!path)
        return;
    run(Procedure::ImportHistory, [&] {
        showProgress(QStringLiteral("読み込み中..."));
        HistoryImport import(readHistoryFile(*path), importTypes(types_), &seriesOfAttempts);
        import.countDuplicates(history_);
        clearProgress();
        if (!importPrompts_->preview(this, import, history_))
            return;
        if (import.seriesCount() == 0) {
            prompts_.message(QStringLiteral("取り込む記録がありません"), Icon::Exclamation,
                             Buttons::Ok);
            return;
        }
        const ImportProgress progress = importPrompts_->progress(this);
        const std::optional<ImportTally> tally =
            import.run(history_, importMark(QDateTime::currentDateTime()), progress);
        if (!tally) {
            prompts_.message(QStringLiteral("取り込みを中止しました。何も追加していません"),
                             Icon::Information, Buttons::Ok);
            return;
        }
        prompts_.message(
            QStringLiteral("%1 件の記録を追加しました（重複 %2 件は追加していません）。"
                           "\r\n取り込まなかった回: %3 回")
                .arg(tally->added)
                .arg(tally->duplicates)
                .arg(import.leftOverCount()),
            Icon::Information, Buttons::Ok);
    });
}

void frmView::Sub_UndoImport()
{
    run(Procedure::UndoImport, [&] {
        const std::optional<ImportMark> last = history_.lastImport();
        if (!last) {
            prompts_.message(QStringLiteral("元に戻す取り込みがありません"), Icon::Exclamation,
                             Buttons::Ok);
            return;
        }
        const QString question =
            QStringLiteral("%1 の取り込み（記録 %2 件）を元に戻します、よろしいですか")
                .arg(last->id.left(19))
                .arg(last->series);
        if (prompts_.message(question, Icon::Question, Buttons::YesNo, Answer::Yes) != Answer::Yes)
            return;
        history_.removeImport(last->id);
    });
}

void frmView::showChart()
{
    const TypeFilter shown = filter();
    const QString name =
        shown.all() ? QStringLiteral("全て") : typeNames_.value(shown.typeNumber - 1);
    showProgressChart(history_, shown, name, {settings_, prompts_, reporter_}, this);
}

}  // namespace spinlog
