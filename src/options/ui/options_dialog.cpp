#include "options/ui/options_dialog.h"

#include "base/error_report.h"
#include "base/seams.h"
#include "base/shown_text.h"
#include "options/ui/type_editor.h"
#include "widgets/grid.h"
#include "widgets/units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace spinlog {

namespace {

// A label whose access key only moves the focus to the control after it,
// even when that control is a button (a plain buddy label would press it).
class AccessLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::Shortcut && buddy()) {
            buddy()->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        return QLabel::event(event);
    }
};

}  // namespace

frmOption::frmOption(LoadedOptions loaded, Store store, TypeRecords records, Prompts &prompts,
                     const Reporter &reporter, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      value_(std::move(loaded.value)),
      store_(std::move(store)),
      prompts_(prompts),
      reporter_(reporter)
{
    buildControls(std::move(records), loaded.inputs);
    Form_Load(loaded.failure);
}

frmOption::~frmOption() = default;

void frmOption::buildControls(TypeRecords records, const std::vector<LoadedOptions::Input> &inputs)
{
    setWindowTitle(Text::tr("オプション"));
    setFont(layoutFont(9));
    setFixedSize(px(5085), px(10245));
    setSizeGripEnabled(false);

    // The frames are as wide as the type grid's five columns and its scroll bar
    // need; the grid shows seven types at a time.
    buildTimeFrame();
    buildColourFrame();
    buildTypeFrame(std::move(records));
    buildInspectionFrame();
    buildTimerFrame(inputs);
    buildLanguageRow();

    // Neither button answers Enter or Escape.
    const auto button = [this](const QString &caption, const char *name, int left) {
        auto *b = new QPushButton(caption, this);
        b->setGeometry(twipsRect(left, 9780, 1140, 345));
        b->setAutoDefault(false);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdOK_ = button(QStringLiteral("OK"), "cmdOK", 2475);
    connect(cmdOK_, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
    cmdCancel_ = button(Text::tr("キャンセル"), "cmdCancel", 3735);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    QWidget *order[] = {cmdOK_,          cmdCancel_,     txtTime_[0],       txtTime_[1],
                        cmdColor_[0],    cmdColor_[1],   cmdColor_[2],      vsFlex_,
                        cmdAddType_,     cmdRemoveType_, optInspection_[0], optInspection_[1],
                        chkHoldToStart_, optTimer_[0],   optTimer_[1],      cmbStackmatDevice_,
                        cmbLanguage_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    cmdOK_->setFocus();
}

void frmOption::buildTimeFrame()
{
    const auto label = [this](int index, QWidget *in, const QString &text, QRect at) {
        auto *l = new AccessLabel(text, in);
        l->setGeometry(at);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setObjectName(QStringLiteral("lbl%1").arg(index));
        lbl_[std::size_t(index)] = l;
    };
    fraTime_ = new QGroupBox(Text::tr("時間設定"), this);
    fraTime_->setGeometry(twipsRect(75, 105, 4935, 1155));
    label(0, fraTime_, Text::tr("カウントダウン時間(秒)(&C):"), twipsRect(165, 360, 2085, 180));
    label(1, fraTime_, Text::tr("アラーム間隔(秒)(&A):"), twipsRect(330, 750, 1920, 180));
    for (int i = 0; i < 2; ++i) {
        auto *box = new QLineEdit(fraTime_);
        box->setGeometry(twipsRect(2760, i == 0 ? 315 : 705, 615, 300));
        box->setMaxLength(4);
        box->setObjectName(QStringLiteral("txtTime%1").arg(i));
        box->installEventFilter(this);
        txtTime_[std::size_t(i)] = box;
        lbl_[std::size_t(i)]->setBuddy(box);
    }
}

void frmOption::buildColourFrame()
{
    fraColor_ = new QGroupBox(Text::tr("色設定"), this);
    fraColor_->setGeometry(twipsRect(75, 1395, 4935, 1635));
    const auto label = [this](int index, const QString &text, QRect at) {
        auto *l = new AccessLabel(text, fraColor_);
        l->setGeometry(at);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setObjectName(QStringLiteral("lbl%1").arg(index));
        lbl_[std::size_t(index)] = l;
    };
    label(2, Text::tr("通常タイム背景色(&N):"), twipsRect(315, 360, 1920, 180));
    label(3, Text::tr("ベストタイム背景色(&B):"), twipsRect(315, 780, 1920, 180));
    label(4, Text::tr("ワーストタイム背景色(&W):"), twipsRect(210, 1215, 2025, 180));
    const int colorTops[3] = {315, 735, 1170};
    for (int i = 0; i < 3; ++i) {
        auto *preview = new QLabel(fraColor_);
        preview->setGeometry(twipsRect(2505, colorTops[i], 375, 270));
        preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        preview->setAutoFillBackground(true);
        preview->setObjectName(QStringLiteral("lblColor%1").arg(i));
        lblColor_[std::size_t(i)] = preview;

        auto *pick = new QPushButton(QStringLiteral("..."), fraColor_);
        pick->setGeometry(twipsRect(2985, colorTops[i], 375, 270));
        pick->setAutoDefault(false);
        pick->setObjectName(QStringLiteral("cmdColor%1").arg(i));
        connect(pick, &QPushButton::clicked, this, [this, i] { cmdColor_Click(i); });
        cmdColor_[std::size_t(i)] = pick;
        lbl_[std::size_t(i + 2)]->setBuddy(pick);
    }
}

void frmOption::buildTypeFrame(TypeRecords records)
{
    fraType_ = new QGroupBox(Text::tr("タイプ設定"), this);
    fraType_->setGeometry(twipsRect(75, 3165, 4935, 3060));
    vsFlex_ = new Grid(fraType_);
    vsFlex_->setGeometry(twipsRect(135, 300, 4635, 2100));
    vsFlex_->setFont(layoutFont(9));
    vsFlex_->setObjectName(QStringLiteral("vsFlex"));
    typeEditor_ = new TypeEditor(value_, std::move(records), *vsFlex_, prompts_, this);
    // Under the grid: a type added after the others, the current one taken out.
    const auto button = [this](const QString &caption, const char *name, int left) {
        auto *b = new QPushButton(caption, fraType_);
        b->setGeometry(twipsRect(left, 2505, 1140, 345));
        b->setAutoDefault(false);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdAddType_ = button(Text::tr("追加(&T)"), "cmdAddType", 135);
    connect(cmdAddType_, &QPushButton::clicked, this,
            [this] { guarded(reporter_, Procedure::AddType, [this] { typeEditor_->addType(); }); });
    cmdRemoveType_ = button(Text::tr("削除(&R)"), "cmdRemoveType", 1395);
    connect(cmdRemoveType_, &QPushButton::clicked, this, [this] {
        guarded(reporter_, Procedure::RemoveType, [this] { typeEditor_->removeCurrentType(); });
    });
}

void frmOption::buildInspectionFrame()
{
    fraInspection_ = new QGroupBox(Text::tr("インスペクション"), this);
    fraInspection_->setGeometry(twipsRect(75, 6375, 4935, 1155));
    fraInspection_->setObjectName(QStringLiteral("fraInspection"));
    const QString texts[2] = {Text::tr("カウントダウン(時間設定の秒数)(&D)"),
                              Text::tr("WCA インスペクション(15秒)(&I)")};
    for (int i = 0; i < 2; ++i) {
        auto *choice = new QRadioButton(texts[i], fraInspection_);
        choice->setGeometry(twipsRect(165, i == 0 ? 315 : 705, 4350, 285));
        choice->setObjectName(QStringLiteral("optInspection%1").arg(i));
        optInspection_[std::size_t(i)] = choice;
    }
    chkHoldToStart_ = new QCheckBox(Text::tr("スペースキーを押し続けて離すと開始(&H)"), this);
    chkHoldToStart_->setGeometry(twipsRect(240, 7650, 4350, 285));
    chkHoldToStart_->setObjectName(QStringLiteral("chkHoldToStart"));
}

void frmOption::buildTimerFrame(const std::vector<LoadedOptions::Input> &inputs)
{
    auto *frame = new QGroupBox(Text::tr("計時"), this);
    frame->setGeometry(twipsRect(75, 8055, 4935, 1155));
    frame->setObjectName(QStringLiteral("fraTimer"));
    const QString texts[2] = {Text::tr("キーボード(&K)"), Text::tr("スタックマット(&S)")};
    for (int i = 0; i < 2; ++i) {
        auto *choice = new QRadioButton(texts[i], frame);
        choice->setGeometry(twipsRect(i == 0 ? 165 : 2160, 315, 1950, 285));
        choice->setObjectName(QStringLiteral("optTimer%1").arg(i));
        optTimer_[std::size_t(i)] = choice;
    }
    auto *label = new AccessLabel(Text::tr("入力デバイス(&V):"), frame);
    label->setGeometry(twipsRect(165, 750, 1470, 180));
    cmbStackmatDevice_ = new QComboBox(frame);
    cmbStackmatDevice_->setGeometry(twipsRect(1680, 690, 2835, 315));
    cmbStackmatDevice_->setObjectName(QStringLiteral("cmbStackmatDevice"));
    label->setBuddy(cmbStackmatDevice_);
    cmbStackmatDevice_->addItem(Text::tr("既定の入力デバイス"), QString());
    for (const LoadedOptions::Input &input : inputs)
        cmbStackmatDevice_->addItem(input.name, input.id);
    // A device chosen before and not plugged in now stays the choice.
    const QString &chosen = value_.stackmatDevice;
    if (cmbStackmatDevice_->findData(chosen) < 0)
        cmbStackmatDevice_->addItem(chosen + Text::tr("（未接続）"), chosen);
}

void frmOption::buildLanguageRow()
{
    auto *label = new AccessLabel(Text::tr("表示言語(&L):"), this);
    label->setGeometry(twipsRect(240, 9360, 1260, 180));
    cmbLanguage_ = new QComboBox(this);
    cmbLanguage_->setGeometry(twipsRect(1560, 9300, 1455, 315));
    cmbLanguage_->setObjectName(QStringLiteral("cmbLanguage"));
    cmbLanguage_->addItems({Text::tr("日本語"), QStringLiteral("English")});
    label->setBuddy(cmbLanguage_);
    // The running windows keep their texts: the choice is read at start-up.
    auto *note = new QLabel(Text::tr("（次回の起動から）"), this);
    note->setGeometry(twipsRect(3090, 9360, 1920, 180));
}

void frmOption::Form_Load(const QString &failure)
{
    txtTime_[0]->setText(value_.countdown);
    txtTime_[1]->setText(value_.alarm);
    for (int i = 0; i < 3; ++i) showColour(i);
    typeEditor_->setupAndShow(font());
    optInspection_[value_.inspection ? 1 : 0]->setChecked(true);
    chkHoldToStart_->setChecked(value_.holdToStart);
    optTimer_[value_.stackmat ? 1 : 0]->setChecked(true);
    cmbStackmatDevice_->setCurrentIndex(cmbStackmatDevice_->findData(value_.stackmatDevice));
    cmbStackmatDevice_->setEnabled(value_.stackmat);
    cmbLanguage_->setCurrentIndex(value_.english ? 1 : 0);
    // The boxes edit the value from here on.
    connect(txtTime_[0], &QLineEdit::textChanged, this,
            [this](const QString &text) { value_.countdown = text; });
    connect(txtTime_[1], &QLineEdit::textChanged, this,
            [this](const QString &text) { value_.alarm = text; });
    connect(optInspection_[1], &QRadioButton::toggled, this,
            [this](bool on) { value_.inspection = on; });
    connect(chkHoldToStart_, &QCheckBox::toggled, this,
            [this](bool on) { value_.holdToStart = on; });
    connect(optTimer_[1], &QRadioButton::toggled, this, [this](bool on) {
        value_.stackmat = on;
        cmbStackmatDevice_->setEnabled(on);
    });
    connect(cmbStackmatDevice_, &QComboBox::currentIndexChanged, this,
            [this] { value_.stackmatDevice = cmbStackmatDevice_->currentData().toString(); });
    connect(cmbLanguage_, &QComboBox::currentIndexChanged, this,
            [this](int index) { value_.english = index == 1; });
    if (!failure.isEmpty())
        reporter_.report(Procedure::OptionLoad, failure);
}

void frmOption::showColour(int index)
{
    QLabel *preview = lblColor_[std::size_t(index)];
    QPalette palette = preview->palette();
    palette.setColor(QPalette::Window, colorFromBgr(value_.colours[std::size_t(index)]));
    preview->setPalette(palette);
}

namespace {

// Whether a character typed into a time box reaches it: digits and backspace.
bool isTimeKey(QChar key)
{
    return (key >= QLatin1Char('0') && key <= QLatin1Char('9')) || key == QChar(8);
}

}  // namespace

QString frmOption::digitsOnly(const QString &committed)
{
    QString digits;
    for (const QChar c : committed) {
        // Full-width digits are the same digits typed through an input method.
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            digits += QChar(u'0' + (c.unicode() - 0xFF10));
        else if (isTimeKey(c) && c != QChar(8))
            digits += c;
    }
    return digits;
}

bool frmOption::eventFilter(QObject *watched, QEvent *event)
{
    const bool timeBox = watched == txtTime_[0] || watched == txtTime_[1];
    if (timeBox && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Only typed characters are filtered: focus moves, editing keys
        // (Delete arrives as U+007F) and Ctrl shortcuts (paste included)
        // reach the box as usual.
        const bool typed = key->text().size() == 1 && key->text().at(0).isPrint() &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (typed && !isTimeKey(key->text().at(0)))
            return true;
    }
    if (timeBox && event->type() == QEvent::InputMethod) {
        // Text committed by an input method is filtered as typed text is.
        auto *input = static_cast<QInputMethodEvent *>(event);
        const QString digits = digitsOnly(input->commitString());
        if (digits != input->commitString()) {
            QInputMethodEvent filtered(input->preeditString(), input->attributes());
            filtered.setCommitString(digits, input->replacementStart(), input->replacementLength());
            QCoreApplication::sendEvent(watched, &filtered);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOption::keyPressEvent(QKeyEvent *event)
{
    // No default and no cancel button: Enter and Escape do nothing here.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Enter:
        case Qt::Key_Return: event->accept(); return;
        default: QDialog::keyPressEvent(event);
    }
}

void frmOption::cmdColor_Click(int index)
{
    // A cancelled picker ends quietly.
    if (const auto color = prompts_.pickColor()) {
        value_.colours[std::size_t(index)] = *color & 0xFFFFFF;
        showColour(index);
    }
}

bool frmOption::checkTime(int index, const QString &message)
{
    if (isTimeSetting(index == 0 ? value_.countdown : value_.alarm))
        return true;
    QLineEdit *box = txtTime_[std::size_t(index)];
    prompts_.message(message, Icon::Exclamation, Buttons::Ok);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    return false;
}

void frmOption::cmdOK_Click()
{
    vsFlex_->finishEditing();
    guarded(reporter_, Procedure::OptionOk, [this] {
        if (!checkTime(0, Text::tr("カウントダウン時間に0以上の数値を入力してください")))
            return;
        if (!checkTime(1, Text::tr("アラーム間隔に0以上の数値を入力してください\r\n"
                                   "  (アラーム未使用時は0を入力してください)")))
            return;
        if (!typeEditor_->check(prompts_))
            return;
        if (store_)
            store_(value_);
        accept();
    });
}

}  // namespace spinlog
