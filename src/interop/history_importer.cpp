#include "interop/history_importer.h"

#include "base/errors.h"
#include "base/shown_text.h"
#include "data/puzzle_type_store.h"
#include "data/type_tables.h"

namespace spinlog {

HistoryImporter::HistoryImporter(HistoryWriter &history, PuzzleTypeStore &types,
                                 std::function<std::optional<TypeId>()> underWay)
    : history_(history), types_(types), underWay_(std::move(underWay))
{
}

HistoryImport HistoryImporter::plan(const QString &path) const
{
    return plan(readHistoryFile(path));
}

HistoryImport HistoryImporter::plan(HistoryFile file,
                                    const std::optional<TypeId> &everySession) const
{
    HistoryImport import(std::move(file), importTypes(types_));
    if (everySession) {
        const int to = import.typeIndex(*everySession);
        if (to < 0)
            throw SpinlogError(describe::invalidArgument());
        for (std::size_t s = 0; s < import.sessions().size(); ++s) import.choose(int(s), to);
    }
    import.countDuplicates(history_);
    return import;
}

void HistoryImporter::choose(HistoryImport &plan, int session, const SessionTarget &target) const
{
    if (target.newLength > 0)
        plan.chooseNew(session, target.newLength);
    else
        plan.choose(session, target.type ? plan.typeIndex(*target.type) : -1);
    plan.countDuplicates(history_, session);
}

void HistoryImporter::newTypesForTheRest(HistoryImport &plan) const
{
    for (std::size_t s = 0; s < plan.sessions().size(); ++s) {
        const SessionPlan &session = plan.sessions()[s];
        if (session.type < 0 && session.solves > 0 && !plan.nameTaken(session.name))
            plan.chooseNew(int(s), kNewTypeLength);
    }
}

std::optional<ImportTally> HistoryImporter::run(HistoryImport &plan, const QDateTime &now,
                                                const ImportProgress &progress)
{
    const QString mark = importMark(now);
    std::vector<PuzzleType> made = plan.madeTypes();
    if (!made.empty()) {
        const std::size_t there = types_.all().size();
        if (there + made.size() > std::size_t(kMostTypes))
            throw SpinlogError(
                Text::tr("タイプは %1 個までです。%2 個のタイプに %3 個を加えられません。")
                    .arg(kMostTypes)
                    .arg(there)
                    .arg(made.size()));
        plan.numberMadeTypes(types_.nextFreeId());
        made = plan.madeTypes();
    }
    const std::optional<ImportTally> tally =
        plan.run(history_, mark, progress, [&] { types_.addImported(made, mark); });
    if (tally && !made.empty())
        types_.announce();
    return tally;
}

std::optional<ImportMark> HistoryImporter::lastImport() const
{
    std::optional<ImportMark> last = history_.lastImport();
    if (last)
        last->types = types_.importedTypes(last->id);
    return last;
}

int HistoryImporter::undo(const ImportMark &mark)
{
    const std::optional<TypeId> keep = underWay_ ? underWay_() : std::nullopt;
    int typesRemoved = 0;
    const int removed = history_.removeImport(
        mark.id, [&] { typesRemoved = types_.removeImported(mark.id, keep); });
    if (typesRemoved > 0)
        types_.announce();
    return removed;
}

QString importedText(const ImportTally &tally, int leftOut)
{
    QString text = Text::tr("%1 件の記録を追加しました（重複 %2 回は追加していません）。")
                       .arg(tally.added)
                       .arg(tally.duplicates);
    if (tally.loose > 0)
        text += Text::tr("\r\n記録に入らない回 %1 回も追加しました。").arg(tally.loose);
    if (leftOut > 0)
        text += Text::tr("\r\n取り込まなかった回: %1 回").arg(leftOut);
    return text;
}

}  // namespace spinlog
