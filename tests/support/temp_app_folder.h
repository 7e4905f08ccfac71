#pragma once
// A fresh temporary application folder holding a copy of the delivered
// database, removed when the test is done.

#include "data/database.h"

#include <QTemporaryDir>

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

// The rows a select returns, each its fields' texts ("NULL" for NULL) joined by "|".
QStringList rowsOf(Database &db, const QString &select);

}  // namespace spinlog::test
