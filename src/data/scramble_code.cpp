#include "data/scramble_code.h"

#include <QStringList>
#include <array>

namespace spinlog {

namespace {

constexpr unsigned char kFirstMove = 0x80;

// The moves with a byte of their own, in the order of their bytes: each of
// these 30 in its three forms (a quarter turn, its inverse, a half turn),
// then Megaminx's and Square-1's own.
constexpr std::array<const char *, 30> kTurns{
    "U",   "D",   "L",   "R", "F", "B", "Uw", "Dw", "Lw", "Rw", "Fw", "Bw", "3Uw", "3Dw", "3Lw",
    "3Rw", "3Fw", "3Bw", "u", "d", "l", "r",  "f",  "b",  "x",  "y",  "z",  "M",   "E",   "S"};
constexpr std::array<const char *, 5> kOthers{"R++", "R--", "D++", "D--", "/"};
constexpr int kMoves = int(kTurns.size()) * 3 + int(kOthers.size());

QByteArray moveText(int move)
{
    if (move >= int(kTurns.size()) * 3)
        return kOthers[std::size_t(move - int(kTurns.size()) * 3)];
    static const char *const kForms[] = {"", "'", "2"};
    return QByteArray(kTurns[std::size_t(move / 3)]) + kForms[move % 3];
}

const std::array<QByteArray, kMoves> &moveTexts()
{
    static const std::array<QByteArray, kMoves> texts = [] {
        std::array<QByteArray, kMoves> all;
        for (int m = 0; m < kMoves; ++m) all[std::size_t(m)] = moveText(m);
        return all;
    }();
    return texts;
}

int moveOf(QByteArrayView token)
{
    const auto &texts = moveTexts();
    for (int m = 0; m < kMoves; ++m)
        if (texts[std::size_t(m)] == token)
            return m;
    return -1;
}

}  // namespace

QVariant storedScramble(const QString &scramble)
{
    if (scramble.isEmpty())
        return QVariant();
    const QByteArray text = scramble.toUtf8();
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= kFirstMove)
            return scramble;  // beyond ASCII: no code for it
    QByteArray code;
    code.reserve(text.size());
    bool lastWasMove = false;
    qsizetype from = 0;
    for (;;) {
        qsizetype end = text.indexOf(' ', from);
        if (end < 0)
            end = text.size();
        const QByteArrayView token(text.constData() + from, end - from);
        const int move = moveOf(token);
        if (from > 0 && !(lastWasMove && move >= 0))
            code += ' ';
        if (move >= 0)
            code += char(kFirstMove + move);
        else
            code += token;
        lastWasMove = move >= 0;
        if (end == text.size())
            break;
        from = end + 1;
    }
    if (code.size() >= text.size())
        return scramble;
    return code;
}

QString scrambleFromCode(QByteArrayView code)
{
    const auto &texts = moveTexts();
    QByteArray text;
    text.reserve(code.size() * 3);
    bool lastWasMove = false;
    for (const char c : code) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstMove) {
            text += c;
            lastWasMove = false;
            continue;
        }
        if (lastWasMove)
            text += ' ';
        const int move = byte - kFirstMove;
        text += move < kMoves ? texts[std::size_t(move)] : QByteArray("?");
        lastWasMove = true;
    }
    return QString::fromUtf8(text);
}

}  // namespace spinlog
