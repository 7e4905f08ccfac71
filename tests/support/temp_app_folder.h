#pragma once
// A fresh temporary application folder holding a copy of the delivered
// database, removed when the test is done.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <csignal>

namespace spinlog {
class Database;
}

namespace spinlog::test {

class TempAppFolder {
public:
    // withDatabase false: an empty folder.
    explicit TempAppFolder(bool withDatabase = true);
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.path() + QLatin1Char('/') + name; }
    QByteArray read(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir dir_;
};

QString deliveredDatabase();

// The rows a select returns, each its fields' texts joined by "|".
QStringList rowsOf(Database &db, const QString &select);

// While alive, no file may grow past the given size: a write beyond it fails
// as on a full disk (EFBIG, SIGXFSZ ignored), for root too.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old); }
    rlimit old{};
};

}  // namespace spinlog::test
