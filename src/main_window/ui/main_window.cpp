#include "main_window/ui/main_window.h"

#include "about/ui/version_window.h"
#include "app/error_report.h"
#include "app/help.h"
#include "app/mdb.h"
#include "app/number_text.h"
#include "app/program.h"
#include "app/sound.h"
#include "data/database.h"
#include "history/ui/history_window.h"
#include "main_window/control_states.h"
#include "options/ui/options_dialog.h"
#include "scramble/ui/scramble_window.h"
#include "widgets/units.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

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

void paint(QLabel *label, std::uint32_t bgr)
{
    const QColor color = colorFromBgr(bgr);
    if (label->palette().color(QPalette::Window) == color)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
}

// The white, bordered, centred labels that show times.
void makeTimeBox(QLabel *label, const QFont &font)
{
    label->setFont(font);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    paint(label, 0xFFFFFF);
}

// Clears a flag when the handler that set it ends, however it ends.
class Flag {
public:
    explicit Flag(bool &flag) : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }

private:
    bool &flag_;
};

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

frmMain::frmMain(Program &program, QWidget *parent)
    : QMainWindow(parent),
      program_(program),
      store_(program.db()),
      session_(program.settings, store_)
{
    setWindowTitle(QStringLiteral("Spinlog"));
    setWindowIcon(QIcon(QStringLiteral(":/spinlog/icon.png")));
    // Fixed size: no maximise button, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(layoutFont(9));
    scramble_ = new frmScramble(program_, this);
    buildControls();
    buildMenus();
    openHistory = [this] {
        frmView view(program_, this);
        connect(&view, &frmView::closing, this, &frmMain::refreshBestValues);
        view.exec();
    };
    openOptions = [this] {
        frmOption dialog(program_, this);
        dialog.exec();
    };
    connect(&session_, &SolveSession::changed, this, &frmMain::render);
    connect(&session_, &SolveSession::sound, this, [this] { Sub_Sound(program_); });
    // The type of a series under way must survive a crash: start-up restores
    // the series under the type it selects, so that is written down as soon
    // as the series has its first solve, as the exit would write it.
    connect(&session_, &SolveSession::solveStored, this, [this] {
        scramble_->solveStored();
        if (session_.solves().size() == 1)
            rememberPlace();
    });
    connect(&session_, &SolveSession::typeChanged, this,
            [this] { scramble_->board().setPuzzleType(session_.type().name); });
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

    // Precise timers keep the running display in step with the clock.
    tmrCount_ = new QTimer(this);
    tmrCount_->setObjectName(QStringLiteral("tmrCount"));
    tmrCount_->setTimerType(Qt::PreciseTimer);
    tmrCount_->setInterval(1000);
    connect(tmrCount_, &QTimer::timeout, this, &frmMain::tmrCount_Timer);
    tmrCountDown_ = new QTimer(this);
    tmrCountDown_->setObjectName(QStringLiteral("tmrCountDown"));
    tmrCountDown_->setTimerType(Qt::PreciseTimer);
    tmrCountDown_->setInterval(1000);
    connect(tmrCountDown_, &QTimer::timeout, this, &frmMain::tmrCountDown_Timer);

    cmdStartStop_ = new QPushButton(QStringLiteral("計測開始"), client);
    cmdStartStop_->setObjectName(QStringLiteral("cmdStartStop"));
    cmdStartStop_->setGeometry(twipsRect(105, 930, 1590, 645));
    cmdStartStop_->setFont(layoutFont(12, true));
    // Enter presses the focused button, as Space does.
    cmdStartStop_->setAutoDefault(true);
    // Held keys are told apart before any widget or shortcut sees them.
    qApp->installEventFilter(this);
    connect(cmdStartStop_, &QPushButton::clicked, this, &frmMain::Sub_StartStop);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    statusBar_->setFixedHeight(px(285));
    statusPanel_ = new QLabel(statusBar_);
    statusPanel_->setObjectName(QStringLiteral("statusPanel"));
    statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar_->addWidget(statusPanel_, 1);
    setStatusBar(statusBar_);

    lblTm_ = addLabel(client, "lblTm", twipsRect(105, 330, 1590, 420));
    makeTimeBox(lblTm_, layoutFont(15.75, true));

    const auto caption = [client](const char *name, const QRect &rect, const QString &text,
                                  Qt::Alignment alignment) {
        addLabel(client, name, rect, text)->setAlignment(alignment | Qt::AlignVCenter);
    };
    caption("lbl4", twipsRect(135, 135, 1035, 195), QStringLiteral("計測タイム:"), Qt::AlignLeft);
    caption("lbl3", twipsRect(2790, 195, 660, 195), QStringLiteral("タイプ:"), Qt::AlignRight);
    caption("lbl2", twipsRect(2295, 585, 1155, 195), QStringLiteral("ベストタイム:"),
            Qt::AlignRight);
    lblBTm_ = addLabel(client, "lblBTm", twipsRect(3480, 540, 1365, 270));
    lblAveTime_ = addLabel(client, "lblAveTime", twipsRect(3480, 1305, 1365, 270));
    caption("lbl0", twipsRect(2055, 1350, 1395, 195), QStringLiteral("今回平均タイム:"),
            Qt::AlignRight);
    caption("lbl1", twipsRect(1860, 975, 1590, 195), QStringLiteral("ベストタイム(平均):"),
            Qt::AlignRight);
    lblBAveTm_ = addLabel(client, "lblBAveTm", twipsRect(3480, 930, 1365, 270));
    for (QLabel *box : {lblBTm_, lblAveTime_, lblBAveTm_}) makeTimeBox(box, layoutFont(9.75));

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
        lblTime_[std::size_t(n)] = label;
    }

    setTabOrder(cmdStartStop_, cmbType_);
    cmdStartStop_->setFocus();
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    const auto add = [this](QMenu *menu, const char *name, const QString &caption,
                            const QKeySequence &key, auto handler) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        // A held key is one press: its repeats must not start and stop the
        // clock or open a window twice.
        action->setAutoRepeat(false);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu *file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("M_FileMain"));
    actStartStop_ = add(file, "M_File1", QStringLiteral("計測開始/停止(&T)"),
                        QKeySequence(Qt::Key_F5), [this] { Sub_StartStop(); });
    actReset_ = add(file, "M_File2", QStringLiteral("リセット(&R)"), {}, [this] { reset(); });
    file->addSeparator();
    actSave_ = add(file, "M_File4", QStringLiteral("保存(&S)"), {}, [this] { Sub_Save(); });
    file->addSeparator();
    actExit_ = add(file, "M_File6", QStringLiteral("終了(&X)"), {}, [this] { close(); });

    QMenu *tools = bar->addMenu(QStringLiteral("ツール(&T)"));
    tools->setObjectName(QStringLiteral("M_ToolMain"));
    actHistory_ =
        add(tools, "M_Tool1", QStringLiteral("計測結果(&R)..."), QKeySequence(Qt::Key_F12), [this] {
            if (openHistory)
                openHistory();
        });
    tools->addSeparator();
    actOptions_ = add(tools, "M_Tool3", QStringLiteral("オプション(&O)..."), {}, [this] {
        if (openOptions)
            openOptions();
        Sub_cmbTypeSet(0);
    });
    tools->addSeparator();
    actScramble_ =
        add(tools, "M_ToolScramble", QStringLiteral("スクランブル(&S)"), QKeySequence(Qt::Key_F6),
            [this] { scramble_->setVisible(!scramble_->isVisible()); });
    actScramble_->setCheckable(true);
    connect(scramble_, &frmScramble::visibilityChanged, actScramble_, &QAction::setChecked);

    QMenu *help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("M_HelpMain"));
    actReadme_ = add(help, "M_Help1", QStringLiteral("Readme.txt(&R)..."), QKeySequence(Qt::Key_F1),
                     [this] { Sub_ShowHelpFlie(program_); });
    actWebPage_ = add(help, "M_Help2", QStringLiteral("Webページ(&W)..."), {},
                      [this] { Sub_ShowWebFlie(program_); });
    help->addSeparator();
    actVersion_ = add(help, "M_Help4", QStringLiteral("バージョン情報(&A)..."), {}, [this] {
        frmVersion version(program_, this);
        version.exec();
    });
}

void frmMain::render()
{
    const MainControls c = controlsFor(session_.state(), session_.seriesUnderWay());
    cmdStartStop_->setText(c.startStopCaption);
    cmdStartStop_->setEnabled(c.startStopEnabled);
    cmbType_->setEnabled(c.typeListEnabled);
    actStartStop_->setEnabled(c.startStopItemEnabled);
    actReset_->setEnabled(c.resetEnabled);
    actSave_->setEnabled(c.saveEnabled);
    actOptions_->setEnabled(c.optionsEnabled);
    paint(lblTm_, c.clockColor);
    lblTm_->setText(session_.clockText());
    if (c.status != shownStatus_)
        showStatus(c.status);

    const int count = session_.type().count;
    for (int n = 1; n <= 12; ++n) {
        QLabel *label = lblTime_[std::size_t(n)];
        label->setText(session_.solveText(n));
        paint(label, session_.solveColor(n));
        label->setVisible(n <= count);
    }
    lblAveTime_->setText(session_.averageText());
    lblBTm_->setText(bests_.bestTime);
    lblBAveTm_->setText(bests_.bestAverage);

    // At most one timer runs, started at the moment its state began.
    const auto run = [](QTimer *timer, bool on) {
        if (on && !timer->isActive())
            timer->start();
        else if (!on && timer->isActive())
            timer->stop();
    };
    run(tmrCountDown_, session_.state() == SessionState::Countdown);
    run(tmrCount_, session_.state() == SessionState::Timing);
}

void frmMain::showStatus(const QString &text)
{
    shownStatus_ = text;
    statusPanel_->setText(text);
    statusBar_->repaint();
}

void frmMain::Form_Load()
{
    const bool loaded = guarded(program_, Procedure::MainLoad, [this] {
        loadEnd_ = false;
        const float left = singleFromText(program_.settings.read(Setting::MainLeft));
        const float top = singleFromText(program_.settings.read(Setting::MainTop));
        const double x = std::round(double(left) / kTwipsPerPixel);
        const double y = std::round(double(top) / kTwipsPerPixel);
        // Nothing keeps the window on the screen, but a pixel position must
        // still be a window-system coordinate.
        if (std::fabs(x) > 1e9 || std::fabs(y) > 1e9)
            throw SpinlogError(describe::overflow());
        move(int(x), int(y));
        placedLeft_ = left;
        placedTop_ = top;

        Sub_cmbTypeSet(1);
        session_.restore();
        loadEnd_ = true;
    });
    render();
    // The program does not run with a half-loaded main window.
    if (!loaded)
        program_.services.app.endNow();
}

bool frmMain::Form_Unload()
{
    const SessionState state = session_.state();
    if (state == SessionState::Countdown || state == SessionState::Timing) {
        program_.services.prompts.message(
            QStringLiteral("計測中です、計測を停止してから終了してください"), Icon::Exclamation,
            Buttons::Ok);
        // The running display goes on from the true elapsed time, not from
        // the ticks that were held up while the message was open.
        session_.correctElapsed(program_.services.clock.monotonicNs());
        return true;
    }

    rememberPlace();
    scramble_->rememberPlace();
    showStatus(QStringLiteral("MDB最適化中..."));
    closeAndCompact(program_);
    program_.services.app.endNow();
    return false;
}

void frmMain::rememberPlace()
{
    const Settings &settings = program_.settings;
    settings.write(Setting::MainTop, singleText(twipsKeeping(y(), placedTop_)));
    settings.write(Setting::MainLeft, singleText(twipsKeeping(x(), placedLeft_)));
    settings.write(Setting::DefType, QString::number(cmbType_->currentIndex()));
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The scramble window comes back with the main window if it was open.
    if (!shownOnce_) {
        shownOnce_ = true;
        if (scramble_->shownLastTime())
            scramble_->show();
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->ignore();
    else
        event->accept();
}

void frmMain::Sub_cmbTypeSet(std::int16_t mode)
{
    guarded(program_, Procedure::TypeSet, [&] {
        {
            // Filling the list is no choice of a type: only the selection
            // below shows the type.
            const QSignalBlocker quiet(cmbType_);
            cmbType_->clear();
            cmbType_->addItems(PuzzleTypeStore(program_.db()).names());
            cmbType_->setCurrentIndex(-1);
        }

        QString problem;
        int entry = -1;
        try {
            entry = mode == 1 ? program_.settings.defaultTypePosition()
                              : int16FromText(session_.type().id) - 1;
        } catch (const SpinlogError &e) {
            problem = e.description();
        }
        if (problem.isEmpty() && entry >= 0 && entry < cmbType_->count()) {
            cmbType_->setCurrentIndex(entry);
            return;
        }
        // "-1" is what the last exit stored when no type was chosen.
        if (problem.isEmpty() && !(mode == 1 && entry == -1))
            problem = invalidPropertyText();
        if (!problem.isEmpty())
            reportFailure(program_, Procedure::TypeSet, problem);
        // The window is never left without a type while the list has one.
        if (cmbType_->count() > 0)
            cmbType_->setCurrentIndex(0);
    });
}

void frmMain::Sub_MainDspSet()
{
    guarded(program_, Procedure::MainDisplay, [this] {
        const PuzzleTypeStore types(program_.db());
        std::optional<SeriesType> type;
        if (const auto row = types.find(QString::number(cmbType_->currentIndex() + 1)))
            type = SeriesType{row->id, row->name, int16FromText(row->count), row->bestWorst};
        session_.showType(type, loadEnd_);
        bests_ = types.bests(session_.type().id);
    });
    render();
}

void frmMain::refreshBestValues()
{
    guarded(program_, Procedure::MainDisplay,
            [this] { bests_ = PuzzleTypeStore(program_.db()).bests(session_.type().id); });
    render();
}

void frmMain::Sub_StartStop()
{
    // The moment this press is handled is when the solve starts or ends.
    const std::int64_t now = program_.services.clock.monotonicNs();
    PressResult result = PressResult::Ignored;
    guarded(program_, Procedure::StartStop, [&] { result = session_.press(now); });
    if (result == PressResult::Completed)
        Sub_Save();
}

void frmMain::tmrCountDown_Timer()
{
    const std::int64_t now = program_.services.clock.monotonicNs();
    // A tick arriving while an earlier tick's error box is open is dropped,
    // so the boxes do not pile up once a second.
    if (inTick_)
        return;
    const Flag ticking(inTick_);
    guarded(program_, Procedure::CountDownTimer, [&] { session_.countdownTick(now); });
}

void frmMain::tmrCount_Timer()
{
    if (inTick_)
        return;
    const Flag ticking(inTick_);
    guarded(program_, Procedure::CountTimer, [this] { session_.runningTick(); });
}

void frmMain::Sub_Save()
{
    const QString question = QStringLiteral("平均タイム: ") + session_.averageText() +
                             QStringLiteral("\r\n結果を保存しますか");
    if (program_.services.prompts.message(question, Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    showStatus(QStringLiteral("保存中..."));
    const bool saved = guarded(
        program_, Procedure::Save, [this] { session_.save(program_.services.clock.localNow()); },
        // The hourglass goes first, or it would cover the error box too.
        [] { QApplication::restoreOverrideCursor(); });
    if (saved) {
        Sub_MainDspSet();
        QApplication::restoreOverrideCursor();
    }
    showStatus(QString());
}

void frmMain::reset()
{
    if (program_.services.prompts.message(QStringLiteral("リセットします、よろしいですか"),
                                          Icon::Question, Buttons::YesNo,
                                          Answer::Yes) != Answer::Yes)
        return;
    Sub_MainDspSet();
}

bool frmMain::isRepeat(const QKeyEvent *key) const
{
    // A window system repeats a held key as release and press pairs that share
    // one timestamp, and the first pair can arrive unmarked: a press at the very
    // moment of the same key's release is a repeat too.
    return key->isAutoRepeat() ||
           (key->key() == releasedKey_ && key->timestamp() != 0 && key->timestamp() == releasedAt_);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::KeyRelease) {
        releasedKey_ = key->key();
        releasedAt_ = key->timestamp();
        return QMainWindow::eventFilter(watched, event);
    }
    // Only a real press starts or stops the clock or opens a window: a held
    // key's repeats go nowhere.
    const bool once = key->key() == Qt::Key_F5 || key->key() == Qt::Key_F6 ||
                      key->key() == Qt::Key_F12 || key->key() == Qt::Key_F1 ||
                      ((watched == cmdStartStop_ || watched == cmbType_) &&
                       (isEnter(key) || key->key() == Qt::Key_Space));
    if (once && isRepeat(key)) {
        // An accepted override keeps the shortcut from firing; the key press
        // that follows is dropped here too.
        event->accept();
        return true;
    }
    // Enter in the type list starts and stops as the button does; the key
    // still reaches the list.
    if (type == QEvent::KeyPress && watched == cmbType_ && isEnter(key))
        Sub_StartStop();
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace spinlog
