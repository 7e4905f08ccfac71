#include "data/scramble_code.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

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

// A scramble's text written in place, into room for the most it can take:
// a move is at most four characters and the space before it. An export
// writes half a million of them.
class TextOut {
public:
    explicit TextOut(qsizetype most) : text_(most, Qt::Uninitialized), at_(text_.data()) {}
    void move(int move, bool spaced)
    {
        if (spaced)
            *at_++ = u' ';
        for (const char c : moveTexts()[std::size_t(move)]) *at_++ = char16_t(c);
    }
    void character(char c) { *at_++ = char16_t(static_cast<unsigned char>(c)); }
    QString done()
    {
        text_.truncate(at_ - text_.constData());
        return std::move(text_);
    }

private:
    QString text_;
    QChar *at_;
};

// A move's text as a number (its bytes, at most four), the key of the move table.
std::uint32_t keyOf(QByteArrayView token)
{
    std::uint32_t key = 0;
    for (const char c : token) key = key << 8 | static_cast<unsigned char>(c);
    return key;
}

// The moves by their keys, in a table of twice as many places as moves: a
// key is found in one or two probes (an import looks up every move of half
// a million scrambles).
class MoveTable {
public:
    MoveTable()
    {
        slots_.fill({0, -1});
        for (int m = 0; m < kMoves; ++m) {
            const std::uint32_t key = keyOf(moveTexts()[std::size_t(m)]);
            std::size_t at = placeOf(key);
            while (slots_[at].second >= 0) at = (at + 1) % kSlots;
            slots_[at] = {key, m};
        }
    }
    int find(std::uint32_t key) const
    {
        for (std::size_t at = placeOf(key);; at = (at + 1) % kSlots) {
            if (slots_[at].second < 0)
                return -1;
            if (slots_[at].first == key)
                return slots_[at].second;
        }
    }

private:
    static constexpr std::size_t kSlots = 256;
    static_assert(kSlots >= 2 * kMoves, "a free place ends every search");
    static std::size_t placeOf(std::uint32_t key) { return (key * 2654435761u) >> 24; }
    std::array<std::pair<std::uint32_t, int>, kSlots> slots_;
};

int moveOf(QByteArrayView token)
{
    static const MoveTable table;
    if (token.isEmpty() || token.size() > 4)
        return -1;
    return table.find(keyOf(token));
}

// A scramble of outer turns only (the first 18 moves of the table), or of
// outer and two-layer turns (the first 36), is packed three moves at a time:
// 18^3 < 2^13 and 36^3 < 2^16. Its first byte, never a move's, says which
// and how many moves are left over after the threes.
constexpr unsigned char kPackedMark = 0xE0;
constexpr int kPackedMarks = 6;
static_assert(kFirstMove + kMoves <= kPackedMark, "a mark is never a move");

struct Packing {
    int moves;        // the moves it can hold: 18 or 36
    int groupBits;    // bits of three moves
    int partBits[3];  // bits of the moves left over: none, one, two
};
constexpr Packing kPackings[2] = {{18, 13, {0, 5, 9}}, {36, 16, {0, 6, 11}}};

// The moves of a text that is moves of the table's first 36 alone, a single
// space apart; none for any other text.
std::vector<int> plainMoves(QByteArrayView text)
{
    std::vector<int> moves;
    // Two bytes a move at the least: one allocation.
    moves.reserve(std::size_t(text.size() / 2 + 1));
    const char *const end = text.data() + text.size();
    for (const char *from = text.data();;) {
        const char *space = std::find(from, end, ' ');
        const int move = moveOf(QByteArrayView(from, space - from));
        if (move < 0 || move >= kPackings[1].moves)
            return {};
        moves.push_back(move);
        if (space == end)
            return moves;
        from = space + 1;
    }
}

QByteArray packed(const std::vector<int> &moves)
{
    const int which = *std::max_element(moves.begin(), moves.end()) < kPackings[0].moves ? 0 : 1;
    const Packing &p = kPackings[which];
    const int left = int(moves.size() % 3);
    // Written in place: the mark, then at most two bytes a three and the rest.
    QByteArray code(qsizetype(1 + (moves.size() / 3 + 1) * 2), Qt::Uninitialized);
    char *out = code.data();
    *out++ = char(kPackedMark + which * 3 + left);
    std::uint32_t bits = 0;
    int held = 0;
    const auto put = [&](std::uint32_t value, int width) {
        bits = bits << width | value;
        held += width;
        while (held >= 8) {
            held -= 8;
            *out++ = char(bits >> held & 0xFF);
        }
    };
    std::size_t i = 0;
    for (; i + 3 <= moves.size(); i += 3)
        put(std::uint32_t((moves[i] * p.moves + moves[i + 1]) * p.moves + moves[i + 2]),
            p.groupBits);
    if (left == 1)
        put(std::uint32_t(moves[i]), p.partBits[1]);
    else if (left == 2)
        put(std::uint32_t(moves[i] * p.moves + moves[i + 1]), p.partBits[2]);
    if (held > 0)
        *out++ = char(bits << (8 - held) & 0xFF);
    code.truncate(out - code.constData());
    return code;
}

QString unpacked(QByteArrayView code)
{
    const int mark = static_cast<unsigned char>(code.front()) - kPackedMark;
    const Packing &p = kPackings[mark / 3];
    const int left = mark % 3;
    const int bytes = int(code.size()) - 1;
    // The byte count and the moves left over give the number of threes: one
    // more three would take more than a byte more.
    const int groups = std::max(0, (bytes * 8 - p.partBits[left]) / p.groupBits);
    TextOut out(qsizetype(groups * 3 + left) * 5);
    int written = 0;
    const auto put = [&](int move) { out.move(move % p.moves, written++ > 0); };
    std::uint64_t bits = 0;
    int held = 0;
    int at = 1;
    const auto take = [&](int width) {
        while (held < width) {
            bits = bits << 8 | (at < int(code.size()) ? static_cast<unsigned char>(code[at]) : 0u);
            ++at;
            held += 8;
        }
        held -= width;
        return int(bits >> held & ((1u << width) - 1));
    };
    for (int g = 0; g < groups; ++g) {
        const int v = take(p.groupBits);
        put(v / (p.moves * p.moves));
        put(v / p.moves);
        put(v);
    }
    if (left == 1) {
        put(take(p.partBits[1]));
    } else if (left == 2) {
        const int v = take(p.partBits[2]);
        put(v / p.moves);
        put(v);
    }
    return out.done();
}

}  // namespace

QVariant storedScramble(const QString &scramble)
{
    if (scramble.isEmpty())
        return QVariant();
    const QByteArray text = scramble.toUtf8();
    // Packed when that is shorter than a byte a move (from five moves on).
    if (const std::vector<int> moves = plainMoves(text); !moves.empty()) {
        QByteArray code = packed(moves);
        if (code.size() < qsizetype(moves.size()))
            return code;
    }
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
    if (!code.isEmpty() && static_cast<unsigned char>(code.front()) >= kPackedMark &&
        static_cast<unsigned char>(code.front()) < kPackedMark + kPackedMarks)
        return unpacked(code);
    // A byte below the moves is the character itself (codes are made of
    // ASCII texts only); one past the table, in a damaged blob, reads "?".
    TextOut out(code.size() * 5);
    bool lastWasMove = false;
    for (const char c : code) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstMove) {
            out.character(c);
            lastWasMove = false;
            continue;
        }
        const int move = byte - kFirstMove;
        if (move < kMoves) {
            out.move(move, lastWasMove);
        } else {
            if (lastWasMove)
                out.character(' ');
            out.character('?');
        }
        lastWasMove = true;
    }
    return out.done();
}

}  // namespace spinlog
