#pragma once
// A new version of a file, written to a temporary file beside it and renamed
// over it only once every byte, the flush to disk and the close have
// succeeded. On any failure the old file stays whole and the temporary file
// is removed. Each failure keeps the system's errno.

#include <QByteArray>
#include <QString>

namespace spinlog {

// The temporary file is the target's name, this mark and a random number in
// base 36.
inline constexpr const char *kReplacingMark = ".spinlog-";

class ReplacingFile {
public:
    explicit ReplacingFile(QString target) : target_(std::move(target)) {}
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Creates the temporary file with the permission bits of modeFrom, or the
    // usual ones for a new file when modeFrom does not exist.
    bool open(const QString &modeFrom);
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    bool commit();

    int error() const { return error_; }

private:
    bool fail();

    QString target_;
    QByteArray temporary_;
    int fd_ = -1;
    int error_ = 0;
};

// Replaces the file at path with bytes, whole or not at all. A failure
// throws SpinlogError with the file's name and the system's own words.
void writeWhole(const QString &path, const QByteArray &bytes);

// Makes a rename or unlink in the folder durable.
void syncFolder(const QString &folder);

}  // namespace spinlog
