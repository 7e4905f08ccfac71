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

std::optional<int> typeNumberNamed(const QString &text, const QStringList &names)
{
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].trimmed().compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return int(i) + 1;
    bool number = false;
    const int n = text.toInt(&number);
    if (number && n >= 1 && n <= names.size() && text == QString::number(n))
        return n;
    return std::nullopt;
}

}  // namespace spinlog
