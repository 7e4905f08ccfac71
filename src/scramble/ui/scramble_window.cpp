#include "scramble/ui/scramble_window.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/settings.h"
#include "widgets/units.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>
#include <utility>

namespace spinlog {

namespace {

// Posted below the repaints' priority, so a solve's label is painted first.
const QEvent::Type kSolveStored = QEvent::Type(QEvent::registerEventType());
const QEvent::Type kDelivered = QEvent::Type(QEvent::registerEventType());

// The usual scheme: U white, R red, F green, D yellow, L orange, B blue.
QColor faceColor(QChar face)
{
    switch (face.unicode()) {
        case u'U': return QColor(255, 255, 255);
        case u'R': return QColor(200, 30, 40);
        case u'F': return QColor(0, 155, 72);
        case u'D': return QColor(255, 213, 0);
        case u'L': return QColor(255, 110, 0);
        case u'B': return QColor(0, 70, 173);
        default: return QColor(128, 128, 128);
    }
}

}  // namespace

// The scrambled cube unfolded: U above F; L, F, R, B in a row; D below F.
class CubeNet : public QWidget {
public:
    using QWidget::QWidget;
    void setCube(const std::optional<Scramble> &scramble)
    {
        facelets_ = scramble ? scramble->facelets : QString();
        size_ = scramble ? cubeSize(scramble->kind) : 0;
        update();
    }
    QSize sizeHint() const override { return QSize(240, 180); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (size_ == 0 || facelets_.size() != 6 * size_ * size_)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // Four faces across, three down, a small gap between faces.
        const double cell =
            std::min((width() - 8) / (4.0 * size_ + 0.6), (height() - 8) / (3.0 * size_ + 0.4));
        const double face = cell * size_ + cell * 0.15;
        const double left = (width() - 4 * face) / 2;
        const double top = (height() - 3 * face) / 2;
        // Faces in the order U R F D L B, and where each sits in the net.
        static const int kColumn[6] = {1, 2, 1, 1, 0, 3};
        static const int kRow[6] = {0, 1, 1, 2, 1, 1};
        painter.setPen(QPen(QColor(40, 40, 40), std::max(1.0, cell / 12)));
        for (int f = 0; f < 6; ++f) {
            for (int r = 0; r < size_; ++r) {
                for (int c = 0; c < size_; ++c) {
                    const QChar sticker = facelets_.at((f * size_ + r) * size_ + c);
                    painter.setBrush(faceColor(sticker));
                    painter.drawRect(QRectF(left + kColumn[f] * face + c * cell,
                                            top + kRow[f] * face + r * cell, cell, cell));
                }
            }
        }
    }

private:
    QString facelets_;
    int size_ = 0;
};

frmScramble::frmScramble(Settings &settings, const ErrorLog &log, QWidget *parent)
    : QWidget(parent, Qt::Tool),
      settings_(settings),
      board_([this](ScrambleKind kind) { source().request(kind); })
{
    setObjectName(QStringLiteral("frmScramble"));
    setWindowTitle(QStringLiteral("スクランブル"));
    setFont(layoutFont(9));

    lblScramble_ = new QLabel(this);
    lblScramble_->setObjectName(QStringLiteral("lblScramble"));
    lblScramble_->setWordWrap(true);
    lblScramble_->setAlignment(Qt::AlignCenter);
    lblScramble_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    picNet_ = new CubeNet(this);
    picNet_->setObjectName(QStringLiteral("picNet"));
    picNet_->setMinimumSize(120, 90);
    lblPrevious_ = new QLabel(this);
    lblPrevious_->setObjectName(QStringLiteral("lblPrevious"));
    lblPrevious_->setWordWrap(true);
    lblPrevious_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette quiet = lblPrevious_->palette();
    quiet.setColor(QPalette::WindowText, QColor(96, 96, 96));
    lblPrevious_->setPalette(quiet);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblScramble_);
    layout->addWidget(picNet_, 1);
    layout->addWidget(lblPrevious_);

    connect(&board_, &ScrambleBoard::changed, this, &frmScramble::render);

    place_.read(settings_, log);
    place_.apply(*this);
    render();
}

frmScramble::~frmScramble() = default;

ScrambleSource &frmScramble::source()
{
    // Its worker thread starts with the first scramble asked for, not with
    // the program: most runs never open this window.
    if (!source_) {
        source_ = std::make_unique<ScrambleSource>();
        connect(source_.get(), &ScrambleSource::ready, this, [this](const Scramble &scramble) {
            delivered_ = scramble;
            QCoreApplication::postEvent(this, new QEvent(kDelivered), Qt::LowEventPriority - 1);
        });
    }
    return *source_;
}

void frmScramble::solveStored()
{
    QCoreApplication::postEvent(this, new QEvent(kSolveStored), Qt::LowEventPriority - 1);
}

bool frmScramble::event(QEvent *event)
{
    if (event->type() == kSolveStored) {
        board_.solveStored();
        return true;
    }
    if (event->type() == kDelivered) {
        if (delivered_)
            board_.deliver(*std::exchange(delivered_, std::nullopt));
        return true;
    }

    return QWidget::event(event);
}

bool frmScramble::shownLastTime() const
{
    return settings_.read(Setting::ScrambleVisible).trimmed() == QStringLiteral("1");
}

void frmScramble::rememberPlace() const
{
    // A window never opened leaves the settings file as it was.
    if (!everShown_)
        return;
    place_.remember(settings_, *this);
    settings_.write(Setting::ScrambleVisible,
                    isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmScramble::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    everShown_ = true;
    board_.setActive(true);
    emit visibilityChanged(true);
}

void frmScramble::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    board_.setActive(false);
    emit visibilityChanged(false);
}

void frmScramble::render()
{
    const std::optional<Scramble> &next = board_.next();
    // Long scrambles of the big cubes in a smaller size, so they still fit.
    const bool big = board_.kind() && cubeSize(*board_.kind()) > 3;
    lblScramble_->setFont(layoutFont(big ? 11 : 16, true));
    if (!board_.kind())
        lblScramble_->setText(QStringLiteral("このタイプのスクランブルはありません"));
    else
        lblScramble_->setText(next ? next->text : QStringLiteral("…"));
    picNet_->setCube(next);
    const std::optional<Scramble> &previous = board_.previous();
    lblPrevious_->setText(previous ? QStringLiteral("前回: ") + previous->text : QString());
}

}  // namespace spinlog
