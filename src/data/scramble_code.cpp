#include "data/scramble_code.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>

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

// A move's text as a number (its bytes, at most four), for a search by halves.
std::uint32_t keyOf(QByteArrayView token)
{
    std::uint32_t key = 0;
    for (const char c : token) key = key << 8 | static_cast<unsigned char>(c);
    return key;
}

int moveOf(QByteArrayView token)
{
    // (key, move) sorted by key.
    static const std::array<std::pair<std::uint32_t, int>, kMoves> keys = [] {
        std::array<std::pair<std::uint32_t, int>, kMoves> all;
        for (int m = 0; m < kMoves; ++m)
            all[std::size_t(m)] = {keyOf(moveTexts()[std::size_t(m)]), m};
        std::sort(all.begin(), all.end());
        return all;
    }();
    if (token.isEmpty() || token.size() > 4)
        return -1;
    const std::uint32_t key = keyOf(token);
    const auto at = std::lower_bound(keys.begin(), keys.end(), std::pair(key, -1));
    return at != keys.end() && at->first == key ? at->second : -1;
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
    // Never longer than the text: written in place.
    QByteArray code(text.size(), Qt::Uninitialized);
    char *out = code.data();
    bool lastWasMove = false;
    const char *const end = text.constData() + text.size();
    for (const char *from = text.constData();;) {
        const char *space = std::find(from, end, ' ');
        const int move = moveOf(QByteArrayView(from, space - from));
        if (from != text.constData() && !(lastWasMove && move >= 0))
            *out++ = ' ';
        if (move >= 0) {
            *out++ = char(kFirstMove + move);
        } else {
            out = std::copy(from, space, out);
        }
        lastWasMove = move >= 0;
        if (space == end)
            break;
        from = space + 1;
    }
    code.truncate(out - code.constData());
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
