#include "base/type_names.h"

namespace spinlog {

std::vector<int> positionsNamed(const QString &name, const QStringList &names)
{
    std::vector<int> positions;
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            positions.push_back(int(i));
    return positions;
}

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
