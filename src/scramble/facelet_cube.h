#pragma once
// An N x N x N cube as its stickers, for any size from 2 to 7, and the move
// notation: a face letter U R F D L B; "w" for a wide turn of the two outer
// layers, with a leading count ("3Rw") for more; "'" anticlockwise, "2" half.

#include <QString>
#include <QStringView>
#include <optional>

namespace spinlog::scramble {

struct LayerMove {
    int face = 0;    // U R F D L B
    int layers = 1;  // how many layers from the face turn together
    int turns = 1;   // clockwise quarter turns seen from the face: 1, 2 or 3
};

// One token of notation; nothing when it is not one move on a cube of SIZE.
std::optional<LayerMove> parseMove(QStringView token, int size);
QString moveText(const LayerMove &move);

class FaceletCube {
public:
    explicit FaceletCube(int size);  // solved
    FaceletCube(int size, QString facelets);

    int size() const { return size_; }
    // 6 * N * N letters: faces U R F D L B, each row by row as seen from
    // outside (U with B at the top, D with F at the top, the side faces with
    // U at the top); a letter names the face whose colour the sticker has.
    const QString &facelets() const { return stickers_; }

    void turn(const LayerMove &move);
    // Moves separated by spaces; false (the cube unchanged) on a bad token.
    bool apply(const QString &moves);

private:
    int size_;
    QString stickers_;
};

}  // namespace spinlog::scramble
