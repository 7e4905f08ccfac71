// What the history window does with its list: fill it from the history,
// and the questions and answers around the history's use cases: deletes by
// the listed rows' ids, a saved solve's penalty, the exports, the import and
// its undo; the chart of the list.

#include "base/error_report.h"
#include "base/seams.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "chart/ui/chart_window.h"
#include "history/history_columns.h"
#include "history/ui/history_window.h"
#include "history/ui/solve_view.h"
#include "interop/history_export.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace spinlog {

namespace {

// Puts the listed rows into the grid, each cell's mark in its colour, and
// keeps their ids, as they come.
class GridSink : public HistorySink {
public:
    GridSink(Grid &grid, ListedRows &listed, const Settings &settings)
        : grid_(grid), listed_(listed)
    {
        // The marks' colours: none (the grid's own), a solve, a missing one
        // (white), the worst, the best.
        const auto opaque = [](std::uint32_t bgr) { return colorFromBgr(bgr).rgba(); };
        palette_ = {0, opaque(settings.color(Setting::DefColor)), 0xFFFFFFFFu,
                    opaque(settings.color(Setting::WorstColor)),
                    opaque(settings.color(Setting::BestColor))};
    }
    void clear() override
    {
        grid_.setRows(1);
        listed_.clear();
    }
    void appendRows(const HistoryRows &rows) override
    {
        grid_.appendRows(rows.text, rows.ends, rows.marks, palette_);
        listed_.append(rows);
    }

private:
    Grid &grid_;
    ListedRows &listed_;
    std::vector<std::uint32_t> palette_;  // by HistoryRows::Mark, 0xAARRGGBB; 0: the grid's own
};

}  // namespace

TypeFilter frmView::filter() const
{
    return choices_.filterAt(cmbType_->currentIndex());
}

HistoryOrder frmView::order() const
{
    const int position = cmbOrder_->currentIndex();
    // A position from a stored setting was checked when it was set.
    if (position < 0 || position >= kHistoryOrders)
        throw SpinlogError(describe::invalidArgument());
    return HistoryOrder(position);
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
        showProgress(Text::tr("データ表示中..."));
        GridSink sink(*vsFlex_, listed_, settings_);
        parts_.list.list(filter(), order(), sink);
        fitTimeColumns();
        if (listed_.size() > 0)
            cursorToFirstRecord();
        const BestRecords best = parts_.list.bests(filter());
        lblBTm_->setText(best.bestTime);
        lblBAveTm_->setText(best.bestAverage);
        lblKensu_->setText(QString::number(listed_.size()));
        clearProgress();
    });
}

void frmView::Sub_Delete(DeleteScope scope)
{
    if (listed_.size() == 0) {
        prompts_.message(Text::tr("削除するデータがありません"), Icon::Exclamation, Buttons::Ok);
        return;
    }
    const int row = vsFlex_->row();
    if (row < 1 || row > listed_.size()) {
        prompts_.message(Text::tr("削除するデータを選択してください"), Icon::Exclamation,
                         Buttons::Ok);
        return;
    }
    run(Procedure::Delete, [&] {
        // The date as the store holds it for the row's id.
        const QString question =
            scope == DeleteScope::Current
                ? Text::tr("日時: ") + edits_.series(listed_.id(row - 1)).dateTime +
                      Text::tr(" のデータを削除します、よろしいですか")
                : Text::tr("表示中の全てのデータ(") + QString::number(listed_.size()) +
                      Text::tr("件)を削除します、よろしいですか");
        if (prompts_.message(question, Icon::Question, Buttons::YesNo, Answer::Yes) != Answer::Yes)
            return;
        showProgress(Text::tr("削除中..."));
        // Exactly the row chosen: another series saved in the same second
        // stays. The store's change refills the list.
        if (scope == DeleteScope::Current)
            edits_.remove(listed_.id(row - 1));
        else
            edits_.removeListed(filter());
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
        const SeriesRecord series = edits_.series(penaltyId_);
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

void frmView::showSolves()
{
    const int row = vsFlex_->row();
    if (row < 1 || row > listed_.size())
        return;
    SolveView view({parts_.history, edits_, prompts_, reporter_}, listed_.id(row - 1), this);
    view.exec();
}

void frmView::givePenalty(int no, Penalty penalty)
{
    // The history's change refills the list and every window's best values.
    run(Procedure::HistoryPenalty, [&] { edits_.setPenalty(penaltyId_, no, penalty); });
}

void frmView::Sub_OutputCSV()
{
    if (listed_.size() == 0) {
        prompts_.message(Text::tr("出力データがありません"), Icon::Exclamation, Buttons::Ok);
        return;
    }
    SaveFileRequest request;
    request.title = Text::tr("CSVファイル保存先の選択");
    request.filters =
        QStringList{Text::tr("CSVファイル(*.csv)"), Text::tr("すべてのファイル(*.*)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("csv");
    request.confirmOverwrite = true;
    const std::optional<QString> path = prompts_.saveFile(request);
    if (!path)
        return;

    int reachedRow = 0;
    CsvOutcome outcome;
    const bool written = run(Procedure::OutputCsv, [&] {
        showProgress(Text::tr("CSV出力中..."));
        // The rows the window lists, in its filter and order, from the store.
        outcome = edits_.exportCsv(*path, settings_.folder(), filter(), order(), &reachedRow);
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
        prompts_.message(Text::tr("Shift_JIS(CP932)で表せない文字を含む項目が%1件あり、"
                                  "その文字を「?」にして出力しました")
                             .arg(outcome.lossyFields),
                         Icon::Exclamation, Buttons::Ok);
}

void frmView::exportCsTimer()
{
    if (listed_.size() == 0) {
        prompts_.message(Text::tr("出力データがありません"), Icon::Exclamation, Buttons::Ok);
        return;
    }
    SaveFileRequest request;
    request.title = Text::tr("csTimer形式ファイル保存先の選択");
    request.initialName = QStringLiteral("cstimer_spinlog.txt");
    request.filters =
        QStringList{Text::tr("csTimerのデータ(*.txt)"), Text::tr("すべてのファイル(*.*)")};
    request.defaultSuffix = QStringLiteral("txt");
    const std::optional<QString> path = prompts_.saveFile(request);
    if (!path)
        return;
    ExportTally tally;
    if (!run(Procedure::ExportCsTimer, [&] {
            showProgress(Text::tr("csTimer形式で出力中..."));
            tally = spinlog::exportCsTimer(parts_.exported, parts_.types, filter(), *path,
                                           settings_.folder());
            clearProgress();
        }))
        return;
    QString text = Text::tr("%1 セッション、%2 件の記録（%3 回）を出力しました")
                       .arg(tally.sessions)
                       .arg(tally.series)
                       .arg(tally.solves);
    if (tally.skipped > 0)
        text +=
            Text::tr("\r\n日時かタイムの読めない %1 件の記録は出力していません").arg(tally.skipped);
    prompts_.message(text, Icon::Information, Buttons::Ok);
}

void frmView::importHistory()
{
    const std::optional<QString> path = importPrompts_->openFile(this);
    if (!path)
        return;
    run(Procedure::ImportHistory, [&] {
        showProgress(Text::tr("読み込み中..."));
        HistoryImport plan = importer_.plan(*path);
        clearProgress();
        const ChooseSessionType choose = [&](int session, const SessionTarget &target) {
            importer_.choose(plan, session, target);
        };
        if (!importPrompts_->preview(this, plan, choose))
            return;
        if (plan.seriesCount() == 0 && plan.looseCount() == 0) {
            prompts_.message(Text::tr("取り込む記録がありません"), Icon::Exclamation, Buttons::Ok);
            return;
        }
        const std::optional<ImportTally> tally =
            importer_.run(plan, QDateTime::currentDateTime(), importPrompts_->progress(this));
        if (!tally) {
            prompts_.message(Text::tr("取り込みを中止しました。何も追加していません"),
                             Icon::Information, Buttons::Ok);
            return;
        }
        prompts_.message(importedText(*tally, plan.leftOutCount()), Icon::Information, Buttons::Ok);
    });
}

void frmView::undoImport()
{
    run(Procedure::UndoImport, [&] {
        const std::optional<ImportMark> last = importer_.lastImport();
        if (!last) {
            prompts_.message(Text::tr("元に戻す取り込みがありません"), Icon::Exclamation,
                             Buttons::Ok);
            return;
        }
        const QString made =
            last->types > 0 ? Text::tr("、作ったタイプ %1 個").arg(last->types) : QString();
        const QString question =
            Text::tr("%1 の取り込み（記録 %2 件%3）を元に戻します、よろしいですか")
                .arg(last->id.left(19))
                .arg(last->series)
                .arg((last->loose > 0 ? Text::tr("、記録に入らない回 %1 回").arg(last->loose)
                                      : QString()) +
                     made);
        if (prompts_.message(question, Icon::Question, Buttons::YesNo, Answer::Yes) != Answer::Yes)
            return;
        importer_.undo(*last);
    });
}

void frmView::showChart()
{
    // A list left without an entry by a failed load is reported as the chart's.
    TypeFilter shown;
    if (guarded(reporter_, Procedure::ChartLoad, [&] { shown = filter(); }))
        showProgressChart(parts_.chart, shown, choices_.nameOf(shown),
                          {settings_, prompts_, reporter_}, this);
}

}  // namespace spinlog
