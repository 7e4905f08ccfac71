#include "base/type_names.h"

namespace spinlog {

QString plainTypeName(const QString &name)
{
    QString plain = name.normalized(QString::NormalizationForm_KC).toLower();
    plain.remove(QLatin1Char(' ')).remove(QLatin1Char('-'));
    return plain;
}

bool isBlindfoldName(const QString &name)
{
    const QString plain = plainTypeName(name);
    return plain.contains(QStringLiteral("目隠し")) || plain.contains(QLatin1String("bld"));
}

}  // namespace spinlog
