#include "app/encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace spinlog {

namespace {

constexpr const char *kCodePage = "Shift_JIS";

QStringEncoder freshEncoder()
{
    return QStringEncoder(kCodePage, QStringConverter::Flag::Stateless);
}

}  // namespace

QByteArray toCp932(const QString &text)
{
    // Most texts encode whole; only a text with a character outside the code
    // page takes the slow road. The converter's own substitute is not "?", and
    // its error flag sticks, so each character then gets a fresh encoder.
    {
        QStringEncoder encoder = freshEncoder();
        QByteArray bytes = encoder(text);
        if (!encoder.hasError())
            return bytes;
    }
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            length = 2;
        QStringEncoder encoder = freshEncoder();
        const QByteArray one = encoder(QStringView(text).mid(i, length));
        if (encoder.hasError() || one.isEmpty())
            bytes += '?';
        else
            bytes += one;
        i += length;
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

qsizetype cp932CutPoint(const QByteArray &bytes, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return 0;
    if (bytes.size() <= maxBytes)
        return bytes.size();
    qsizetype i = 0;
    while (i < maxBytes) {
        const qsizetype width =
            isCp932LeadByte(static_cast<unsigned char>(bytes.at(i))) && i + 1 < bytes.size() ? 2
                                                                                             : 1;
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return i;
}

}  // namespace spinlog
