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

}  // namespace spinlog
