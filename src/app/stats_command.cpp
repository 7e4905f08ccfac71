#include "app/stats_command.h"

#include "base/errors.h"
#include "data/database.h"
#include "data/history_store.h"
#include "data/puzzle_type_store.h"
#include "stats/solve_history.h"

namespace spinlog {

namespace {

int fail(QTextStream &err, const QString &message)
{
    err << "spinlog: " << message << '\n';
    err.flush();
    return 2;
}

// The filter a TYPE argument names: a type's name, or its number from 1 to
// the number of types; nothing for another text.
std::optional<TypeFilter> typeNamed(const QString &text, const QStringList &names)
{
    const qsizetype byName = names.indexOf(text);
    if (byName >= 0)
        return TypeFilter{int(byName) + 1};
    bool number = false;
    const int n = text.toInt(&number);
    if (number && n >= 1 && n <= names.size() && text == QString::number(n))
        return TypeFilter{n};
    return std::nullopt;
}

}  // namespace

bool isStatsCommand(const QStringList &args)
{
    return args.value(0) == QLatin1String("--stats");
}

QString statsUsage()
{
    return QStringLiteral(
        "        spinlog --stats [タイプ]         全解答の統計 (解答数、平均、ao5 など) を"
        "出力します (タイプは名前か番号 1～5、既定は全タイプ)\n");
}

int runStatsCommand(const QStringList &args, const QString &folder, QTextStream &out,
                    QTextStream &err)
{
    if (args.size() > 2)
        return fail(err, QStringLiteral("--stats [タイプ] の形で指定してください。"));
    const QString path = folder + QStringLiteral("/Spinlog.mdb");
    std::unique_ptr<Database> db;
    try {
        db = Database::open(path, kDatabaseKey, Access::ReadOnly);
    } catch (const SpinlogError &e) {
        if (e.description() == lockedDescription())
            return fail(err, QStringLiteral("データベース %1 は実行中の Spinlog が使用しています。"
                                            "終了してからもう一度実行してください。")
                                 .arg(path));
        return fail(err,
                    QStringLiteral("データベース %1 を開けません: %2").arg(path, e.description()));
    }
    try {
        const QStringList names = PuzzleTypeStore(*db).names();
        TypeFilter filter;
        if (args.size() == 2) {
            const std::optional<TypeFilter> named = typeNamed(args[1], names);
            if (!named)
                return fail(err, QStringLiteral("タイプ「%1」はありません。タイプ: %2。")
                                     .arg(args[1], names.join(QLatin1String(", "))));
            filter = *named;
        }
        FigureAccumulator figures;
        SolveHistory().refresh(HistoryStore(*db), figures, filter);
        for (const QStringList &line : figureLines(figures.figures()))
            out << line.join(QLatin1Char('\t')) << '\n';
    } catch (const SpinlogError &e) {
        return fail(err,
                    QStringLiteral("データベース %1 を読めません: %2").arg(path, e.description()));
    }
    return 0;
}

}  // namespace spinlog
