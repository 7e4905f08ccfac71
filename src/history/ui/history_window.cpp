#include "history/ui/history_window.h"

#include "app/number_text.h"
#include "app/program.h"
#include "chart/ui/chart_window.h"
#include "data/database.h"
#include "history/csv_export.h"
#include "history/history_query.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
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

// Puts the list rows into the grid as they come from the query.
class GridSink : public HistorySink {
public:
    explicit GridSink(Grid &grid) : grid_(grid) {}
    void clear() override { grid_.setRows(1); }
    void appendRows(const HistoryRows &rows) override
    {
        grid_.appendRows(rows.text, rows.ends, rows.colours, rows.palette);
    }

private:
    Grid &grid_;
};

QString invalidPropertyValue()
{
    return QStringLiteral("プロパティの値が不正です。");
}

// A list position set from a stored setting must name an entry.
void setListPosition(QComboBox *list, std::int16_t position)
{
    if (position < 0 || position >= list->count())
        throw SpinlogError(invalidPropertyValue());
    list->setCurrentIndex(position);
}

// Window coordinates from twips; a value no screen could hold is an overflow.
int windowPx(float twips)
{
    if (std::fabs(twips) > 1.0e9f)
        throw SpinlogError(describe::overflow());
    return px(twips);
}

QLabel *fixedLabel(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

QLabel *valueBox(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *box = new QLabel(text, parent);
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

frmView::frmView(Program &program, QWidget *parent) : QDialog(parent), program_(program)
{
    setWindowTitle(QStringLiteral("計測結果"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    buildControls();
    Form_Load();
}

frmView::~frmView() = default;

void frmView::buildControls()
{
    menuBar = new QMenuBar(this);
    client_ = new EtchedClient(this);
    StatusBar = new QStatusBar(this);
    StatusBar->setFixedHeight(px(kStatusBarTwips));
    statusPanel = new QLabel(StatusBar);
    StatusBar->addWidget(statusPanel, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(client_, 1);
    layout->addWidget(StatusBar);

    // The grid comes first, so it is first in the tab order.
    vsFlex = new Grid(client_);
    vsFlex->setFont(layoutFont(9));
    vsFlex->setCols(kHistoryCols);
    vsFlex->setRows(1);
    vsFlex->setFixedCols(0);
    vsFlex->setContextMenuPolicy(Qt::PreventContextMenu);
    vsFlex->setGeometry(twipsRect(45, 450, 12390, 2085));
    connect(vsFlex, &Grid::mouseDown, this, &frmView::vsFlex_MouseDown);

    fixedLabel(client_, QStringLiteral("タイプ:"), twipsRect(255, 135, 630, 210));
    cmbType = new QComboBox(client_);
    cmbType->setFont(layoutFont(9.75));
    cmbType->setGeometry(twipsRect(915, 75, 1365, 315));
    fixedLabel(client_, QStringLiteral("並順:"), twipsRect(2340, 135, 570, 210));
    cmbOrder = new QComboBox(client_);
    cmbOrder->setFont(layoutFont(9.75));
    cmbOrder->setGeometry(twipsRect(2940, 75, 1470, 315));
    fixedLabel(client_, QStringLiteral("件数:"), twipsRect(5325, 150, 585, 210));
    lblKensu = valueBox(client_, QStringLiteral("999999"), twipsRect(5940, 105, 870, 270));
    fixedLabel(client_, QStringLiteral("ベストタイム:"), twipsRect(7035, 150, 1050, 210));
    lblBTm = valueBox(client_, QStringLiteral("59:59.99"), twipsRect(8100, 105, 1095, 270));
    fixedLabel(client_, QStringLiteral("ベストタイム(平均):"), twipsRect(9420, 150, 1500, 210));
    lblBAveTm = valueBox(client_, QStringLiteral("59:59.99"), twipsRect(10950, 105, 1095, 270));
    connect(cmbType, &QComboBox::currentIndexChanged, this, &frmView::cmbType_Click);
    connect(cmbOrder, &QComboBox::currentIndexChanged, this, &frmView::cmbOrder_Click);

    QMenu *fileMenu = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    M_File[1] = fileMenu->addAction(QStringLiteral("CSV出力(&O)..."));
    M_File[2] = fileMenu->addSeparator();
    M_File[3] = fileMenu->addAction(QStringLiteral("終了(&X)"));
    // After CSV output on the menu; numbered after the existing items.
    M_File[4] = new QAction(QStringLiteral("グラフ(&G)..."), fileMenu);
    M_File[4]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    fileMenu->insertAction(M_File[2], M_File[4]);
    QMenu *editMenu = menuBar->addMenu(QStringLiteral("編集(&E)"));
    M_Edit[1] = editMenu->addAction(QStringLiteral("削除(&D)"));
    M_Edit[1]->setShortcut(QKeySequence(Qt::Key_Delete));
    M_Edit[2] = editMenu->addAction(QStringLiteral("全件削除(&A)"));
    // The context menu is never part of the menu bar.
    M_RightClickMain = new QMenu(QStringLiteral("RightClick"), this);
    M_RightClick[1] = M_RightClickMain->addAction(QStringLiteral("削除(&D)"));
    for (std::int16_t i : {1, 2, 3, 4})
        connect(M_File[i], &QAction::triggered, this, [this, i] { M_File_Click(i); });
    for (std::int16_t i : {1, 2})
        connect(M_Edit[i], &QAction::triggered, this, [this, i] { M_Edit_Click(i); });
    connect(M_RightClick[1], &QAction::triggered, this, [this] { M_RightClick_Click(1); });

    setFixedWidth(px(kWidthTwips));
    setMinimumHeight(px(kMinHeightTwips));
    appliedFrame_ = QSize(0, 0);
}

void frmView::Form_Load()
{
    guarded(program_, Procedure::ViewLoad, [this] {
        const Settings &settings = program_.settings;
        SearchType = settings.read(Setting::SearchType);
        SearchOrder = settings.read(Setting::SearchOrder);
        const float top = singleFromText(settings.read(Setting::ViewTop));
        move(x(), windowPx(top));
        placedTop_ = top;
        const float left = singleFromText(settings.read(Setting::ViewLeft));
        move(windowPx(left), y());
        placedLeft_ = left;
        const float height = singleFromText(settings.read(Setting::ViewHeight));
        resize(width(), windowPx(height));
        placedHeight_ = height;
        Form_Resize();

        LoadEnd = QStringLiteral("0");
        cmbType->addItem(QStringLiteral("全て"));
        cmbType->addItems(PuzzleTypeStore(program_.db()).names());
        setListPosition(cmbType, int16FromText(SearchType));
        cmbOrder->addItems({QStringLiteral("日時 [昇順]"), QStringLiteral("日時 [降順]"),
                            QStringLiteral("平均 [昇順]"), QStringLiteral("平均 [降順]")});
        setListPosition(cmbOrder, int16FromText(SearchOrder));

        const QFontMetricsF metrics(font());
        auto sampleWidth = [&metrics](const QString &sample) {
            return int(std::lround(metrics.horizontalAdvance(sample) * kTwipsPerPixel));
        };
        const int timeWidth = sampleWidth(QStringLiteral(" 00:00.00 "));
        for (int c = 0; c < kHistoryCols; ++c) {
            vsFlex->setFixedAlignment(c, Qt::AlignCenter);
            vsFlex->setColAlignment(c, Qt::AlignCenter);
            vsFlex->setColWidth(c, timeWidth);
        }
        vsFlex->setColAlignment(1, Qt::AlignLeft | Qt::AlignVCenter);
        vsFlex->setColWidth(0, sampleWidth(QStringLiteral("  0000/00/00 00:00:00  ")));
        vsFlex->setColWidth(1, sampleWidth(QStringLiteral("  XXXXX  ")));

        vsFlex->setTextMatrix(0, 0, QStringLiteral("日時"));
        vsFlex->setTextMatrix(0, 1, QStringLiteral("タイプ"));
        for (int n = 1; n <= 12; ++n) vsFlex->setTextMatrix(0, n + 1, QString::number(n));
        vsFlex->setTextMatrix(0, kHistoryAverageCol, QStringLiteral("平均"));

        Sub_DataSet();
        LoadEnd = QStringLiteral("1");
    });
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
    vsFlex->setGeometry(twipsRect(45, 450, 12390, int(gridTwips)));
}

void frmView::done(int result)
{
    // However the window closes, its settings and the main window's best
    // values are written once.
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
    const Settings &settings = program_.settings;
    settings.write(Setting::ViewTop, singleText(twipsKeeping(pos().y(), placedTop_)));
    settings.write(Setting::ViewLeft, singleText(twipsKeeping(pos().x(), placedLeft_)));
    settings.write(Setting::ViewHeight,
                   singleText(twipsKeeping(frameGeometry().height(), placedHeight_)));
    // A list left without a position by a failed load stores its default, so
    // the next opening starts cleanly instead of failing again.
    settings.write(Setting::SearchType, QString::number(std::max(cmbType->currentIndex(), 0)));
    settings.write(Setting::SearchOrder, QString::number(std::max(cmbOrder->currentIndex(), 0)));
    // Records may have been deleted here: the main window reads its best
    // values again.
    emit closing();
}

void frmView::cmbType_Click()
{
    if (LoadEnd.toInt() == 1)
        Sub_DataSet();
}

void frmView::cmbOrder_Click()
{
    if (LoadEnd.toInt() == 1)
        Sub_DataSet();
}

void frmView::vsFlex_MouseDown(int button, int, int, int)
{
    // Popping up leaves the grid's current row alone: the context menu's
    // delete acts on the row that was current before the click.
    if (button == 2)
        M_RightClickMain->popup(QCursor::pos());
}

void frmView::M_File_Click(std::int16_t index)
{
    switch (index) {
        case 1: Sub_OutputCSV(); break;
        case 3: close(); break;
        case 4:
            showProgressChart(program_, cmbType->currentIndex(), cmbType->currentText(), this);
            break;
        default: break;
    }
}

void frmView::M_Edit_Click(std::int16_t index)
{
    switch (index) {
        case 1: Sub_Delete(0); break;
        case 2: Sub_Delete(1); break;
        default: break;
    }
}

void frmView::M_RightClick_Click(std::int16_t index)
{
    if (index == 1)
        Sub_Delete(0);
}

void frmView::showProgress(const QString &text)
{
    if (!busy_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
    }
    statusPanel->setText(text);
    StatusBar->repaint();
}

void frmView::clearProgress()
{
    statusPanel->setText(QString());
    StatusBar->repaint();
    if (busy_) {
        QApplication::restoreOverrideCursor();
        busy_ = false;
    }
}

bool frmView::run(Procedure procedure, const std::function<void()> &body)
{
    const bool done = guarded(program_, procedure, body, [this] {
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
    vsFlex->setCol(kHistoryAverageCol);
    vsFlex->setRow(1);
    vsFlex->setTopRow(1);
}

void frmView::Sub_DataSet()
{
    ++dataSetRuns_;
    run(Procedure::DataSet, [this] {
        showProgress(QStringLiteral("データ表示中..."));
        const int typePosition = cmbType->currentIndex();
        GridSink sink(*vsFlex);
        fillHistory(program_.db(),
                    historyListQuery(program_.db(), typePosition, cmbOrder->currentIndex()),
                    program_.settings, sink);
        if (vsFlex->rows() > 1)
            cursorToFirstRecord();
        const BestRecords best = historyBests(program_.db(), typePosition);
        lblBTm->setText(best.bestTime);
        lblBAveTm->setText(best.bestAverage);
        lblKensu->setText(QString::number(vsFlex->rows() - 1));
        clearProgress();
    });
}

void frmView::Sub_OutputCSV()
{
    Prompts &prompts = program_.services.prompts;
    if (vsFlex->rows() < 2) {
        prompts.message(QStringLiteral("出力データがありません"), Icon::Exclamation, Buttons::Ok);
        return;
    }
    SaveFileRequest request;
    request.title = QStringLiteral("CSVファイル保存先の選択");
    request.initialName = QString();
    request.filters =
        QStringList{QStringLiteral("CSVファイル(*.csv)"), QStringLiteral("すべてのファイル(*.*)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("csv");
    request.confirmOverwrite = true;
    const std::optional<QString> path = prompts.saveFile(request);
    if (!path)
        return;

    int stoppedRow = -1;
    const bool written = run(Procedure::OutputCsv, [&] {
        showProgress(QStringLiteral("CSV出力中..."));
        // The grid's own texts, read straight from its model: the file shows
        // the list exactly as the window does.
        writeCsvFile(
            *path, vsFlex->rows(), vsFlex->cols(),
            [this](int row, int col) { return vsFlex->textMatrix(row, col); }, &stoppedRow);
        if (vsFlex->rows() >= 2)
            cursorToFirstRecord();
        clearProgress();
    });
    // A failed export leaves the cursor where the writing stopped.
    if (!written && stoppedRow >= 1) {
        vsFlex->setRow(stoppedRow);
        vsFlex->setCol(vsFlex->cols() - 1);
    }
}

}  // namespace spinlog
