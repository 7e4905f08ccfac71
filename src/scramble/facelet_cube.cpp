#include "scramble/facelet_cube.h"

#include <QList>
#include <array>

namespace spinlog::scramble {

namespace {

using Vec = std::array<int, 3>;  // x to R, y to U, z to F

int dot(const Vec &a, const Vec &b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Each face's outward normal and the directions of its columns and rows as
// the sticker layout reads them.
struct FaceFrame {
    Vec normal, right, down;
};
// clang-format off
const FaceFrame kFrames[6] = {
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},     // U
    {{1, 0, 0}, {0, 0, -1}, {0, -1, 0}},   // R
    {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}},    // F
    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},   // D
    {{-1, 0, 0}, {0, 0, 1}, {0, -1, 0}},   // L
    {{0, 0, -1}, {-1, 0, 0}, {0, -1, 0}},  // B
};
// clang-format on

// Sticker centres in doubled coordinates, so they are whole numbers: the
// cube spans -N..N and a sticker's face coordinate is +-N.
Vec stickerPosition(int size, int face, int row, int column)
{
    const FaceFrame &f = kFrames[face];
    Vec p;
    for (int i = 0; i < 3; ++i)
        p[i] = size * f.normal[i] + (2 * column - size + 1) * f.right[i] +
               (2 * row - size + 1) * f.down[i];
    return p;
}

int stickerIndex(int size, const Vec &p)
{
    for (int face = 0; face < 6; ++face) {
        const FaceFrame &f = kFrames[face];
        if (dot(p, f.normal) == size) {
            const int column = (dot(p, f.right) + size - 1) / 2;
            const int row = (dot(p, f.down) + size - 1) / 2;
            return (face * size + row) * size + column;
        }
    }
    Q_UNREACHABLE();
}

// A clockwise quarter turn seen from outside the face along N:
// v -> -(n x v) + n (n . v).
Vec turnedClockwise(const Vec &n, const Vec &v)
{
    const Vec cross{n[1] * v[2] - n[2] * v[1], n[2] * v[0] - n[0] * v[2],
                    n[0] * v[1] - n[1] * v[0]};
    const int along = dot(n, v);
    return {n[0] * along - cross[0], n[1] * along - cross[1], n[2] * along - cross[2]};
}

}  // namespace

// By hand rather than with a shared regular expression: the workers of the
// command line and the scramble source parse at the same time.
std::optional<LayerMove> parseMove(QStringView token, int size)
{
    qsizetype at = 0;
    auto next = [&](char16_t c) {
        const bool found = at < token.size() && token[at] == QChar(c);
        at += found ? 1 : 0;
        return found;
    };
    int count = 0;  // written only from 3 on, and only with w
    if (at < token.size() && token[at] >= u'3' && token[at] <= u'9')
        count = token[at++].unicode() - u'0';
    LayerMove move;
    move.face = at < token.size() ? int(QStringView(u"URFDLB").indexOf(token[at++])) : -1;
    const bool wide = next(u'w');
    move.layers = count > 0 ? count : wide ? 2 : 1;
    move.turns = next(u'2') ? 2 : next(u'\'') ? 3 : 1;
    if (move.face < 0 || (count > 0 && !wide) || at != token.size() || move.layers >= size)
        return std::nullopt;
    return move;
}

QString moveText(const LayerMove &move)
{
    QString text;
    if (move.layers > 2)
        text += QString::number(move.layers);
    text += QLatin1Char("URFDLB"[move.face]);
    if (move.layers > 1)
        text += QLatin1Char('w');
    if (move.turns == 2)
        text += QLatin1Char('2');
    else if (move.turns == 3)
        text += QLatin1Char('\'');
    return text;
}

FaceletCube::FaceletCube(int size) : size_(size)
{
    for (int face = 0; face < 6; ++face)
        stickers_ += QString(size * size, QLatin1Char("URFDLB"[face]));
}

FaceletCube::FaceletCube(int size, QString facelets) : size_(size), stickers_(std::move(facelets))
{
    Q_ASSERT(stickers_.size() == 6 * size * size);
}

void FaceletCube::turn(const LayerMove &move)
{
    const Vec &n = kFrames[move.face].normal;
    // The stickers of the turning layers lie this far or further along n.
    const int reach = size_ + 1 - 2 * move.layers;
    for (int q = 0; q < move.turns; ++q) {
        QString next = stickers_;
        for (int face = 0; face < 6; ++face)
            for (int row = 0; row < size_; ++row)
                for (int column = 0; column < size_; ++column) {
                    const Vec p = stickerPosition(size_, face, row, column);
                    if (dot(p, n) < reach)
                        continue;
                    next[stickerIndex(size_, turnedClockwise(n, p))] =
                        stickers_[(face * size_ + row) * size_ + column];
                }
        stickers_ = std::move(next);
    }
}

bool FaceletCube::apply(const QString &moves)
{
    FaceletCube result = *this;
    for (const QStringView token : QStringView(moves).split(u' ', Qt::SkipEmptyParts)) {
        const std::optional<LayerMove> move = parseMove(token, size_);
        if (!move)
            return false;
        result.turn(*move);
    }
    *this = std::move(result);
    return true;
}

}  // namespace spinlog::scramble
