#include "about/ui/version_window.h"

#include "base/error_report.h"
#include "base/seams.h"
#include "base/shown_text.h"
#include "base/version.h"
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

frmVersion::frmVersion(Shell &shell, QString folder, const Reporter &reporter, QWidget *parent)
    : QDialog(parent), shell_(shell), folder_(std::move(folder)), reporter_(reporter)
{
    setWindowTitle(Text::tr("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(px(3390), px(2400));
    setFont(layoutFont(9));
    // Centred over the main window (Qt's own placement guesses at frames).
    if (parent)
        move(parent->window()->frameGeometry().center() - QPoint(width() / 2, height() / 2));

    addLabel(this, "picIcon", twipsRect(135, 120, 480, 480))
        ->setPixmap(QPixmap(QStringLiteral(":/spinlog/icon.png")));

    lblTitle_ = addLabel(this, "lblTitle", twipsRect(825, 255, 2475, 285));
    lblTitle_->setFont(layoutFont(12, true));
    lblLastUpdate_ = addLabel(this, "lblLastUpdate", twipsRect(645, 675, 2565, 285));
    lblCopyright_ = addLabel(this, "lblCopyright", twipsRect(645, 975, 2565, 285));
    lblMail_ = addLabel(this, "lblMail", twipsRect(645, 1305, 2565, 285));
    lblURL_ = addLabel(this, "lblURL", twipsRect(645, 1575, 2565, 285));
    for (QLabel *label : {lblLastUpdate_, lblCopyright_, lblMail_, lblURL_})
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    for (QLabel *label : {lblMail_, lblURL_}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colorFromBgr(kAddressColor));
        label->setPalette(palette);
    }

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(twipsRect(1125, 1935, 1125, 345));
    cmdOK_->setAutoDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    // The key sequence must see the keys before the button does.
    cmdOK_->installEventFilter(this);

    Form_Load();
}

void frmVersion::Form_Load()
{
    lblTitle_->setText(version::kTitle + QStringLiteral("  Ver ") +
                       QString::number(version::kMajor) + QLatin1Char('.') +
                       QString::number(version::kMinor));
    lblLastUpdate_->setText(QStringLiteral("LastUpdate: ") + version::kComment);
    lblCopyright_->setText(version::kLegalNotice);
    lblMail_->setText(QStringLiteral("Mail: ") + version::kMailAddress);
    lblURL_->setText(QStringLiteral("URL: ") + version::kWebPage);
    matched_ = 0;
}

void frmVersion::Form_Activate()
{
    cmdOK_->setFocus();
    matched_ = 0;
}

void frmVersion::Form_KeyDown(int keyCode)
{
    guarded(reporter_, Procedure::VersionKeyDown, [&] {
        // Letter keys report the capital letter's code whatever Shift or Caps
        // Lock say, so d, i, r match too.
        const bool isExpected = matched_ < kWord.size() && keyCode == kWord.at(matched_).unicode();
        if (!isExpected) {
            // The breaking key is not taken as a new first letter.
            matched_ = 0;
            return;
        }
        ++matched_;
        if (matched_ < kWord.size())
            return;
        // Whatever the file manager does, the next D starts a new sequence.
        matched_ = 0;
        if (!shell_.openFolder(folder_))
            throw SpinlogError(Text::tr("フォルダを開くプログラムを起動できません。"));
    });
}

bool frmVersion::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

bool frmVersion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmdOK_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        Form_KeyDown(key->key());
    }
    return QDialog::eventFilter(watched, event);
}

void frmVersion::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused button passed on were already seen by the filter.
    if (focusWidget() == nullptr)
        Form_KeyDown(event->key());
    // OK has no cancel role: Escape does not close the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace spinlog
