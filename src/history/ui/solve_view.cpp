#include "history/ui/solve_view.h"

#include "base/error_report.h"
#include "base/seams.h"
#include "base/shown_text.h"
#include "data/history_writer.h"
#include "history/history_edits.h"
#include "widgets/units.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace spinlog {

namespace {

enum Column { No, Time, PenaltyColumn, Moment, Scramble, Comment, Columns };

QString momentText(const SolveDetails &details, const QString &seriesDate)
{
    // A solve an older copy saved is known by its series' date alone.
    if (!details.moment)
        return seriesDate;
    return QDateTime::fromMSecsSinceEpoch(*details.moment)
        .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

SolveView::SolveView(SolveViewParts parts, std::int64_t id, QWidget *parent)
    : QDialog(parent), parts_(parts), id_(id)
{
    setObjectName(QStringLiteral("frmSolves"));
    setWindowTitle(Text::tr("解答の詳細"));
    setFont(layoutFont(9));
    auto *layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, Columns, this);
    table_->setObjectName(QStringLiteral("tblSolves"));
    table_->setHorizontalHeaderLabels({Text::tr("回"), Text::tr("タイム"), Text::tr("ペナルティ"),
                                       Text::tr("日時"), Text::tr("スクランブル"),
                                       Text::tr("コメント")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(true);
    table_->horizontalHeader()->setSectionResizeMode(Scramble, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(Comment, QHeaderView::Stretch);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { writeComment(); });
    layout->addWidget(table_, 1);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *comment =
        buttons->addButton(Text::tr("コメント..."), QDialogButtonBox::ActionRole);
    comment->setObjectName(QStringLiteral("cmdComment"));
    connect(comment, &QPushButton::clicked, this, &SolveView::writeComment);
    QPushButton *close = buttons->addButton(Text::tr("閉じる"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(px(13500), px(4200));
    fill();
    connect(&parts_.history, &HistoryWriter::changed, this, &SolveView::historyChanged);
}

void SolveView::fill()
{
    guarded(parts_.reporter, Procedure::SolveView, [this] {
        const SeriesRecord series = parts_.edits.series(id_);
        const int current = std::max(table_->currentRow(), 0);
        solves_ = 0;
        while (solves_ < 12 && series.times[std::size_t(solves_)] != QStringLiteral("-")) ++solves_;
        table_->setRowCount(solves_);
        for (int r = 0; r < solves_; ++r) {
            const std::size_t i = std::size_t(r);
            const SolveDetails &details = series.details[i];
            table_->setItem(r, No, cell(QString::number(r + 1)));
            table_->setItem(r, Time, cell(series.times[i]));
            table_->setItem(r, Moment, cell(momentText(details, series.dateTime)));
            table_->setItem(r, Scramble, cell(details.scramble));
            table_->setItem(r, Comment, cell(details.comment));
            // The row's list stays: a choice in it fills the view again.
            auto *penalty = qobject_cast<QComboBox *>(table_->cellWidget(r, PenaltyColumn));
            if (!penalty) {
                penalty = new QComboBox(table_);
                penalty->setObjectName(QStringLiteral("cmbPenalty%1").arg(r + 1));
                penalty->addItems({Text::tr("なし"), QStringLiteral("+2"), QStringLiteral("DNF")});
                connect(penalty, &QComboBox::currentIndexChanged, this,
                        [this, no = r + 1](int choice) { choosePenalty(no, choice); });
                table_->setCellWidget(r, PenaltyColumn, penalty);
            }
            // A time that cannot be read takes no penalty.
            const std::optional<Attempt> &attempt = series.attempts[i];
            const QSignalBlocker quiet(penalty);
            penalty->setEnabled(attempt.has_value());
            penalty->setCurrentIndex(attempt ? int(attempt->penalty) : 0);
        }
        table_->resizeColumnToContents(No);
        table_->resizeColumnToContents(Time);
        table_->resizeColumnToContents(Moment);
        table_->resizeRowsToContents();
        if (solves_ > 0)
            table_->setCurrentCell(std::min(current, solves_ - 1), Comment);
    });
}

void SolveView::historyChanged(const HistoryChange &change)
{
    if (std::find(change.rows.begin(), change.rows.end(), id_) != change.rows.end() &&
        change.kind != HistoryChange::Kind::Removed)
        fill();
}

void SolveView::choosePenalty(int no, int choice)
{
    // The history's change fills the view again, and the list behind it.
    guarded(parts_.reporter, Procedure::HistoryPenalty,
            [&] { parts_.edits.setPenalty(id_, no, Penalty(choice)); });
}

void SolveView::writeComment()
{
    const int row = table_->currentRow();
    if (row < 0 || row >= solves_)
        return;
    const std::optional<QString> comment = parts_.prompts.inputText(
        Text::tr("コメント"),
        Text::tr("%1回目 (%2) のコメント:").arg(row + 1).arg(table_->item(row, Time)->text()),
        table_->item(row, Comment)->text());
    if (comment)
        guarded(parts_.reporter, Procedure::HistoryComment,
                [&] { parts_.edits.setComment(id_, row + 1, comment->trimmed()); });
}

}  // namespace spinlog
