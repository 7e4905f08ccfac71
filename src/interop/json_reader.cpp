#include "interop/json_reader.h"

#include "base/errors.h"
#include "base/shown_text.h"

#include <charconv>
#include <cstring>

namespace spinlog {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void appendUtf8(QByteArray &out, unsigned code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

}  // namespace

void JsonReader::fail(const QString &what) const
{
    // Line and column are counted only now: a whole file read costs nothing.
    qsizetype line = 1;
    qsizetype column = 1;
    for (qsizetype k = 0; k < i_ && k < s_.size(); ++k) {
        if (s_[k] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(s_[k]) & 0xC0) != 0x80) {
            ++column;  // a character, not the rest of one
        }
    }
    QString where = Text::tr("%1行 %2文字目").arg(line).arg(column);
    if (!place_.isEmpty())
        where = place_ + Text::tr("の ") + where;
    throw SpinlogError(where + QStringLiteral(": ") + what);
}

void JsonReader::skipSpace()
{
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n'))
        ++i_;
}

char JsonReader::peek()
{
    skipSpace();
    return i_ < s_.size() ? s_[i_] : '\0';
}

void JsonReader::expect(char c)
{
    if (peek() != c) {
        if (i_ >= s_.size())
            fail(Text::tr("ファイルが途中で終わっています"));
        fail(Text::tr("「%1」があるべきところです").arg(QLatin1Char(c)));
    }
    ++i_;
}

bool JsonReader::take(char c)
{
    if (peek() != c)
        return false;
    ++i_;
    return true;
}

void JsonReader::expectEnd()
{
    if (peek() != '\0')
        fail(Text::tr("データの後に余分な文字があります"));
}

unsigned JsonReader::hex4()
{
    unsigned value = 0;
    for (int k = 0; k < 4; ++k, ++i_) {
        if (i_ >= s_.size())
            fail(Text::tr("ファイルが途中で終わっています"));
        const char c = s_[i_];
        value <<= 4;
        if (c >= '0' && c <= '9')
            value |= unsigned(c - '0');
        else if (c >= 'a' && c <= 'f')
            value |= unsigned(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            value |= unsigned(c - 'A' + 10);
        else
            fail(Text::tr("\\u の後が16進数ではありません"));
    }
    return value;
}

QByteArray JsonReader::readString()
{
    expect('"');
    QByteArray out;
    for (;;) {
        // A run without quotes, escapes or controls at once: most strings
        // are one.
        qsizetype plain = i_;
        while (plain < s_.size() && s_[plain] != '"' && s_[plain] != '\\' &&
               static_cast<unsigned char>(s_[plain]) >= 0x20)
            ++plain;
        if (plain != i_) {
            out.append(s_.data() + i_, plain - i_);
            i_ = plain;
        }
        if (i_ >= s_.size())
            fail(Text::tr("文字列が閉じられないまま終わっています"));
        const char c = s_[i_++];
        if (c == '"')
            return out;
        if (static_cast<unsigned char>(c) < 0x20)
            fail(Text::tr("文字列に制御文字があります"));
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i_ >= s_.size())
            fail(Text::tr("文字列が閉じられないまま終わっています"));
        switch (s_[i_++]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned code = hex4();
                if (code >= 0xD800 && code < 0xDC00 && i_ + 1 < s_.size() && s_[i_] == '\\' &&
                    s_[i_ + 1] == 'u') {
                    i_ += 2;
                    const unsigned low = hex4();
                    code = low >= 0xDC00 && low < 0xE000
                               ? 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00)
                               : 0xFFFD;
                } else if (code >= 0xD800 && code < 0xE000) {
                    code = 0xFFFD;  // half a pair stands for nothing
                }
                appendUtf8(out, code);
                break;
            }
            default: --i_; fail(Text::tr("文字列に不正なエスケープがあります"));
        }
    }
}

void JsonReader::skipString()
{
    expect('"');
    while (i_ < s_.size()) {
        const char c = s_[i_++];
        if (c == '"')
            return;
        if (static_cast<unsigned char>(c) < 0x20)
            fail(Text::tr("文字列に制御文字があります"));
        if (c == '\\') {
            // Checked as a read checks it: a record read again later for
            // its scramble or comment must not fail where this passed.
            if (i_ >= s_.size())
                break;
            const char e = s_[i_++];
            if (e == 'u')
                hex4();
            else if (e == 0 || !std::strchr("\"\\/bfnrt", e)) {
                --i_;
                fail(Text::tr("文字列に不正なエスケープがあります"));
            }
        }
    }
    fail(Text::tr("文字列が閉じられないまま終わっています"));
}

double JsonReader::readNumber()
{
    skipSpace();
    const qsizetype start = i_;
    const auto digits = [this] {
        const qsizetype from = i_;
        while (i_ < s_.size() && isDigit(s_[i_])) ++i_;
        return i_ > from;
    };
    if (i_ < s_.size() && s_[i_] == '-')
        ++i_;
    if (i_ < s_.size() && s_[i_] == '0')
        ++i_;
    else if (!digits())
        fail(i_ >= s_.size() ? Text::tr("ファイルが途中で終わっています")
                             : Text::tr("数があるべきところです"));
    if (i_ < s_.size() && s_[i_] == '.') {
        ++i_;
        if (!digits())
            fail(Text::tr("小数点の後に数字がありません"));
    }
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
        ++i_;
        if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-'))
            ++i_;
        if (!digits())
            fail(Text::tr("指数に数字がありません"));
    }
    double value = 0;
    const auto [end, error] = std::from_chars(s_.data() + start, s_.data() + i_, value);
    if (error != std::errc() || end != s_.data() + i_) {
        i_ = start;
        fail(Text::tr("数が大きすぎます"));
    }
    return value;
}

void JsonReader::skipValue(int depth)
{
    if (depth > kMaxDepth)
        fail(Text::tr("入れ子が深すぎます（%1 段まで）").arg(kMaxDepth));
    switch (peek()) {
        case '{': {
            ++i_;
            QByteArray key;
            bool first = true;
            while (nextKey(key, first)) skipValue(depth + 1);
            return;
        }
        case '[': {
            ++i_;
            bool first = true;
            while (nextItem(first)) skipValue(depth + 1);
            return;
        }
        case '"': skipString(); return;
        case 't':
        case 'f':
        case 'n':
            for (const char *word : {"true", "false", "null"}) {
                if (s_.sliced(i_).startsWith(word)) {
                    i_ += qsizetype(std::char_traits<char>::length(word));
                    return;
                }
            }
            fail(Text::tr("値があるべきところです"));
        case '\0': fail(Text::tr("ファイルが途中で終わっています"));
        default: readNumber();
    }
}

bool JsonReader::nextKey(QByteArray &key, bool &first)
{
    if (take('}'))
        return false;
    if (!first)
        expect(',');
    first = false;
    if (peek() != '"')
        fail(Text::tr("キーがあるべきところです"));
    key = readString();
    expect(':');
    return true;
}

bool JsonReader::nextItem(bool &first)
{
    if (take(']'))
        return false;
    if (!first)
        expect(',');
    first = false;
    return true;
}

}  // namespace spinlog
