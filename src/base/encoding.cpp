#include "base/encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <utility>

namespace spinlog {

namespace {

constexpr const char *kCodePage = "Shift_JIS";

QStringEncoder freshEncoder()
{
    return QStringEncoder(kCodePage, QStringConverter::Flag::Stateless);
}

// The Unicode characters that Windows' code page 932 has no place for but
// writes as the code page's own look-alike, the way the JIS tables and the
// code page's differ.
constexpr std::pair<char16_t, char16_t> kLookAlikes[] = {
    {u'\u00A2', u'\uFFE0'},  // CENT SIGN
    {u'\u00A3', u'\uFFE1'},  // POUND SIGN
    {u'\u00A6', u'\uFFE4'},  // BROKEN BAR
    {u'\u00AC', u'\uFFE2'},  // NOT SIGN
    {u'\u2014', u'\u2015'},  // EM DASH
    {u'\u2016', u'\u2225'},  // DOUBLE VERTICAL LINE
    {u'\u2212', u'\uFF0D'},  // MINUS SIGN
    {u'\u301C', u'\uFF5E'},  // WAVE DASH
};

// The text with every look-alike replaced; the same text (no copy) when it
// holds none.
QString withLookAlikes(const QString &text)
{
    QString mapped = text;
    for (qsizetype i = 0; i < mapped.size(); ++i) {
        const char16_t c = mapped.at(i).unicode();
        if (c < 0xA2 || (c > 0xAC && c < 0x2014) || (c > 0x2212 && c != 0x301C))
            continue;
        for (const auto &[from, to] : kLookAlikes) {
            if (c == from)
                mapped[i] = QChar(to);
        }
    }
    return mapped;
}

// One character at a time: a character outside the code page becomes "?".
void appendEachCharacter(QByteArray &bytes, QStringView text, int *lost)
{
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            length = 2;
        QStringEncoder encoder = freshEncoder();
        const QByteArray one = encoder(text.mid(i, length));
        if (encoder.hasError() || one.isEmpty()) {
            bytes += '?';
            if (lost)
                ++*lost;
        } else
            bytes += one;
        i += length;
    }
}

}  // namespace

QByteArray toCp932(const QString &original, int *lost)
{
    const QString text = withLookAlikes(original);
    // The converter's own substitute is not "?" and its error flag sticks, so
    // a block holding a character outside the code page is done again one
    // character at a time. Blocks keep that slow road short in long texts.
    constexpr qsizetype kBlock = 1024;
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (qsizetype begin = 0; begin < text.size();) {
        qsizetype end = std::min(begin + kBlock, text.size());
        if (end < text.size() && text.at(end - 1).isHighSurrogate())
            ++end;  // keep a surrogate pair together
        const QStringView block = QStringView(text).mid(begin, end - begin);
        QStringEncoder encoder = freshEncoder();
        const QByteArray encoded = encoder(block);
        if (encoder.hasError())
            appendEachCharacter(bytes, block, lost);
        else
            bytes += encoded;
        begin = end;
    }
    return bytes;
}

QString fromCp932(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    return decoder(bytes);
}

bool isCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isCp932TrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

qsizetype cp932CharWidth(const QByteArray &bytes, qsizetype i, qsizetype end)
{
    // A lead byte pairs only with a byte that can follow it: a line feed or
    // "=" after a stray lead byte stays a character of its own.
    return isCp932LeadByte(static_cast<unsigned char>(bytes.at(i))) && i + 1 < end &&
                   isCp932TrailByte(static_cast<unsigned char>(bytes.at(i + 1)))
               ? 2
               : 1;
}

qsizetype cp932CutPoint(const QByteArray &bytes, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return 0;
    if (bytes.size() <= maxBytes)
        return bytes.size();
    qsizetype i = 0;
    while (i < maxBytes) {
        const qsizetype width = cp932CharWidth(bytes, i, bytes.size());
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return i;
}

}  // namespace spinlog
