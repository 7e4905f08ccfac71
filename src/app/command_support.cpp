#include "app/command_support.h"

#include "base/errors.h"
#include "base/type_names.h"

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
    const std::vector<int> named = positionsNamed(text, names);
    if (named.size() > 1) {
        QStringList both;
        for (const int position : named)
            both << QStringLiteral("%1 (%2)").arg(names[position]).arg(position + 1);
        throw SpinlogError(
            QStringLiteral("タイプ「%1」は %2 のどれとも読めます。番号で指定してください。")
                .arg(text, both.join(QStringLiteral("、"))));
    }
    if (named.size() == 1)
        return named.front() + 1;
    bool number = false;
    const int n = text.toInt(&number);
    if (number && n >= 1 && n <= names.size() && text == QString::number(n))
        return n;
    return std::nullopt;
}

}  // namespace spinlog
