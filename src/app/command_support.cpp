#include "app/command_support.h"

#include <QTextStream>

namespace spinlog {

int failCommand(QTextStream &err, QString message)
{
    message.replace(QLatin1Char('\n'), QLatin1Char(' '));
    err << QStringLiteral("spinlog: ") << message.trimmed() << '\n';
    err.flush();
    return 2;
}

const PuzzleType *typeNamed(const QString &text, const std::vector<PuzzleType> &types)
{
    for (const PuzzleType &type : types)
        if (type.name.trimmed().compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return &type;
    for (const PuzzleType &type : types)
        if (!text.isEmpty() && type.id.text() == text)
            return &type;
    return nullptr;
}

QString typeNames(const std::vector<PuzzleType> &types, const QString &separator)
{
    QStringList names;
    for (const PuzzleType &type : types) names << type.name;
    return names.join(separator);
}

}  // namespace spinlog
