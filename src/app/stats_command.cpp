#include "app/stats_command.h"

#include "app/command_support.h"
#include "base/errors.h"
#include "base/shown_text.h"
#include "data/database.h"
#include "data/history_reads.h"
#include "data/puzzle_type_store.h"
#include "stats/solve_history.h"

namespace spinlog {

bool isStatsCommand(const QStringList &args)
{
    return args.value(0) == QLatin1String("--stats");
}

QString statsUsage()
{
    return Text::tr(
        "        spinlog --stats [タイプ]         全解答の統計 (解答数、平均、ao5 など) を"
        "出力します (タイプは名前か番号、既定は全タイプ)\n");
}

int runStatsCommand(const QStringList &args, const QString &folder, QTextStream &out,
                    QTextStream &err)
{
    if (args.size() > 2)
        return failCommand(err, Text::tr("--stats [タイプ] の形で指定してください。"));
    const QString path = folder + QStringLiteral("/Spinlog.mdb");
    std::unique_ptr<Database> db;
    try {
        db = Database::open(path, kDatabaseKey, Access::ReadOnly);
    } catch (const SpinlogError &e) {
        if (e.description() == lockedDescription())
            return failCommand(err, Text::tr("データベース %1 は実行中の Spinlog が使用しています。"
                                             "終了してからもう一度実行してください。")
                                        .arg(path));
        return failCommand(err,
                           Text::tr("データベース %1 を開けません: %2").arg(path, e.description()));
    }
    try {
        const std::vector<PuzzleType> types = PuzzleTypeStore(*db).all();
        TypeFilter filter;
        if (args.size() == 2) {
            const PuzzleType *named = nullptr;
            try {
                named = typeNamed(args[1], types);
            } catch (const SpinlogError &e) {
                return failCommand(err, e.description());
            }
            if (!named)
                return failCommand(err, Text::tr("タイプ「%1」はありません。タイプ: %2。")
                                            .arg(args[1], typeNames(types, QStringLiteral(", "))));
            filter = TypeFilter(named->id);
        }
        std::vector<TypeId> listed;
        for (const PuzzleType &type : types) listed.push_back(type.id);
        FigureAccumulator figures;
        SolveHistory(std::move(listed)).readAll(HistorySolves(*db), figures, filter);
        for (const QStringList &line : figureLines(figures.figures()))
            out << line.join(QLatin1Char('\t')) << '\n';
    } catch (const SpinlogError &e) {
        return failCommand(err,
                           Text::tr("データベース %1 を読めません: %2").arg(path, e.description()));
    }
    return 0;
}

}  // namespace spinlog
