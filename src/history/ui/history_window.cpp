#include "history/ui/history_window.h"

#include "base/error_log.h"
#include "base/error_report.h"
#include "base/number_text.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "data/puzzle_type_store.h"
#include "history/history_columns.h"
#include "widgets/grid.h"
#include "widgets/menu_action.h"
#include "widgets/units.h"

#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>

namespace spinlog {

namespace {

constexpr int kWidthTwips = 12615;
constexpr int kMinHeightTwips = 3000;
constexpr int kStatusBarTwips = 285;
// What the window keeps above and below the grid besides the status bar.
constexpr int kGridAllowanceTwips = 1300;

// The client area: an etched line across its top edge, redrawn with every
// paint so it survives repaints.
class EtchedClient : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int right = width();
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(0, 0, right, 0);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, px(10), right, px(10));
    }
};

QString invalidPropertyValue()
{
    return Text::tr("プロパティの値が不正です。");
}

// A list position set from a stored setting must name an entry.
void setListPosition(QComboBox *list, std::int16_t position)
{
    if (position < 0 || position >= list->count())
        throw SpinlogError(invalidPropertyValue());
    list->setCurrentIndex(position);
}

QLabel *fixedLabel(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

QLabel *valueBox(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *box = new QLabel(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(layoutFont(9.75));
    box->setAlignment(Qt::AlignCenter);
    box->setFrameShape(QFrame::Box);
    box->setLineWidth(1);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    box->setPalette(palette);
    box->setGeometry(geometry);
    return box;
}

}  // namespace

frmView::frmView(HistoryWindowParts parts, QWidget *parent)
    : QDialog(parent),
      parts_(parts),
      settings_(parts.settings),
      prompts_(parts.prompts),
      reporter_(parts.reporter),
      edits_(parts.history, parts.list, parts.types),
      importer_(parts.history, parts.types, parts.underWay),
      ownImportPrompts_(makeImportDialogs()),
      importPrompts_(ownImportPrompts_.get())
{
    setWindowTitle(Text::tr("計測結果"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    buildControls();
    Form_Load();
    // A delete here, or a save anywhere, shows in the list at once; so does
    // a type renamed.
    connect(&parts_.history, &HistoryWriter::changed, this, &frmView::historyChanged);
    connect(&parts_.types, &PuzzleTypeStore::changed, this, &frmView::typesChanged);
}

frmView::~frmView() = default;

void frmView::setStatisticsCommand(OpenStatistics open)
{
    openStatistics_ = std::move(open);
    statistics_->setVisible(bool(openStatistics_));
}

void frmView::buildControls()
{
    auto *menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    client_ = new EtchedClient(this);
    statusBar_ = new QStatusBar(this);
    statusBar_->setFixedHeight(px(kStatusBarTwips));
    statusPanel_ = new QLabel(statusBar_);
    statusPanel_->setObjectName(QStringLiteral("statusPanel"));
    statusBar_->addWidget(statusPanel_, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client_, 1);
    layout->addWidget(statusBar_);

    // The grid comes first, so it is first in the tab order.
    vsFlex_ = new Grid(client_);
    vsFlex_->setObjectName(QStringLiteral("vsFlex"));
    vsFlex_->setFont(layoutFont(9));
    vsFlex_->setCols(kHistoryCols);
    vsFlex_->setRows(1);
    vsFlex_->setFixedCols(0);
    vsFlex_->setContextMenuPolicy(Qt::PreventContextMenu);
    vsFlex_->setGeometry(twipsRect(45, 450, 12390, 2085));
    connect(vsFlex_, &Grid::mouseDown, this, [this](int button) { vsFlex_MouseDown(button); });
    connect(vsFlex_, &Grid::gridDoubleClicked, this, &frmView::showSolves);

    fixedLabel(client_, Text::tr("タイプ:"), twipsRect(255, 135, 630, 210));
    cmbType_ = new QComboBox(client_);
    cmbType_->setObjectName(QStringLiteral("cmbType"));
    cmbType_->setFont(layoutFont(9.75));
    cmbType_->setGeometry(twipsRect(915, 75, 1365, 315));
    fixedLabel(client_, Text::tr("並順:"), twipsRect(2340, 135, 570, 210));
    cmbOrder_ = new QComboBox(client_);
    cmbOrder_->setObjectName(QStringLiteral("cmbOrder"));
    cmbOrder_->setFont(layoutFont(9.75));
    cmbOrder_->setGeometry(twipsRect(2940, 75, 1470, 315));
    fixedLabel(client_, Text::tr("件数:"), twipsRect(5325, 150, 585, 210));
    lblKensu_ =
        valueBox(client_, "lblKensu", QStringLiteral("999999"), twipsRect(5940, 105, 870, 270));
    fixedLabel(client_, Text::tr("ベストタイム:"), twipsRect(7035, 150, 1050, 210));
    lblBTm_ =
        valueBox(client_, "lblBTm", QStringLiteral("59:59.99"), twipsRect(8100, 105, 1095, 270));
    fixedLabel(client_, Text::tr("ベストタイム(平均):"), twipsRect(9420, 150, 1500, 210));
    lblBAveTm_ = valueBox(client_, "lblBAveTm", QStringLiteral("59:59.99"),
                          twipsRect(10950, 105, 1095, 270));
    connect(cmbType_, &QComboBox::currentIndexChanged, this, &frmView::listChanged);
    connect(cmbOrder_, &QComboBox::currentIndexChanged, this, &frmView::listChanged);

    buildMenus();

    setFixedWidth(px(kWidthTwips));
    setMinimumHeight(px(kMinHeightTwips));
    appliedFrame_ = QSize(0, 0);
}

void frmView::buildMenus()
{
    auto *menuBar = findChild<QMenuBar *>(QStringLiteral("menuBar"));
    const auto add = [this](QMenu *menu, const char *name, const QString &caption,
                            const QKeySequence &key, auto handler) {
        return addMenuAction(menu, name, caption, key, this, handler);
    };
    QMenu *fileMenu = menuBar->addMenu(Text::tr("ファイル(&F)"));
    add(fileMenu, "M_File1", Text::tr("CSV出力(&O)..."), {}, [this] { Sub_OutputCSV(); });
    add(fileMenu, "M_FileCsTimer", Text::tr("csTimer形式で出力(&J)..."), {},
        [this] { exportCsTimer(); });
    fileMenu->addSeparator();
    add(fileMenu, "M_FileImport", Text::tr("取り込み(&I)..."), {}, [this] { importHistory(); });
    add(fileMenu, "M_FileUndoImport", Text::tr("取り込みを元に戻す(&U)"), {},
        [this] { undoImport(); });
    fileMenu->addSeparator();
    add(fileMenu, "M_File4", Text::tr("グラフ(&G)..."), QKeySequence(Qt::CTRL | Qt::Key_G),
        [this] { showChart(); });
    statistics_ = add(fileMenu, "M_File5", Text::tr("統計(&S)..."), {}, [this] {
        // Every type when the list has no entry (a failed load).
        const PuzzleType *shown = choices_.typeAt(cmbType_->currentIndex());
        if (openStatistics_)
            openStatistics_(shown ? TypeFilter(shown->id) : TypeFilter(), this);
    });
    statistics_->setVisible(false);
    fileMenu->addSeparator();
    add(fileMenu, "M_File3", Text::tr("終了(&X)"), {}, [this] { close(); });
    QMenu *editMenu = menuBar->addMenu(Text::tr("編集(&E)"));
    add(editMenu, "M_Edit1", Text::tr("削除(&D)"), QKeySequence(Qt::Key_Delete),
        [this] { Sub_Delete(DeleteScope::Current); });
    add(editMenu, "M_Edit2", Text::tr("全件削除(&A)"), {},
        [this] { Sub_Delete(DeleteScope::Listed); });
    // The context menu is never part of the menu bar.
    rightClick_ = new QMenu(QStringLiteral("RightClick"), this);
    rightClick_->setObjectName(QStringLiteral("M_RightClickMain"));
    add(rightClick_, "M_RightClick1", Text::tr("削除(&D)"), {},
        [this] { Sub_Delete(DeleteScope::Current); });
    add(rightClick_, "M_RightClickSolves", Text::tr("解答の詳細(&S)..."), {},
        [this] { showSolves(); });
    penaltyMenu_ = rightClick_->addMenu(Text::tr("ペナルティ(&P)"));
    penaltyMenu_->setObjectName(QStringLiteral("M_RightClickPenalty"));
    const std::array<std::pair<QString, Penalty>, 3> kinds{
        {{Text::tr("ペナルティなし"), Penalty::None},
         {QStringLiteral("+2"), Penalty::PlusTwo},
         {QStringLiteral("DNF"), Penalty::Dnf}}};
    for (int n = 1; n <= 12; ++n) {
        QMenu *solve = penaltyMenu_->addMenu(QString::number(n));
        solve->setObjectName(QStringLiteral("M_Penalty%1").arg(n));
        auto *group = new QActionGroup(solve);
        for (const auto &[caption, penalty] : kinds) {
            QAction *action = group->addAction(caption);
            action->setCheckable(true);
            solve->addAction(action);
            connect(action, &QAction::triggered, this,
                    [this, n, p = penalty] { givePenalty(n, p); });
        }
        penaltySolves_[std::size_t(n - 1)] = solve;
    }
}

void frmView::Form_Load()
{
    guarded(reporter_, Procedure::ViewLoad, [this] {
        const QString searchType = settings_.read(Setting::SearchType);
        const QString searchOrder = settings_.read(Setting::SearchOrder);
        place_.read(settings_, reporter_.log());
        move(place_.position());
        resize(width(), place_.pixels(WindowPlace::Height));
        Form_Resize();

        loadEnd_ = false;
        fillTypeList();
        setListPosition(cmbType_, int16FromText(searchType));
        cmbOrder_->addItems({Text::tr("日時 [昇順]"), Text::tr("日時 [降順]"),
                             Text::tr("平均 [昇順]"), Text::tr("平均 [降順]")});
        setListPosition(cmbOrder_, int16FromText(searchOrder));
        layOutColumns();
        Sub_DataSet();
        loadEnd_ = true;
    });
}

int frmView::twipsOf(const QString &text) const
{
    return int(std::lround(QFontMetricsF(font()).horizontalAdvance(text) * kTwipsPerPixel));
}

void frmView::layOutColumns()
{
    timeTwips_ = twipsOf(QStringLiteral(" 00:00.00 "));
    for (int c = 0; c < kHistoryCols; ++c) {
        vsFlex_->setFixedAlignment(c, Qt::AlignCenter);
        vsFlex_->setColAlignment(c, Qt::AlignCenter);
        vsFlex_->setColWidth(c, timeTwips_);
    }
    vsFlex_->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
    vsFlex_->setColWidth(0, twipsOf(QStringLiteral("  0000/00/00 00:00:00  ")));
    vsFlex_->setColWidth(1, twipsOf(QStringLiteral("  XXXXX  ")));
    const QStringList headers = shownHistoryHeaders();
    for (int c = 0; c < kHistoryCols; ++c) vsFlex_->setTextMatrix(0, c, headers.at(c));
}

void frmView::fitTimeColumns()
{
    for (int c = 2; c < kHistoryCols; ++c)
        vsFlex_->setColWidth(
            c, std::max(timeTwips_,
                        twipsOf(QLatin1Char(' ') + vsFlex_->longestText(c) + QLatin1Char(' '))));
}

void frmView::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmView::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    // A window manager frames the window after it is shown.
    applyFrame();
}

QSize frmView::frameExtra() const
{
    return frameGeometry().size() - size();
}

void frmView::applyFrame()
{
    // The width, the least height and the stored height are the window's
    // outer size, frame included, as its position is.
    const QSize extra = frameExtra();
    if (extra == appliedFrame_)
        return;
    const int outerHeight = height() + appliedFrame_.height();
    appliedFrame_ = extra;
    setFixedWidth(px(kWidthTwips) - extra.width());
    setMinimumHeight(px(kMinHeightTwips) - extra.height());
    resize(width(), std::max(outerHeight - extra.height(), minimumHeight()));
}

void frmView::Form_Resize()
{
    applyFrame();
    const double gridTwips =
        twipsFromPx(frameGeometry().height()) - kStatusBarTwips - kGridAllowanceTwips;
    vsFlex_->setGeometry(twipsRect(45, 450, 12390, int(gridTwips)));
}

void frmView::done(int result)
{
    // However the window closes, its settings are written once.
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void frmView::keyPressEvent(QKeyEvent *event)
{
    // The window has no cancel button: Esc does not close it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmView::Form_Unload()
{
    settings_.write(Setting::ViewTop, place_.text(WindowPlace::Top, pos().y()));
    settings_.write(Setting::ViewLeft, place_.text(WindowPlace::Left, pos().x()));
    settings_.write(Setting::ViewHeight,
                    place_.text(WindowPlace::Height, frameGeometry().height()));
    // A list left without a position by a failed load stores its default, so
    // the next opening starts cleanly instead of failing again.
    settings_.write(Setting::SearchType, QString::number(std::max(cmbType_->currentIndex(), 0)));
    settings_.write(Setting::SearchOrder, QString::number(std::max(cmbOrder_->currentIndex(), 0)));
}

void frmView::listChanged()
{
    // Filling the lists while the window loads is no choice of the user's.
    if (loadEnd_)
        Sub_DataSet();
}

void frmView::historyChanged(const HistoryChange &change)
{
    // A list of one type stays as it is when another type's series change.
    const PuzzleType *shown = choices_.typeAt(cmbType_->currentIndex());
    if (!shown || change.concerns(shown->id))
        listChanged();
}

void frmView::fillTypeList()
{
    choices_ = TypeChoices(parts_.types.all(), TypeChoices::everyType());
    cmbType_->addItems(choices_.entries());
}

void frmView::typesChanged()
{
    if (!loadEnd_)
        return;
    guarded(reporter_, Procedure::DataSet, [this] {
        const TypeFilter shown = filter();
        {
            const QSignalBlocker quiet(cmbType_);
            cmbType_->clear();
            fillTypeList();
            // A type no longer listed: every type.
            cmbType_->setCurrentIndex(std::max(choices_.entryOf(shown), 0));
        }
    });
    Sub_DataSet();
}

void frmView::vsFlex_MouseDown(int button)
{
    // Popping up leaves the grid's current row alone: the context menu's
    // delete acts on the row that was current before the click.
    if (button == 2) {
        fillPenaltyMenu();
        rightClick_->popup(QCursor::pos());
    }
}

}  // namespace spinlog
