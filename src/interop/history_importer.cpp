#include "interop/history_importer.h"

#include "base/errors.h"
#include "data/puzzle_type_store.h"

namespace spinlog {

HistoryImporter::HistoryImporter(HistoryWriter &history, const PuzzleTypeStore &types)
    : history_(history), types_(types)
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

void HistoryImporter::choose(HistoryImport &plan, int session,
                             const std::optional<TypeId> &type) const
{
    plan.choose(session, type ? plan.typeIndex(*type) : -1);
    plan.countDuplicates(history_, session);
}

std::optional<ImportTally> HistoryImporter::run(const HistoryImport &plan, const QDateTime &now,
                                                const ImportProgress &progress)
{
    return plan.run(history_, importMark(now), progress);
}

std::optional<ImportMark> HistoryImporter::lastImport() const
{
    return history_.lastImport();
}

int HistoryImporter::undo(const ImportMark &mark)
{
    return history_.removeImport(mark.id);
}

QString importedText(const ImportTally &tally, int leftOut)
{
    QString text = QStringLiteral("%1 件の記録を追加しました（重複 %2 回は追加していません）。")
                       .arg(tally.added)
                       .arg(tally.duplicates);
    if (tally.loose > 0)
        text += QStringLiteral("\r\n記録に入らない回 %1 回も追加しました。").arg(tally.loose);
    if (leftOut > 0)
        text += QStringLiteral("\r\n取り込まなかった回: %1 回").arg(leftOut);
    return text;
}

}  // namespace spinlog
