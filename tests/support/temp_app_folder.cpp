#include "support/temp_app_folder.h"

#include "data/database.h"

#include <QFile>
#include <stdexcept>

namespace spinlog::test {

QString deliveredDatabase()
{
    return QStringLiteral(SPINLOG_DELIVERED_DB);
}

TempAppFolder::TempAppFolder(bool withDatabase)
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    if (withDatabase && !QFile::copy(deliveredDatabase(), file(QStringLiteral("Spinlog.mdb"))))
        throw std::runtime_error("cannot copy the delivered database");
    QFile::setPermissions(file(QStringLiteral("Spinlog.mdb")),
                          QFile::ReadOwner | QFile::WriteOwner);
}

QByteArray TempAppFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
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
        for (int i = 0; i < rs.fieldCount(); ++i) fields << rs.text(i);
        rows << fields.join(u'|');
    }
    return rows;
}

}  // namespace spinlog::test
