#include "app/command_support.h"

#include "base/errors.h"
#include "base/shown_text.h"
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

const PuzzleType *typeNamed(const QString &text, const std::vector<PuzzleType> &types)
{
    QStringList names;
    for (const PuzzleType &type : types) names << type.name;
    const std::vector<int> named = positionsNamed(text, names);
    if (named.size() > 1) {
        QStringList both;
        for (const int position : named)
            both << QStringLiteral("%1 (%2)").arg(types[std::size_t(position)].name,
                                                  types[std::size_t(position)].id.text());
        throw SpinlogError(
            Text::tr("タイプ「%1」は %2 のどれとも読めます。番号で指定してください。")
                .arg(text, both.join(Text::tr("、"))));
    }
    if (named.size() == 1)
        return &types[std::size_t(named.front())];
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
