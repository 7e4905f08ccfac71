#include "base/ini_file.h"

#include "base/encoding.h"
#include "base/replacing_file.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

namespace spinlog {

namespace {

constexpr qsizetype kMaxValueBytes = 1023;  // the reader's 1024-byte buffer less its NUL
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

enum class Kind { Blank, Section, Entry };

// One line of the file as byte offsets: its content [begin, contentEnd), its
// ending [contentEnd, end), and what the content holds.
struct Line {
    qsizetype begin = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
    Kind kind = Kind::Blank;
    qsizetype nameBegin = 0;  // section name, or the key before "="
    qsizetype nameEnd = 0;
    bool hasValue = false;  // a key line without "=" has none
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
};

// The profile reader's notion of blank, including the old end-of-file mark.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

class Profile {
public:
    explicit Profile(const QByteArray &content) : bytes_(content)
    {
        utf8_ = bytes_.startsWith(kUtf8Bom);
        qsizetype pos = utf8_ ? kUtf8Bom.size() : 0;
        start_ = pos;
        while (pos < bytes_.size()) {
            Line line;
            line.begin = pos;
            const qsizetype newline = bytes_.indexOf('\n', pos);
            if (newline < 0) {
                line.contentEnd = line.end = bytes_.size();
            } else {
                line.end = newline + 1;
                line.contentEnd =
                    newline > pos && bytes_.at(newline - 1) == '\r' ? newline - 1 : newline;
            }
            classify(line);
            lines_.push_back(line);
            pos = line.end;
        }
    }

    const QByteArray &bytes() const { return bytes_; }
    const std::vector<Line> &lines() const { return lines_; }
    bool utf8() const { return utf8_; }
    // Where the first line starts (after a byte order mark).
    qsizetype start() const { return start_; }

    QString decode(qsizetype begin, qsizetype end) const
    {
        const QByteArray part = bytes_.mid(begin, end - begin);
        return utf8_ ? QString::fromUtf8(part) : fromCp932(part);
    }
    QByteArray encode(const QString &text) const { return utf8_ ? text.toUtf8() : toCp932(text); }

    // The lines of the first section of that name: [first, last) as indexes
    // into lines(), first being the header (or -1 for the lines before any
    // header, which form the section with the empty name).
    std::optional<std::pair<int, int>> findSection(const QString &name) const
    {
        int header = -1;
        bool matching = name.isEmpty();
        for (int i = 0; i < int(lines_.size()); ++i) {
            if (lines_[i].kind != Kind::Section)
                continue;
            if (matching)
                return std::make_pair(header, i);
            header = i;
            matching = sameName(lines_[i], name);
        }
        if (matching)
            return std::make_pair(header, int(lines_.size()));
        return std::nullopt;
    }

    int findKey(const std::pair<int, int> &section, const QString &key) const
    {
        for (int i = section.first + 1; i < section.second; ++i) {
            if (lines_[i].kind == Kind::Entry && sameName(lines_[i], key))
                return i;
        }
        return -1;
    }

private:
    bool sameName(const Line &line, const QString &name) const
    {
        return decode(line.nameBegin, line.nameEnd).compare(name, Qt::CaseInsensitive) == 0;
    }

    // The index after the character starting at i. Two-byte characters of the
    // code page may have "[", "]" or "=" as their second byte.
    qsizetype next(qsizetype i, qsizetype end) const
    {
        return i + (utf8_ ? 1 : cp932CharWidth(bytes_, i, end));
    }

    void trim(qsizetype &begin, qsizetype &end) const
    {
        while (begin < end && isBlank(bytes_.at(begin))) ++begin;
        while (end > begin && isBlank(bytes_.at(end - 1))) --end;
    }

    void classify(Line &line) const
    {
        qsizetype begin = line.begin;
        qsizetype end = line.contentEnd;
        trim(begin, end);
        if (begin == end)
            return;
        if (bytes_.at(begin) == '[') {
            qsizetype close = -1;
            for (qsizetype i = begin + 1; i < end; i = next(i, end)) {
                if (bytes_.at(i) == ']')
                    close = i;
            }
            // Without a closing bracket the line is an ordinary entry.
            if (close >= 0) {
                line.kind = Kind::Section;
                line.nameBegin = begin + 1;
                line.nameEnd = close;
                trim(line.nameBegin, line.nameEnd);
                return;
            }
        }
        line.kind = Kind::Entry;
        line.nameBegin = begin;
        line.nameEnd = end;
        for (qsizetype i = begin; i < end; i = next(i, end)) {
            if (bytes_.at(i) == '=') {
                line.nameEnd = i;
                line.hasValue = true;
                line.valueBegin = i + 1;
                line.valueEnd = end;
                trim(line.nameBegin, line.nameEnd);
                trim(line.valueBegin, line.valueEnd);
                break;
            }
        }
    }

    QByteArray bytes_;
    bool utf8_ = false;
    qsizetype start_ = 0;
    std::vector<Line> lines_;
};

// Names and values travel through the Windows functions as C strings.
QString cString(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// A written value stays on its own line.
QString oneLine(const QString &text)
{
    qsizetype cut = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QChar(0) || c == u'\r' || c == u'\n') {
            cut = i;
            break;
        }
    }
    return text.left(cut);
}

qsizetype utf8CutPoint(const QByteArray &bytes, qsizetype maxBytes)
{
    if (bytes.size() <= maxBytes)
        return bytes.size();
    qsizetype cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80) --cut;
    return cut;
}

bool isReadOnlyFile(const QFileInfo &info)
{
    // The permission bits, not access(): a read-only file stays read-only
    // for an administrator too, as the Windows attribute does.
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(info.permissions() & writeBits) || !info.isWritable();
}

}  // namespace

QString iniReadBytes(const QByteArray &content, const QString &section, const QString &key,
                     const QString &defaultValue)
{
    const QString wantedKey = cString(key).trimmed();
    if (wantedKey.isEmpty())
        return defaultValue;
    const Profile profile(content);
    const auto found = profile.findSection(cString(section).trimmed());
    if (!found)
        return defaultValue;
    const int index = profile.findKey(*found, wantedKey);
    if (index < 0 || !profile.lines()[index].hasValue)
        return defaultValue;

    const Line &line = profile.lines()[index];
    QByteArray value = content.mid(line.valueBegin, line.valueEnd - line.valueBegin);
    // One pair of matching quotes around the value is not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value.truncate(nul);
    value.truncate(profile.utf8() ? utf8CutPoint(value, kMaxValueBytes)
                                  : cp932CutPoint(value, kMaxValueBytes));
    return profile.utf8() ? QString::fromUtf8(value) : fromCp932(value);
}

QByteArray iniWriteBytes(const QByteArray &content, bool fileExists, const QString &section,
                         const QString &key, const QString &value)
{
    const QByteArray original = fileExists ? content : QByteArray();
    const QString wantedKey = oneLine(key).trimmed();
    if (wantedKey.isEmpty())
        return original;
    const QString wantedSection = oneLine(section).trimmed();
    const Profile profile(original);
    const QByteArray valueBytes = profile.encode(oneLine(value));

    // New lines follow the file's own line ending; a new file gets CR LF.
    QByteArray newline("\r\n");
    const qsizetype firstLf = original.indexOf('\n');
    if (firstLf >= 0 && (firstLf == 0 || original.at(firstLf - 1) != '\r'))
        newline = "\n";

    const auto &lines = profile.lines();
    const auto found = profile.findSection(wantedSection);
    if (!found) {
        QByteArray result = original;
        if (!result.isEmpty() && !result.endsWith('\n'))
            result += newline;
        result += '[' + profile.encode(wantedSection) + ']' + newline;
        result += profile.encode(wantedKey) + '=' + valueBytes + newline;
        return result;
    }

    const int index = profile.findKey(*found, wantedKey);
    if (index >= 0) {
        const Line &line = lines[index];
        QByteArray result = original.left(line.begin);
        result += original.mid(line.nameBegin, line.nameEnd - line.nameBegin);
        result += '=' + valueBytes;
        result += original.mid(line.contentEnd);
        return result;
    }

    // A new key goes after the section's last non-blank line, ahead of the
    // blank lines that set the next section apart.
    int last = found->first;
    for (int i = found->first + 1; i < found->second; ++i) {
        if (lines[i].kind != Kind::Blank)
            last = i;
    }
    qsizetype at = profile.start();
    QByteArray joint;
    if (last >= 0) {
        at = lines[last].end;
        if (lines[last].contentEnd == lines[last].end)
            joint = newline;  // the file's last line had no ending
    }
    return original.left(at) + joint + profile.encode(wantedKey) + '=' + valueBytes + newline +
           original.mid(at);
}

QString iniRead(const QString &filePath, const QString &section, const QString &key,
                const QString &defaultValue)
{
    if (QFileInfo(filePath).isDir())
        return defaultValue;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return defaultValue;
    return iniReadBytes(content, section, key, defaultValue);
}

bool iniWrite(const QString &filePath, const QString &section, const QString &key,
              const QString &value, QString *failure)
{
    const auto fail = [failure](const QString &why) {
        if (failure)
            *failure = why;
        return false;
    };
    const auto systemError = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
    QFileInfo info(filePath);
    QString target = filePath;
    QByteArray content;
    const bool exists = info.exists();
    if (exists) {
        if (info.isSymLink())
            target = info.canonicalFilePath();
        if (target.isEmpty() || !info.isFile())
            return fail(systemError(EISDIR));
        if (isReadOnlyFile(info))
            return fail(systemError(EACCES));
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            return fail(file.errorString());
        content = file.readAll();
        // Rewriting from a partial read would drop the rest of the file.
        if (file.error() != QFileDevice::NoError)
            return fail(file.errorString());
    }
    const QByteArray updated = iniWriteBytes(content, exists, section, key, value);
    if (exists && updated == content)
        return true;
    // The new text goes to a temporary file renamed over the old one only when
    // all of it is on the disk: a full disk must never leave a short file.
    ReplacingFile file(target);
    if (!file.open(target) || !file.write(updated) || !file.commit())
        return fail(systemError(file.error()));
    return true;
}

}  // namespace spinlog
