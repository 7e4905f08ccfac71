#include "scramble/ui/scramble_window.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/settings.h"
#include "base/shown_text.h"
#include "widgets/units.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QtMath>
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

// The scrambled puzzle: a cube or Skewb unfolded (U above F; L, F, R, B in
// a row; D below F), the Pyraminx's four triangles, the Megaminx's two
// halves, the Square-1's two layers, the Clock's two faces.
class PuzzlePicture : public QWidget {
public:
    using QWidget::QWidget;
    void setScramble(const std::optional<Scramble> &scramble)
    {
        scramble_ = scramble;
        update();
    }
    QSize sizeHint() const override { return QSize(240, 180); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!scramble_)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(40, 40, 40), 1));
        const QString &state = scramble_->state;
        switch (scramble_->kind) {
            case ScrambleKind::Pyraminx: drawPyraminx(painter, state); break;
            case ScrambleKind::Skewb: drawSkewb(painter, state); break;
            case ScrambleKind::Megaminx: drawMegaminx(painter, state); break;
            case ScrambleKind::Square1: drawSquare1(painter, state); break;
            case ScrambleKind::Clock: drawClock(painter, state); break;
            default: drawCube(painter, state, cubeSize(scramble_->kind)); break;
        }
    }

private:
    // Faces in the order U R F D L B, and where each sits in the net.
    static constexpr int kColumn[6] = {1, 2, 1, 1, 0, 3};
    static constexpr int kRow[6] = {0, 1, 1, 2, 1, 1};

    // The net's face size and its top left corner, four faces across, three down.
    QRectF net(double gap) const
    {
        const double face = std::min((width() - 8) / (4 + 3 * gap), (height() - 8) / (3 + 2 * gap));
        return QRectF((width() - 4 * face * (1 + gap)) / 2, (height() - 3 * face * (1 + gap)) / 2,
                      face, face);
    }

    void drawCube(QPainter &painter, const QString &state, int n)
    {
        if (n == 0 || state.size() != 6 * n * n)
            return;
        const QRectF r = net(0.05);
        const double face = r.width() * 1.05, cell = r.width() / n;
        for (int f = 0; f < 6; ++f)
            for (int row = 0; row < n; ++row)
                for (int c = 0; c < n; ++c) {
                    painter.setBrush(faceColor(state.at((f * n + row) * n + c)));
                    painter.drawRect(QRectF(r.left() + kColumn[f] * face + c * cell,
                                            r.top() + kRow[f] * face + row * cell, cell, cell));
                }
    }

    // Each face a square: the centre a diamond, the corners triangles.
    void drawSkewb(QPainter &painter, const QString &state)
    {
        if (state.size() != 30)
            return;
        const QRectF r = net(0.05);
        const double s = r.width();
        for (int f = 0; f < 6; ++f) {
            const QPointF o(r.left() + kColumn[f] * s * 1.05, r.top() + kRow[f] * s * 1.05);
            const QPointF corner[4] = {o, o + QPointF(s, 0), o + QPointF(s, s), o + QPointF(0, s)};
            QPointF mid[4];
            for (int k = 0; k < 4; ++k) mid[k] = (corner[k] + corner[(k + 1) % 4]) / 2;
            painter.setBrush(faceColor(state.at(f * 5)));
            painter.drawPolygon(mid, 4);
            for (int k = 0; k < 4; ++k) {
                const QPointF triangle[3] = {corner[k], mid[k], mid[(k + 3) % 4]};
                painter.setBrush(faceColor(state.at(f * 5 + 1 + k)));
                painter.drawPolygon(triangle, 3);
            }
        }
    }

    // F points up; L, R and D point down around it, each face's rows from its point.
    void drawPyraminx(QPainter &painter, const QString &state)
    {
        if (state.size() != 36)
            return;
        const double s = std::min((width() - 8) / 2.0, (height() - 8) / std::sqrt(3.0));
        const double h = s * std::sqrt(3.0) / 2;
        const QPointF o((width() - 2 * s) / 2 + s, (height() - 2 * h) / 2);
        const QPointF u = o, l = o + QPointF(-s / 2, h), r = o + QPointF(s / 2, h),
                      b1 = o + QPointF(-s, 0), b2 = o + QPointF(s, 0), b3 = o + QPointF(0, 2 * h);
        const QPointF faces[4][3] = {{u, l, r}, {l, b1, u}, {r, u, b2}, {b3, l, r}};
        static const QColor colours[4] = {QColor(0, 155, 72), QColor(200, 30, 40),
                                          QColor(0, 70, 173), QColor(255, 213, 0)};
        for (int f = 0; f < 4; ++f) {
            const auto &[a, left, right] = faces[f];
            // Shrunk a little towards its centre, so faces stand apart.
            const QPointF centre = (a + left + right) / 3;
            auto grid = [&](int i, int j) {
                const QPointF p = a + (left - a) * i / 3.0 + (right - left) * j / 3.0;
                return centre + (p - centre) * 0.94;
            };
            for (int row = 0, k = 0; row < 3; ++row)
                for (int col = 0; col <= 2 * row; ++col, ++k) {
                    const int m = col / 2;
                    const QPointF triangle[3] = {grid(row, m),
                                                 col % 2 ? grid(row, m + 1) : grid(row + 1, m),
                                                 grid(row + 1, m + 1)};
                    painter.setBrush(colours[QStringView(u"FLRD").indexOf(state.at(f * 9 + k))]);
                    painter.drawPolygon(triangle, 3);
                }
        }
    }

    // Two flowers of six: U with F below it and the upper ring clockwise
    // (F L BL BR R), D with B above it and the lower ring clockwise seen
    // from below (B DBL DL DR DBR). Each face's stickers from the edge toward
    // the flower's middle (for the middles, toward F and B).
    void drawMegaminx(QPainter &painter, const QString &state)
    {
        if (state.size() != 132)
            return;
        static const QColor colours[12] = {
            QColor(255, 255, 255), QColor(0, 130, 60),    QColor(200, 30, 40),
            QColor(0, 60, 170),    QColor(255, 220, 0),   QColor(120, 50, 160),
            QColor(150, 150, 150), QColor(130, 220, 90),  QColor(255, 130, 20),
            QColor(100, 190, 240), QColor(255, 150, 200), QColor(240, 220, 160)};
        static const int kPetals[2][5] = {{1, 5, 4, 3, 2}, {9, 10, 11, 7, 8}};
        const double radius = std::min((width() - 8) / 4.4, (height() - 8) / 2.2) / 2.9;
        for (int half = 0; half < 2; ++half) {
            const QPointF middle(width() / 2.0 + (half ? 1 : -1) * radius * 2.85, height() / 2.0);
            const double towardFirst = half ? -90 : 90;  // screen degrees, clockwise
            drawPentagon(painter, middle, radius, towardFirst, state.mid(half * 66, 11), colours);
            for (int k = 0; k < 5; ++k) {
                const double angle = towardFirst + 72 * k;
                const QPointF at = middle + QPointF(std::cos(qDegreesToRadians(angle)),
                                                    std::sin(qDegreesToRadians(angle))) *
                                                radius * 1.66;
                drawPentagon(painter, at, radius, angle + 180, state.mid(kPetals[half][k] * 11, 11),
                             colours);
            }
        }
    }

    void drawPentagon(QPainter &painter, QPointF centre, double radius, double reference,
                      const QString &stickers, const QColor (&colours)[12])
    {
        auto point = [&](double angle, double r) {
            return centre +
                   QPointF(std::cos(qDegreesToRadians(angle)), std::sin(qDegreesToRadians(angle))) *
                       r;
        };
        auto colour = [&](int k) { return colours[stickers.at(k).unicode() - u'A']; };
        // Outer corners between the edges, the inner pentagon, and the
        // points a third along each side.
        QPointF outer[5], inner[5];
        for (int k = 0; k < 5; ++k) {
            outer[k] = point(reference + 36 + 72 * k, radius);
            inner[k] = point(reference + 36 + 72 * k, radius * 0.45);
        }
        painter.setBrush(colour(0));
        painter.drawPolygon(inner, 5);
        for (int k = 0; k < 5; ++k) {
            const QPointF &previous = outer[(k + 4) % 5], &next = outer[(k + 1) % 5];
            const QPointF edge[4] = {previous + (outer[k] - previous) / 3.0,
                                     outer[k] + (previous - outer[k]) / 3.0, inner[k],
                                     inner[(k + 4) % 5]};
            painter.setBrush(colour(1 + k));
            painter.drawPolygon(edge, 4);
            const QPointF corner[4] = {outer[k], outer[k] + (next - outer[k]) / 3.0, inner[k],
                                       outer[k] + (previous - outer[k]) / 3.0};
            painter.setBrush(colour(6 + k));
            painter.drawPolygon(corner, 4);
        }
    }

    // The top seen from above with the front down, the bottom seen from
    // below with the front up; each piece its layer's colour inside a rim of
    // its side colours; between them the middle layer seen from the front.
    void drawSquare1(QPainter &painter, const QString &state)
    {
        if (state.size() != 25)
            return;
        // Side colours of each piece's slots in their order (A-P), as solved:
        // F green, R red, B blue, L orange.
        static const char *const kSides[16] = {"FL", "LB", "BR", "RF", "FR", "RB", "BL", "LF",
                                               "F",  "L",  "B",  "R",  "R",  "B",  "L",  "F"};
        const double r = std::min((width() - 8) / 4.6, (height() - 8) / 2.0);
        for (int layer = 0; layer < 2; ++layer) {
            const QPointF centre(width() / 2.0 + (layer ? 1.2 : -1.2) * r, height() / 2.0);
            // Slot 0 starts at the slice, a little left of the front on top
            // (right of it as the bottom is seen), going clockwise as drawn.
            const double start = layer == 0 ? 105 : 255;
            for (int slot = 0; slot < 12;) {
                const int piece = state.at(layer * 12 + slot).unicode() - u'A';
                const bool corner = piece < 8;
                const double from = start + 30 * slot;
                auto at = [&](double angle, double radius) {
                    return centre + QPointF(std::cos(qDegreesToRadians(angle)),
                                            std::sin(qDegreesToRadians(angle))) *
                                        radius;
                };
                const double side = r * 0.7 / std::cos(qDegreesToRadians(15.0)),
                             tip = r * 0.7 * std::sqrt(2.0);
                QPolygonF shape;
                shape << centre << at(from, side);
                if (corner)
                    shape << at(from + 30, tip) << at(from + 60, side);
                else
                    shape << at(from + 30, side);
                // The rim: one side colour per slot of the piece.
                for (int half = 0; half < (corner ? 2 : 1); ++half) {
                    QPolygonF part;
                    part << centre << shape[1 + half] << shape[2 + half];
                    painter.setBrush(faceColor(QLatin1Char(kSides[piece][half])));
                    painter.drawPolygon(part);
                }
                QPolygonF inside;
                for (const QPointF &p : shape) inside << centre + (p - centre) * 0.72;
                painter.setBrush(
                    faceColor(QLatin1Char(piece < 4 || (piece >= 8 && piece < 12) ? 'U' : 'D')));
                painter.drawPolygon(inside);
                slot += corner ? 2 : 1;
            }
        }
        // The middle layer: its small part on the left when solved.
        const double w = r * 0.5, split = state.at(24) == QLatin1Char('1') ? 2 / 3.0 : 1 / 3.0;
        const QRectF bar(width() / 2.0 - w / 2, height() / 2.0 - w / 8, w, w / 4);
        painter.setBrush(faceColor(QLatin1Char('F')));
        painter.drawRect(QRectF(bar.left(), bar.top(), bar.width() * split, bar.height()));
        painter.setBrush(faceColor(QLatin1Char('B')));
        painter.drawRect(QRectF(bar.left() + bar.width() * split, bar.top(),
                                bar.width() * (1 - split), bar.height()));
    }

    // Each side's nine dials with a hand at its hour, 12 at the top.
    void drawClock(QPainter &painter, const QString &state)
    {
        if (state.size() != 18)
            return;
        const double d = std::min((width() - 8) / 7.0, (height() - 8) / 3.2);
        for (int side = 0; side < 2; ++side) {
            const QPointF origin(width() / 2.0 + (side ? 0.3 : -3.3) * d, (height() - 3 * d) / 2);
            painter.setBrush(side ? QColor(40, 60, 110) : QColor(170, 200, 240));
            painter.drawRoundedRect(QRectF(origin, QSizeF(3 * d, 3 * d)), d / 3, d / 3);
            for (int k = 0; k < 9; ++k) {
                const QPointF c = origin + QPointF((k % 3 + 0.5) * d, (k / 3 + 0.5) * d);
                painter.setBrush(side ? QColor(170, 200, 240) : QColor(40, 60, 110));
                painter.drawEllipse(c, d * 0.38, d * 0.38);
                const int hour = QStringView(u"0123456789AB").indexOf(state.at(side * 9 + k));
                const double angle = qDegreesToRadians(hour * 30.0 - 90);
                painter.save();
                painter.setPen(QPen(hour == 0 ? QColor(230, 40, 40) : QColor(255, 255, 255),
                                    std::max(1.5, d / 14)));
                painter.drawLine(c, c + QPointF(std::cos(angle), std::sin(angle)) * d * 0.32);
                painter.restore();
            }
        }
    }

    std::optional<Scramble> scramble_;
};

ScrambleWindow::ScrambleWindow(Settings &settings, const ErrorLog &log, QWidget *parent)
    : QWidget(parent, Qt::Tool),
      settings_(settings),
      board_([this](ScrambleKind kind) { source().request(kind); })
{
    setObjectName(QStringLiteral("frmScramble"));
    setWindowTitle(Text::tr("スクランブル"));
    setFont(layoutFont(9));

    lblScramble_ = new QLabel(this);
    lblScramble_->setObjectName(QStringLiteral("lblScramble"));
    lblScramble_->setWordWrap(true);
    lblScramble_->setAlignment(Qt::AlignCenter);
    lblScramble_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    picNet_ = new PuzzlePicture(this);
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

    connect(&board_, &ScrambleBoard::changed, this, &ScrambleWindow::render);

    place_.read(settings_, log);
    place_.apply(*this);
    render();
}

ScrambleWindow::~ScrambleWindow() = default;

ScrambleSource &ScrambleWindow::source()
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

void ScrambleWindow::solveStored()
{
    QCoreApplication::postEvent(this, new QEvent(kSolveStored), Qt::LowEventPriority - 1);
}

bool ScrambleWindow::event(QEvent *event)
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

bool ScrambleWindow::shownLastTime() const
{
    return settings_.read(Setting::ScrambleVisible).trimmed() == QStringLiteral("1");
}

void ScrambleWindow::rememberPlace() const
{
    // A window never opened leaves the settings file as it was.
    if (!everShown_)
        return;
    place_.remember(settings_, *this);
    settings_.write(Setting::ScrambleVisible,
                    isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
}

void ScrambleWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    everShown_ = true;
    board_.setActive(true);
    emit visibilityChanged(true);
}

void ScrambleWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    board_.setActive(false);
    emit visibilityChanged(false);
}

void ScrambleWindow::render()
{
    const std::optional<Scramble> &next = board_.next();
    // Long scrambles in a smaller size, so they still fit.
    const std::optional<ScrambleKind> kind = board_.kind();
    const bool big = kind && (cubeSize(*kind) > 3 || *kind == ScrambleKind::Megaminx ||
                              *kind == ScrambleKind::Square1 || *kind == ScrambleKind::Clock);
    lblScramble_->setFont(layoutFont(big ? 11 : 16, true));
    QString text = next ? next->text : QStringLiteral("…");
    // The Megaminx's seven lines as the official sheets print them.
    if (kind == ScrambleKind::Megaminx)
        text.replace(QRegularExpression(QStringLiteral("(U'?) ")), QStringLiteral("\\1\n"));
    lblScramble_->setText(kind ? text : Text::tr("このタイプのスクランブルはありません"));
    picNet_->setScramble(next);
    const std::optional<Scramble> &previous = board_.previous();
    lblPrevious_->setText(previous ? Text::tr("前回: ") + previous->text : QString());
}

}  // namespace spinlog
