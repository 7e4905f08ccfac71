#pragma once
// Where an export's bytes go, as a shell's ">" would send them. A regular
// file, or a name nothing has yet, is replaced whole (see ReplacingFile); a
// symbolic link is followed to the file it names, which is replaced in its
// own folder while the link stays; a FIFO, a terminal or another device, and
// "-" (the standard output), are written as a stream, as the bytes come.
// Nothing that is not a regular file ever becomes one.

#include "base/replacing_file.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace spinlog {

class ExportFile {
public:
    explicit ExportFile(QString path);
    ~ExportFile();
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    bool open();
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // The replaced file renamed into place, or the stream closed.
    bool commit();

    int error() const;

private:
    bool fail(int error);

    QString path_;
    std::unique_ptr<ReplacingFile> file_;
    int stream_ = -1;
    bool standardOutput_ = false;
    int error_ = 0;
};

// The file a path names once its symbolic links are followed, even to a name
// that does not exist yet; the path itself when it is no link (or "-").
QString followLinks(const QString &path);

// Whether the path is the standard output: "-", or the very file, pipe or
// terminal it is open on (/dev/stdout).
bool isStandardOutput(const QString &path);

// Writes bytes to path as above. A failure throws SpinlogError with the
// file's name and the system's own words; a replaced file stays as it was.
void exportWhole(const QString &path, const QByteArray &bytes);

}  // namespace spinlog
