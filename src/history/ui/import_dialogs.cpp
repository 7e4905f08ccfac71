// The import's dialogs on the desktop.

#include "history/ui/import_prompts.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace spinlog {

namespace {

enum Column { Session, Solves, PlusTwo, Dnf, Type, Series, Duplicates, Loose, Columns };

class PreviewDialog : public QDialog {
public:
    PreviewDialog(QWidget *over, const HistoryImport &import, const ChooseSessionType &choose)
        : QDialog(over),
          import_(import),
          choose_(choose),
          choices_(import.types(), QStringLiteral("（取り込まない）"))
    {
        setWindowTitle(QStringLiteral("取り込みの確認"));
        resize(760, 420);
        auto *layout = new QVBoxLayout(this);
        table_ = new QTableWidget(int(import.sessions().size()), Columns, this);
        table_->setObjectName(QStringLiteral("previewTable"));
        table_->setHorizontalHeaderLabels(
            {QStringLiteral("セッション"), QStringLiteral("回数"), QStringLiteral("+2"),
             QStringLiteral("DNF"), QStringLiteral("取り込むタイプ"), QStringLiteral("記録"),
             QStringLiteral("重複"), QStringLiteral("記録に入らない回")});
        table_->verticalHeader()->hide();
        table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        for (int s = 0; s < int(import.sessions().size()); ++s) {
            auto *types = new QComboBox(table_);
            const QStringList entries = choices_.entries();
            types->addItem(entries.first());
            for (const PuzzleType &type : choices_.types())
                types->addItem(QStringLiteral("%1（%2回）").arg(type.name).arg(type.length()));
            const PuzzleType *chosen = import.sessionType(s);
            types->setCurrentIndex(chosen ? choices_.entryOf(chosen->id) : 0);
            connect(types, &QComboBox::currentIndexChanged, this, [this, s](int entry) {
                const PuzzleType *type = choices_.typeAt(entry);
                choose_(s, type ? std::optional(type->id) : std::nullopt);
                refresh();
            });
            table_->setCellWidget(s, Type, types);
        }
        layout->addWidget(table_, 2);
        summary_ = new QPlainTextEdit(this);
        summary_->setObjectName(QStringLiteral("previewSummary"));
        summary_->setReadOnly(true);
        layout->addWidget(summary_, 1);
        auto *buttons = new QDialogButtonBox(this);
        buttons->addButton(QStringLiteral("取り込む"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        refresh();
        table_->resizeColumnsToContents();
    }

private:
    void refresh()
    {
        for (int s = 0; s < int(import_.sessions().size()); ++s) {
            const SessionPlan &plan = import_.sessions()[std::size_t(s)];
            const auto set = [&](int column, const QString &text) {
                table_->setItem(s, column, new QTableWidgetItem(text));
            };
            set(Session, plan.name);
            set(Solves, QString::number(plan.solves));
            set(PlusTwo, QString::number(plan.plusTwo));
            set(Dnf, QString::number(plan.dnf));
            set(Series, QString::number(plan.series));
            set(Duplicates, QString::number(plan.duplicates));
            set(Loose, QString::number(plan.loose));
        }
        summary_->setPlainText(importSummary(import_));
    }

    const HistoryImport &import_;
    const ChooseSessionType &choose_;
    TypeChoices choices_;
    QTableWidget *table_ = nullptr;
    QPlainTextEdit *summary_ = nullptr;
};

class ImportDialogs : public ImportPrompts {
public:
    std::optional<QString> openFile(QWidget *over) override
    {
        const QString path = QFileDialog::getOpenFileName(
            over, QStringLiteral("取り込むファイルの選択"), QString(),
            QStringLiteral("記録ファイル(*.txt *.json *.csv);;すべてのファイル(*)"));
        return path.isEmpty() ? std::nullopt : std::optional(path);
    }
    bool preview(QWidget *over, const HistoryImport &plan, const ChooseSessionType &choose) override
    {
        PreviewDialog dialog(over, plan, choose);
        return dialog.exec() == QDialog::Accepted;
    }
    ImportProgress progress(QWidget *over) override
    {
        auto dialog = std::make_shared<QProgressDialog>(QStringLiteral("取り込み中..."),
                                                        QStringLiteral("キャンセル"), 0, 1, over);
        dialog->setWindowTitle(QStringLiteral("取り込み"));
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(300);
        return [dialog](int done, int total) {
            dialog->setMaximum(std::max(total, 1));
            dialog->setValue(done);  // a modal dialog takes the pending events here
            return !dialog->wasCanceled();
        };
    }
};

}  // namespace

std::unique_ptr<ImportPrompts> makeImportDialogs()
{
    return std::make_unique<ImportDialogs>();
}

}  // namespace spinlog
