// The main window's controls and menus, laid out in twips as drawn.

#include "main_window/ui/main_window.h"

#include "base/shown_text.h"
#include "main_window/ui/time_box.h"
#include "widgets/menu_action.h"
#include "widgets/units.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace spinlog {

namespace {

// The client area under the menu bar. It draws the etched line that divides it
// from the menu bar, across the whole screen width as the window may be moved.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QScreen *screen = this->screen();
        const int width = screen ? screen->geometry().width() : this->width();
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(0, px(0), width, px(0));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(0, px(10), width, px(10));
    }
};

QLabel *addLabel(QWidget *parent, const char *name, const QRect &rect, const QString &text = {})
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    return label;
}

// Precise timers keep the running display in step with the clock.
QTimer *secondTimer(QObject *parent, const char *name)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(1000);
    return timer;
}

}  // namespace

void frmMain::buildControls()
{
    auto *client = new ClientArea(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(4950), px(2925));
    setCentralWidget(client);

    cmbType_ = new QComboBox(client);
    cmbType_->setObjectName(QStringLiteral("cmbType"));
    cmbType_->setGeometry(twipsRect(3480, 120, 1365, 315));
    cmbType_->setFont(layoutFont(9.75));
    cmbType_->setEditable(false);
    connect(cmbType_, &QComboBox::currentIndexChanged, this, [this](int index) {
        // Emptying the list is no choice of a type.
        if (index >= 0)
            Sub_MainDspSet();
    });

    buildTimers();

    cmdStartStop_ = new QPushButton(Text::tr("計測開始"), client);
    cmdStartStop_->setObjectName(QStringLiteral("cmdStartStop"));
    cmdStartStop_->setGeometry(twipsRect(105, 930, 1590, 645));
    cmdStartStop_->setFont(layoutFont(12, true));
    // Enter presses the focused button, as Space does.
    cmdStartStop_->setAutoDefault(true);
    // Held keys are told apart before any widget or shortcut sees them.
    qApp->installEventFilter(this);
    connect(cmdStartStop_, &QPushButton::clicked, this, &frmMain::Sub_StartStop);

    buildStatusBar();
    lblTm_ = addLabel(client, "lblTm", twipsRect(105, 330, 1590, 420));
    makeTimeBox(lblTm_, layoutFont(15.75, true));

    const auto caption = [client](const char *name, const QRect &rect, const QString &text,
                                  Qt::Alignment alignment) {
        addLabel(client, name, rect, text)->setAlignment(alignment | Qt::AlignVCenter);
    };
    caption("lbl4", twipsRect(135, 135, 1035, 195), Text::tr("計測タイム:"), Qt::AlignLeft);
    caption("lbl3", twipsRect(2790, 195, 660, 195), Text::tr("タイプ:"), Qt::AlignRight);
    caption("lbl2", twipsRect(2295, 585, 1155, 195), Text::tr("ベストタイム:"), Qt::AlignRight);
    lblBTm_ = addLabel(client, "lblBTm", twipsRect(3480, 540, 1365, 270));
    lblAveTime_ = addLabel(client, "lblAveTime", twipsRect(3480, 1305, 1365, 270));
    caption("lbl0", twipsRect(2055, 1350, 1395, 195), Text::tr("今回平均タイム:"), Qt::AlignRight);
    caption("lbl1", twipsRect(1860, 975, 1590, 195), Text::tr("ベストタイム(平均):"),
            Qt::AlignRight);
    lblBAveTm_ = addLabel(client, "lblBAveTm", twipsRect(3480, 930, 1365, 270));
    for (QLabel *box : {lblBTm_, lblAveTime_, lblBAveTm_}) makeTimeBox(box, layoutFont(9.75));
    buildSolveLabels(client);

    setTabOrder(cmdStartStop_, cmbType_);
    cmdStartStop_->setFocus();
}

void frmMain::buildTimers()
{
    tmrCount_ = secondTimer(this, "tmrCount");
    connect(tmrCount_, &QTimer::timeout, this, &frmMain::tmrCount_Timer);
    tmrCountDown_ = secondTimer(this, "tmrCountDown");
    connect(tmrCountDown_, &QTimer::timeout, this, &frmMain::tmrCountDown_Timer);
    // Repaints a held start key's colour once it has been held long enough.
    tmrHold_ = new QTimer(this);
    tmrHold_->setObjectName(QStringLiteral("tmrHold"));
    tmrHold_->setSingleShot(true);
    tmrHold_->setTimerType(Qt::PreciseTimer);
    tmrHold_->setInterval(int(kHoldNs / 1'000'000));
    connect(tmrHold_, &QTimer::timeout, this, &frmMain::render);
    // Decides whether a held start key's release was its last.
    tmrRelease_ = new QTimer(this);
    tmrRelease_->setObjectName(QStringLiteral("tmrRelease"));
    tmrRelease_->setSingleShot(true);
    tmrRelease_->setTimerType(Qt::PreciseTimer);
    connect(tmrRelease_, &QTimer::timeout, this, &frmMain::releaseSettled);
}

void frmMain::buildStatusBar()
{
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setFixedHeight(px(285));
    statusPanel_ = new QLabel(statusBar_);
    statusPanel_->setObjectName(QStringLiteral("statusPanel"));
    statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar_->addWidget(statusPanel_, 1);
    statusAverages_ = new QLabel(statusBar_);
    statusAverages_->setObjectName(QStringLiteral("statusAverages"));
    statusAverages_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar_->addPermanentWidget(statusAverages_);
    setStatusBar(statusBar_);
}

void frmMain::buildSolveLabels(QWidget *client)
{
    static const char *const kTags[] = {"1st", "2nd", "3rd", "4th",  "5th",  "6th",
                                        "7th", "8th", "9th", "10th", "11th", "12th"};
    static const int kColumns[] = {105, 1305, 2505, 3705};
    static const int kRows[] = {1710, 2115, 2535};
    for (int n = 1; n <= 12; ++n) {
        const QByteArray name = "lblTime" + QByteArray::number(n);
        QLabel *label = addLabel(client, name.constData(),
                                 twipsRect(kColumns[(n - 1) % 4], kRows[(n - 1) / 4], 1140, 330),
                                 QStringLiteral("59:59.99"));
        makeTimeBox(label, layoutFont(12, true));
        label->setProperty("Tag", QString::fromLatin1(kTags[n - 1]));
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(label, &QLabel::customContextMenuRequested, this,
                [this, n, label](const QPoint &at) { solveMenu(n, label->mapToGlobal(at)); });
        lblTime_[std::size_t(n)] = label;
    }
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    const auto add = [this](QMenu *menu, const char *name, const QString &caption,
                            const QKeySequence &key, auto handler) {
        return addMenuAction(menu, name, caption, key, this, handler);
    };
    const auto open = [this](const MainWindowCommands::Open &command) {
        return [this, &command] {
            if (command)
                command(this);
        };
    };

    QMenu *file = bar->addMenu(Text::tr("ファイル(&F)"));
    file->setObjectName(QStringLiteral("M_FileMain"));
    actStartStop_ = add(file, "M_File1", Text::tr("計測開始/停止(&T)"), QKeySequence(Qt::Key_F5),
                        [this] { Sub_StartStop(); });
    actReset_ = add(file, "M_File2", Text::tr("リセット(&R)"), {}, [this] { reset(); });
    file->addSeparator();
    actSave_ = add(file, "M_File4", Text::tr("保存(&S)"), {}, [this] { Sub_Save(); });
    buildPenaltyMenu(file);
    file->addSeparator();
    add(file, "M_FileRestore", Text::tr("バックアップから復元(&B)..."), {},
        open(commands_.restoreBackup));
    file->addSeparator();
    add(file, "M_File6", Text::tr("終了(&X)"), {}, [this] { close(); });

    QMenu *tools = bar->addMenu(Text::tr("ツール(&T)"));
    tools->setObjectName(QStringLiteral("M_ToolMain"));
    add(tools, "M_Tool1", Text::tr("計測結果(&R)..."), QKeySequence(Qt::Key_F12),
        open(commands_.openHistory));
    add(tools, "M_ToolStats", Text::tr("統計(&G)..."), {}, open(commands_.openStatistics));
    tools->addSeparator();
    actOptions_ = add(tools, "M_Tool3", Text::tr("オプション(&O)..."), {}, [this] {
        if (commands_.openOptions)
            commands_.openOptions(this);
        // What the options changed shows as the dialog closes.
        if (followOptions_->isActive())
            followOptions();
    });
    tools->addSeparator();
    actScramble_ = add(tools, "M_ToolScramble", Text::tr("スクランブル(&S)"),
                       QKeySequence(Qt::Key_F6), [this] {
                           if (commands_.toggleScramble)
                               commands_.toggleScramble();
                       });
    actScramble_->setCheckable(true);

    buildHelpMenu(add, open);
}

// Penalties for the last solve, with the keys cubers know.
void frmMain::buildPenaltyMenu(QMenu *file)
{
    QMenu *penalties = file->addMenu(Text::tr("ペナルティ(&P)"));
    penalties->setObjectName(QStringLiteral("M_FilePenalty"));
    const std::array<std::pair<QString, Penalty>, 3> kinds{
        {{Text::tr("ペナルティなし(&N)"), Penalty::None},
         {QStringLiteral("+2(&2)"), Penalty::PlusTwo},
         {QStringLiteral("DNF(&D)"), Penalty::Dnf}}};
    for (int i = 0; i < 3; ++i) {
        const Penalty penalty = kinds[std::size_t(i)].second;
        actPenalty_[std::size_t(i)] =
            addMenuAction(penalties, QByteArray("M_Penalty" + QByteArray::number(i)).constData(),
                          kinds[std::size_t(i)].first,
                          QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), this, [this, penalty] {
                              if (!session_.solves().empty())
                                  givePenalty(session_.solves().back().no, penalty);
                          });
    }
}

template <typename Add, typename Open>
void frmMain::buildHelpMenu(const Add &add, const Open &open)
{
    const auto run = [](const std::function<void()> &command) {
        return [&command] {
            if (command)
                command();
        };
    };
    QMenu *help = menuBar()->addMenu(Text::tr("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("M_HelpMain"));
    add(help, "M_Help1", QStringLiteral("Readme.txt(&R)..."), QKeySequence(Qt::Key_F1),
        run(commands_.showReadme));
    add(help, "M_Help2", Text::tr("Webページ(&W)..."), {}, run(commands_.showWebPage));
    help->addSeparator();
    add(help, "M_Help4", Text::tr("バージョン情報(&A)..."), {}, open(commands_.openVersion));
}

}  // namespace spinlog
