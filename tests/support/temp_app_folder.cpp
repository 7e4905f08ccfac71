#include "support/temp_app_folder.h"

#include <QFile>
#include <stdexcept>

namespace spinlog::test {

TempAppFolder::TempAppFolder(bool withDatabase)
{
    const QString database = file(QStringLiteral("Spinlog.mdb"));
    if (!dir_.isValid() || (withDatabase && !QFile::copy(SPINLOG_DELIVERED_DB, database)))
        throw std::runtime_error("cannot make a temporary application folder");
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
}

QByteArray TempAppFolder::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TempAppFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

QStringList rowsOf(Database &db, const QString &select)
{
    QStringList rows;
    for (Recordset rs(db, select); !rs.eof(); rs.moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs.fieldCount(); ++i)
            fields << (rs.field(i).isNull() ? QStringLiteral("NULL") : rs.text(i));
        rows << fields.join(u'|');
    }
    return rows;
}

}  // namespace spinlog::test
