// The import's dialogs on the desktop.

#include "base/shown_text.h"
#include "history/ui/import_prompts.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace spinlog {

namespace {

enum Column { Session, Solves, PlusTwo, Dnf, Type, NewLength, Series, Duplicates, Loose, Columns };

// The sessions that hold solves, a row each, read from the import only as
// the view shows them: a file of a hundred thousand sessions costs a list
// of their places, not a hundred thousand rows of widgets. A session no
// type is named after may go to a new type named as it, whose series length
// the row's own column chooses.
class PreviewModel : public QAbstractTableModel {
public:
    PreviewModel(const HistoryImport &import, const ChooseSessionType &choose, QObject *parent)
        : QAbstractTableModel(parent),
          import_(import),
          choose_(choose),
          types_(import.types(), Text::tr("（取り込まない）"))
    {
        choices_ << types_.entries().first();
        for (const PuzzleType &type : types_.types())
            choices_ << Text::tr("%1（%2回）").arg(type.name).arg(type.length());
        for (std::size_t s = 0; s < import.sessions().size(); ++s)
            if (import.sessions()[s].solves > 0)
                rows_.push_back(int(s));
    }
    // The drop-down's entries for a row: a new type only where no type has
    // the session's name.
    QStringList choices(int row) const
    {
        QStringList entries = choices_;
        if (offersNewType(row))
            entries << newTypeEntry();
        return entries;
    }
    const QStringList &widestChoices() const { return choices_; }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : Columns;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        const QStringList headers{
            Text::tr("セッション"), Text::tr("回数"),           QStringLiteral("+2"),
            QStringLiteral("DNF"),  Text::tr("取り込むタイプ"), Text::tr("新しいタイプの回数"),
            Text::tr("記録"),       Text::tr("重複"),           Text::tr("記録に入らない回")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return headers.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        const bool editable =
            index.column() == Type || (index.column() == NewLength && newType(index.row()));
        return editable ? flags | Qt::ItemIsEditable : flags;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= int(rows_.size()))
            return {};
        const int session = rows_[std::size_t(index.row())];
        const SessionPlan &plan = import_.sessions()[std::size_t(session)];
        const PuzzleType *made = newType(index.row());
        if (role == Qt::EditRole && index.column() == Type)
            return entryOf(index.row());
        if (role == Qt::EditRole && index.column() == NewLength)
            return made ? made->length() - 1 : 0;
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
            case Session: return plan.name;
            case Solves: return plan.solves;
            case PlusTwo: return plan.plusTwo;
            case Dnf: return plan.dnf;
            case Type: return made ? newTypeEntry() : choices_.value(entryOf(index.row()));
            case NewLength: return made ? QVariant(made->length()) : QVariant();
            case Series: return plan.series;
            case Duplicates: return plan.duplicates;
            case Loose: return plan.loose;
            default: return {};
        }
    }
    // A session sent elsewhere: its counts again (every row of its new type,
    // which the sessions of one name share), and the totals.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || index.row() >= int(rows_.size()))
            return false;
        const int session = rows_[std::size_t(index.row())];
        if (index.column() == NewLength && newType(index.row())) {
            choose_(session, {std::nullopt, value.toInt() + 1});
        } else if (index.column() == Type) {
            if (offersNewType(index.row()) && value.toInt() == int(choices_.size())) {
                const PuzzleType *made = newType(index.row());
                choose_(session, {std::nullopt, made ? made->length() : kNewTypeLength});
            } else {
                const PuzzleType *type = types_.typeAt(value.toInt());
                choose_(session, {type ? std::optional(type->id) : std::nullopt});
            }
        } else {
            return false;
        }
        emit dataChanged(this->index(0, 0), this->index(int(rows_.size()) - 1, Columns - 1));
        if (changed)
            changed();
        return true;
    }

    std::function<void()> changed;

private:
    const SessionPlan &planOf(int row) const
    {
        return import_.sessions()[std::size_t(rows_[std::size_t(row)])];
    }
    bool offersNewType(int row) const { return !import_.nameTaken(planOf(row).name); }
    // The new type the row's session goes to, if it goes to one.
    const PuzzleType *newType(int row) const
    {
        const int type = planOf(row).type;
        return type >= 0 && import_.isNew(type) ? &import_.types()[std::size_t(type)] : nullptr;
    }
    // The type's entry in the drop-down; 0: left out.
    int entryOf(int row) const
    {
        if (newType(row))
            return int(choices_.size());
        const PuzzleType *type = import_.sessionType(rows_[std::size_t(row)]);
        return type ? types_.entryOf(type->id) : 0;
    }

    const HistoryImport &import_;
    const ChooseSessionType &choose_;
    TypeChoices types_;      // the entries of the drop-down and their types
    QStringList choices_;    // their texts
    std::vector<int> rows_;  // sessions with solves, in the file's order
};

// The type column and a new type's length edited with a drop-down, made only
// for the row edited.
class TypeChoice : public QStyledItemDelegate {
public:
    TypeChoice(const PreviewModel &model, QObject *parent)
        : QStyledItemDelegate(parent), model_(model)
    {
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *box = new QComboBox(parent);
        if (index.column() == Type)
            box->addItems(model_.choices(index.row()));
        else
            for (int n = 1; n <= 12; ++n) box->addItem(QString::number(n));
        connect(box, &QComboBox::activated, this, [this, box] {
            emit const_cast<TypeChoice *>(this)->commitData(box);
            emit const_cast<TypeChoice *>(this)->closeEditor(box);
        });
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setCurrentIndex(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentIndex(), Qt::EditRole);
    }

private:
    const PreviewModel &model_;
};

class PreviewDialog : public QDialog {
public:
    PreviewDialog(QWidget *over, const HistoryImport &import, const ChooseSessionType &choose)
        : QDialog(over), import_(import)
    {
        setWindowTitle(Text::tr("取り込みの確認"));
        resize(900, 420);
        auto *layout = new QVBoxLayout(this);
        auto *model = new PreviewModel(import, choose, this);
        model->changed = [this] { refresh(); };
        table_ = new QTableView(this);
        table_->setObjectName(QStringLiteral("previewTable"));
        table_->setModel(model);
        auto *choice = new TypeChoice(*model, table_);
        table_->setItemDelegateForColumn(Type, choice);
        table_->setItemDelegateForColumn(NewLength, choice);
        table_->setEditTriggers(QAbstractItemView::AllEditTriggers);
        table_->verticalHeader()->hide();
        // Rows of one height, columns by their texts' room: nothing is
        // measured row by row.
        table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
        const auto room = [this](const QString &sample) {
            return fontMetrics().horizontalAdvance(sample) + 24;
        };
        QString widest = newTypeEntry();
        for (const QString &entry : model->widestChoices())
            widest = entry.size() > widest.size() ? entry : widest;
        table_->setColumnWidth(Session, room(Text::tr("セッション名セッション")));
        table_->setColumnWidth(Type, room(widest) + 24);
        table_->setColumnWidth(NewLength, room(Text::tr("新しいタイプの回数")));
        for (const int column : {Solves, PlusTwo, Dnf, Series, Duplicates, Loose})
            table_->setColumnWidth(column, room(QStringLiteral("000000")));
        layout->addWidget(table_, 2);
        summary_ = new QPlainTextEdit(this);
        summary_->setObjectName(QStringLiteral("previewSummary"));
        summary_->setReadOnly(true);
        layout->addWidget(summary_, 1);
        auto *buttons = new QDialogButtonBox(this);
        buttons->addButton(Text::tr("取り込む"), QDialogButtonBox::AcceptRole);
        buttons->addButton(Text::tr("キャンセル"), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        refresh();
    }

private:
    void refresh() { summary_->setPlainText(importTotals(import_)); }

    const HistoryImport &import_;
    QTableView *table_ = nullptr;
    QPlainTextEdit *summary_ = nullptr;
};

class ImportDialogs : public ImportPrompts {
public:
    std::optional<QString> openFile(QWidget *over) override
    {
        const QString path = QFileDialog::getOpenFileName(
            over, Text::tr("取り込むファイルの選択"), QString(),
            Text::tr("記録ファイル(*.txt *.json *.csv);;すべてのファイル(*)"));
        return path.isEmpty() ? std::nullopt : std::optional(path);
    }
    bool preview(QWidget *over, const HistoryImport &plan, const ChooseSessionType &choose) override
    {
        PreviewDialog dialog(over, plan, choose);
        return dialog.exec() == QDialog::Accepted;
    }
    ImportProgress progress(QWidget *over) override
    {
        auto dialog = std::make_shared<QProgressDialog>(Text::tr("取り込み中..."),
                                                        Text::tr("キャンセル"), 0, 1, over);
        dialog->setWindowTitle(Text::tr("取り込み"));
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

std::unique_ptr<QDialog> makeImportPreview(QWidget *over, const HistoryImport &plan,
                                           const ChooseSessionType &choose)
{
    return std::make_unique<PreviewDialog>(over, plan, choose);
}

std::unique_ptr<ImportPrompts> makeImportDialogs()
{
    return std::make_unique<ImportDialogs>();
}

}  // namespace spinlog
