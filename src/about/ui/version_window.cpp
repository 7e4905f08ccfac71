#include "about/ui/version_window.h"

#include "app/error_report.h"
#include "app/help.h"
#include "app/program.h"
#include "app/version.h"
#include "widgets/units.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace spinlog {

namespace {

const QString kWord = QStringLiteral("DIR");
constexpr std::uint32_t kAddressColor = 4194304;  // dark blue

QLabel *addLabel(QWidget *parent, const char *name, const QRect &rect)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    return label;
}

}  // namespace

frmVersion::frmVersion(Program &program, QWidget *parent) : QDialog(parent), program_(program)
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(px(3390), px(2400));
    setFont(layoutFont(9));
    // Centred over the main window (Qt's own placement guesses at frames).
    if (parent)
        move(parent->window()->frameGeometry().center() - QPoint(width() / 2, height() / 2));

    picIcon = addLabel(this, "picIcon", twipsRect(135, 120, 480, 480));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/spinlog/icon.png")));

    lblTitle = addLabel(this, "lblTitle", twipsRect(825, 255, 2475, 285));
    lblTitle->setFont(layoutFont(12, true));
    lblLastUpdate = addLabel(this, "lblLastUpdate", twipsRect(645, 675, 2565, 285));
    lblCopyright = addLabel(this, "lblCopyright", twipsRect(645, 975, 2565, 285));
    lblMail = addLabel(this, "lblMail", twipsRect(645, 1305, 2565, 285));
    lblURL = addLabel(this, "lblURL", twipsRect(645, 1575, 2565, 285));
    for (QLabel *label : {lblLastUpdate, lblCopyright, lblMail, lblURL})
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    for (QLabel *label : {lblMail, lblURL}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colorFromBgr(kAddressColor));
        label->setPalette(palette);
    }

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(1125, 1935, 1125, 345));
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmVersion::cmdOK_Click);
    // The key sequence must see the keys before the button does.
    cmdOK->installEventFilter(this);

    Form_Load();
}

void frmVersion::Form_Load()
{
    lblTitle->setText(version::kTitle + QStringLiteral("  Ver ") +
                      QString::number(version::kMajor) + QLatin1Char('.') +
                      QString::number(version::kMinor));
    lblLastUpdate->setText(QStringLiteral("LastUpdate: ") + version::kComment);
    lblCopyright->setText(version::kLegalNotice);
    lblMail->setText(QStringLiteral("Mail: ") + kMailAddress);
    lblURL->setText(QStringLiteral("URL: ") + kWebPage);
    matched = 0;
}

void frmVersion::Form_Activate()
{
    cmdOK->setFocus();
    matched = 0;
}

void frmVersion::Form_KeyDown(int keyCode, Qt::KeyboardModifiers)
{
    guarded(program_, Procedure::VersionKeyDown, [&] {
        // Letter keys report the capital letter's code whatever Shift or Caps
        // Lock say, so d, i, r match too.
        const bool isExpected = matched < kWord.size() && keyCode == kWord.at(matched).unicode();
        if (!isExpected) {
            // The breaking key is not taken as a new first letter.
            matched = 0;
            return;
        }
        ++matched;
        if (matched < kWord.size())
            return;
        // Whatever the file manager does, the next D starts a new sequence.
        matched = 0;
        if (!program_.services.shell.openFolder(program_.folder()))
            throw SpinlogError(QStringLiteral("フォルダを開くプログラムを起動できません。"));
    });
}

void frmVersion::cmdOK_Click()
{
    accept();
}

bool frmVersion::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

bool frmVersion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmdOK && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        Form_KeyDown(key->key(), key->modifiers());
    }
    return QDialog::eventFilter(watched, event);
}

void frmVersion::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused button passed on were already seen by the filter.
    if (focusWidget() == nullptr)
        Form_KeyDown(event->key(), event->modifiers());
    // OK has no cancel role: Escape does not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace spinlog
