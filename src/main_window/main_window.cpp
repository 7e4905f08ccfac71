#include "main_window/main_window.h"

#include "history/history_window.h"
#include "options/options_dialog.h"

#include "about/version_window.h"
#include "app/errors.h"
#include "app/help.h"
#include "app/ini_file.h"
#include "app/number_text.h"
#include "app/program.h"
#include "data/database.h"
#include "data/mdb.h"
#include "widgets/units.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

namespace spinlog {

namespace {

const QString kStart = QStringLiteral("計測開始");

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

// The white, bordered, centred labels that show times.
void makeTimeBox(QLabel *label, const QFont &font)
{
    label->setFont(font);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    frmMain::setBackColor(label, 0xFFFFFF);
}

}  // namespace

frmMain::frmMain(Program &program, QWidget *parent) : QMainWindow(parent), program_(program)
{
    setWindowTitle(QStringLiteral("Spinlog"));
    setWindowIcon(QIcon(QStringLiteral(":/spinlog/icon.png")));
    // Fixed size: no maximise button, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    buildControls();
    buildMenus();
    openHistory = [this] {
        frmView view(program_, lblBTm, lblBAveTm, this);
        view.exec();
    };
    openOptions = [this] {
        frmOption dialog(program_, this);
        dialog.exec();
    };
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    auto *client = new ClientArea(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(px(4950), px(2925));
    setCentralWidget(client);

    cmbType = new QComboBox(client);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    cmbType->setGeometry(twipsRect(3480, 120, 1365, 315));
    cmbType->setFont(layoutFont(9.75));
    cmbType->setEditable(false);
    connect(cmbType, &QComboBox::currentIndexChanged, this, [this](int index) {
        // Emptying the list is no choice of a type.
        if (index >= 0)
            cmbType_Click();
    });
    cmbType->installEventFilter(this);

    // Precise timers keep the running display in step with the clock.
    tmrCount = new QTimer(this);
    tmrCount->setTimerType(Qt::PreciseTimer);
    tmrCount->setInterval(1000);
    connect(tmrCount, &QTimer::timeout, this, &frmMain::tmrCount_Timer);
    tmrCountDown = new QTimer(this);
    tmrCountDown->setTimerType(Qt::PreciseTimer);
    tmrCountDown->setInterval(1000);
    connect(tmrCountDown, &QTimer::timeout, this, &frmMain::tmrCountDown_Timer);

    cmdStartStop = new QPushButton(kStart, client);
    cmdStartStop->setObjectName(QStringLiteral("cmdStartStop"));
    cmdStartStop->setGeometry(twipsRect(105, 930, 1590, 645));
    cmdStartStop->setFont(layoutFont(12, true));
    // Enter presses the focused button, as Space does.
    cmdStartStop->setAutoDefault(true);
    connect(cmdStartStop, &QPushButton::clicked, this, &frmMain::Sub_StartStop);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(px(285));
    statusPanel = new QLabel(StatusBar);
    statusPanel->setObjectName(QStringLiteral("statusPanel"));
    statusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar->addWidget(statusPanel, 1);
    setStatusBar(StatusBar);

    lblTm = addLabel(client, "lblTm", twipsRect(105, 330, 1590, 420));
    makeTimeBox(lblTm, layoutFont(15.75, true));

    lbl[4] =
        addLabel(client, "lbl4", twipsRect(135, 135, 1035, 195), QStringLiteral("計測タイム:"));
    lbl[3] = addLabel(client, "lbl3", twipsRect(2790, 195, 660, 195), QStringLiteral("タイプ:"));
    lbl[2] =
        addLabel(client, "lbl2", twipsRect(2295, 585, 1155, 195), QStringLiteral("ベストタイム:"));
    lblBTm = addLabel(client, "lblBTm", twipsRect(3480, 540, 1365, 270));
    lblAveTime = addLabel(client, "lblAveTime", twipsRect(3480, 1305, 1365, 270));
    lbl[0] = addLabel(client, "lbl0", twipsRect(2055, 1350, 1395, 195),
                      QStringLiteral("今回平均タイム:"));
    lbl[1] = addLabel(client, "lbl1", twipsRect(1860, 975, 1590, 195),
                      QStringLiteral("ベストタイム(平均):"));
    lblBAveTm = addLabel(client, "lblBAveTm", twipsRect(3480, 930, 1365, 270));
    for (QLabel *box : {lblBTm, lblAveTime, lblBAveTm}) makeTimeBox(box, layoutFont(9.75));
    lbl[4]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i <= 3; ++i) lbl[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

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
        lblTime[n] = label;
    }

    setTabOrder(cmdStartStop, cmbType);
    cmdStartStop->setFocus();
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto add = [this](QMenu *menu, const QString &caption, const QKeySequence &key,
                      void (frmMain::*handler)(int), int index) {
        QAction *action = menu->addAction(caption);
        if (!key.isEmpty())
            action->setShortcut(key);
        connect(action, &QAction::triggered, this,
                [this, handler, index] { (this->*handler)(index); });
        return action;
    };

    M_FileMain = bar->addMenu(QStringLiteral("ファイル(&F)"));
    M_File[1] = add(M_FileMain, QStringLiteral("計測開始/停止(&T)"), QKeySequence(Qt::Key_F5),
                    &frmMain::M_File_Click, 1);
    M_File[2] = add(M_FileMain, QStringLiteral("リセット(&R)"), {}, &frmMain::M_File_Click, 2);
    M_File[3] = M_FileMain->addSeparator();
    M_File[4] = add(M_FileMain, QStringLiteral("保存(&S)"), {}, &frmMain::M_File_Click, 4);
    M_File[5] = M_FileMain->addSeparator();
    M_File[6] = add(M_FileMain, QStringLiteral("終了(&X)"), {}, &frmMain::M_File_Click, 6);

    M_ToolMain = bar->addMenu(QStringLiteral("ツール(&T)"));
    M_Tool[1] = add(M_ToolMain, QStringLiteral("計測結果(&R)..."), QKeySequence(Qt::Key_F12),
                    &frmMain::M_Tool_Click, 1);
    M_Tool[2] = M_ToolMain->addSeparator();
    M_Tool[3] = add(M_ToolMain, QStringLiteral("オプション(&O)..."), {}, &frmMain::M_Tool_Click, 3);

    M_HelpMain = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    M_Help[1] = add(M_HelpMain, QStringLiteral("Readme.txt(&R)..."), QKeySequence(Qt::Key_F1),
                    &frmMain::M_Help_Click, 1);
    M_Help[2] = add(M_HelpMain, QStringLiteral("Webページ(&W)..."), {}, &frmMain::M_Help_Click, 2);
    M_Help[3] = M_HelpMain->addSeparator();
    M_Help[4] =
        add(M_HelpMain, QStringLiteral("バージョン情報(&A)..."), {}, &frmMain::M_Help_Click, 4);
}

std::uint32_t frmMain::backColor(const QLabel *label)
{
    return bgrFromColor(label->palette().color(QPalette::Window));
}

void frmMain::setBackColor(QLabel *label, std::uint32_t bgr)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colorFromBgr(bgr));
    label->setPalette(palette);
}

void frmMain::Form_Load()
{
    try {
        // The etched separator is drawn by the client area at every repaint.
        LoadEnd = 0;
        tmrCount->stop();
        tmrCount->setInterval(1000);
        tmrCountDown->stop();
        tmrCountDown->setInterval(1000);

        const float left = singleFromText(Fun_IniRead(
            program_, QStringLiteral("Main"), QStringLiteral("Left"), QStringLiteral("4000")));
        const float top = singleFromText(Fun_IniRead(
            program_, QStringLiteral("Main"), QStringLiteral("Top"), QStringLiteral("5000")));
        const double x = std::round(double(left) / kTwipsPerPixel);
        const double y = std::round(double(top) / kTwipsPerPixel);
        // Nothing keeps the window on the screen, but a pixel position must
        // still be a window-system coordinate.
        if (std::fabs(x) > 1e9 || std::fabs(y) > 1e9)
            throw SpinlogError(describe::overflow());
        move(int(x), int(y));
        placedLeft_ = left;
        placedTop_ = top;

        lblTm->setText(program_.settings.CntDownTm);
        cmdStartStop->setText(kStart);
        M_File[4]->setEnabled(false);

        Sub_cmbTypeSet(1);

        restoreSeries();

        LoadEnd = 1;
    } catch (const SpinlogError &e) {
        program_.reportError(QStringLiteral("フォームロードエラー"),
                             QStringLiteral("[frmMain]-[Form_Load] "), e.description());
        // The program does not run with a half-loaded main window.
        program_.services.app.endNow();
    }
}

bool frmMain::Form_Unload()
{
    if (!M_File[2]->isEnabled()) {
        program_.services.prompts.message(
            QStringLiteral("計測中です、計測を停止してから終了してください"), Icon::Exclamation,
            Buttons::Ok);
        if (tmrCount->isActive()) {
            // The running display goes on from the true elapsed time, not from
            // the ticks that were held up while the message was open.
            const std::int64_t elapsed = program_.services.clock.monotonicNs() - StartTm;
            ElapsedSec = QString::number(elapsed / 1'000'000'000);
        }
        return true;
    }

    Fun_IniWrite(program_, QStringLiteral("Main"), QStringLiteral("Top"),
                 singleText(twipsKeeping(y(), placedTop_)));
    Fun_IniWrite(program_, QStringLiteral("Main"), QStringLiteral("Left"),
                 singleText(twipsKeeping(x(), placedLeft_)));
    Fun_IniWrite(program_, QStringLiteral("Main"), QStringLiteral("DefType"),
                 QString::number(cmbType->currentIndex()));

    statusPanel->setText(QStringLiteral("MDB最適化中..."));
    StatusBar->repaint();

    closeAndCompact(program_);
    program_.services.app.endNow();
    return false;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->ignore();
    else
        event->accept();
}

void frmMain::resetSeriesControls()
{
    cmdStartStop->setText(kStart);
    cmdStartStop->setEnabled(true);
    M_File[1]->setEnabled(true);
    cmbType->setEnabled(true);
    M_Tool[3]->setEnabled(true);
    M_File[4]->setEnabled(false);
}

void frmMain::M_File_Click(int index)
{
    switch (index) {
        case 1: Sub_StartStop(); break;
        case 2:
            if (program_.services.prompts.message(QStringLiteral("リセットします、よろしいですか"),
                                                  Icon::Question, Buttons::YesNo,
                                                  Answer::Yes) != Answer::Yes)
                return;
            resetSeriesControls();
            Sub_MainDspSet();
            break;
        case 4: Sub_Save(); break;
        case 6: close(); break;
        default: break;
    }
}

void frmMain::M_Tool_Click(int index)
{
    switch (index) {
        case 1:
            if (openHistory)
                openHistory();
            break;
        case 3:
            if (openOptions)
                openOptions();
            Sub_cmbTypeSet(0);
            break;
        default: break;
    }
}

void frmMain::M_Help_Click(int index)
{
    switch (index) {
        case 1: Sub_ShowHelpFlie(program_); break;
        case 2: Sub_ShowWebFlie(program_); break;
        case 4: {
            frmVersion version(program_, this);
            version.exec();
            break;
        }
        default: break;
    }
}

}  // namespace spinlog
