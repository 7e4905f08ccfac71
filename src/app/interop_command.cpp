#include "app/interop_command.h"

#include "app/command_support.h"
#include "app/instance_lock.h"
#include "base/errors.h"
#include "base/export_file.h"
#include "base/shown_text.h"
#include "base/type_names.h"
#include "data/compaction.h"
#include "data/database.h"
#include "data/record_stores.h"
#include "interop/history_export.h"
#include "interop/history_importer.h"

#include <QDateTime>
#include <QTextStream>

namespace spinlog {

namespace {

const QString kExport = QStringLiteral("--export-cstimer");
const QString kExportTwisty = QStringLiteral("--export-twisty");
const QString kImport = QStringLiteral("--import");

std::unique_ptr<RecordStores> openRecords(const QString &folder, Access access)
{
    try {
        return std::make_unique<RecordStores>(
            Database::open(folder + QStringLiteral("/Spinlog.mdb"), kDatabaseKey, access));
    } catch (const std::exception &e) {
        const QString description = errorDescription(e);
        if (description == lockedDescription())
            throw SpinlogError(Text::tr("データベースが使用中です（Spinlog が起動中です）。"));
        throw SpinlogError(Text::tr("データベースを開けません: ") + description);
    }
}

int runExport(const QStringList &args, const QString &folder, QTextStream &out, QTextStream &err)
{
    // Read only: the file stays as it is, and a read-only folder will do.
    const std::unique_ptr<RecordStores> records = openRecords(folder, Access::ReadOnly);
    TypeFilter filter;
    if (args.size() == 3) {
        const std::vector<PuzzleType> types = records->types.all();
        const PuzzleType *named = typeNamed(args[2], types);
        if (!named)
            throw SpinlogError(Text::tr("タイプ「%1」はありません（%2）。")
                                   .arg(args[2], typeNames(types, QStringLiteral("/"))));
        filter = TypeFilter(named->id);
    }
    const ExportFormat format =
        args[0] == kExportTwisty ? ExportFormat::TwistyTimer : ExportFormat::CsTimer;
    const ExportTally tally =
        exportHistory(format, records->historyExport, records->types, filter, args[1], folder);
    // The file on the standard output is all that goes there.
    QTextStream &said = isStandardOutput(args[1]) ? err : out;
    said << Text::tr("%1 に %2 セッション、%3 件の記録（%4 回）を出力しました。\n")
                .arg(args[1])
                .arg(tally.sessions)
                .arg(tally.series)
                .arg(tally.solves);
    if (tally.skipped > 0)
        said << Text::tr("日時かタイムの読めない %1 件の記録は出力していません。\n")
                    .arg(tally.skipped);
    return 0;
}

// The TYPE of --type: one that can be timed.
TypeId importedType(const RecordStores &records, const QString &text)
{
    const std::vector<PuzzleType> types = records.types.all();
    const PuzzleType *named = typeNamed(text, types);
    if (!named)
        throw SpinlogError(Text::tr("タイプ「%1」はありません。").arg(text));
    if (!named->timeable())
        throw SpinlogError(
            Text::tr("タイプ「%1」は回数が 1～12 でないので取り込めません。").arg(text));
    return named->id;
}

// A session with solves that goes to no type refuses the import, one whose
// name two types have naming both. csTimer's files carry its empty sessions
// ("1", "2"...): they need no type.
void refuseUntypedSessions(const HistoryImport &import)
{
    QStringList typeNames;
    for (const PuzzleType &type : import.types()) typeNames << type.name;
    for (const SessionPlan &plan : import.sessions()) {
        if (plan.type >= 0 || plan.solves == 0)
            continue;
        QStringList same;
        for (const int t : positionsNamed(plan.name, typeNames)) same << typeNames[t];
        if (same.size() > 1)
            throw SpinlogError(Text::tr("セッション「%1」は %2 のどのタイプとも読めます。"
                                        "--type で取り込むタイプを指定してください。")
                                   .arg(plan.name, same.join(Text::tr("、"))));
        throw SpinlogError(Text::tr("セッション「%1」と同じ名前のタイプがありません。--type "
                                    "で取り込むタイプを指定するか、--new-types "
                                    "で新しいタイプとして取り込んでください。")
                               .arg(plan.name));
    }
}

int runImport(const QStringList &args, const QString &folder, QTextStream &out, QTextStream &err)
{
    // The file first: a bad one is named before the database is touched.
    HistoryFile file = readHistoryFile(args[1]);
    const std::unique_ptr<RecordStores> records = openRecords(folder, Access::Exclusive);
    HistoryImporter importer(records->history, records->types);
    std::optional<TypeId> everySession;
    if (args.size() == 4)
        everySession = importedType(*records, args[3]);
    HistoryImport import = importer.plan(std::move(file), everySession);
    if (args.size() == 3)
        importer.newTypesForTheRest(import);
    refuseUntypedSessions(import);
    out << importSummary(import);
    // All is said before the commit, and output that cannot be written takes
    // the import back: a failure status always means nothing changed.
    const auto saidBeforeCommit = [&](int done, int total) {
        if (done < total)
            return true;
        const ImportTally tally{import.seriesCount(), import.duplicateCount(), import.looseCount()};
        out << importedText(tally, import.leftOutCount())
                   .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            << '\n';
        out.flush();
        return out.status() == QTextStream::Ok;
    };
    if (!importer.run(import, QDateTime::currentDateTime(), saidBeforeCommit)) {
        err << Text::tr("spinlog: 出力を書き込めないので、取り込みを取り消しました。\n");
        return 1;
    }
    return 0;
}

}  // namespace

bool isInteropCommand(const QStringList &args)
{
    return args.value(0) == kExport || args.value(0) == kExportTwisty || args.value(0) == kImport;
}

QString interopUsage()
{
    return Text::tr(
        "        spinlog --export-cstimer ファイル [タイプ]  計測結果(タイプの指定で"
        "そのタイプだけ)を csTimer の形式で出力します\n"
        "        spinlog --export-twisty ファイル [タイプ]   計測結果を Twisty Timer の"
        "バックアップの形式で出力します\n"
        "        spinlog --import ファイル [--type タイプ | --new-types]   csTimer・Twisty "
        "Timer・Spinlog の CSV の記録を取り込みます(名前の合うタイプへ、指定でそのタイプへ、"
        "--new-types で名前の合わないセッションは新しいタイプ(5回)へ)\n");
}

int runInteropCommand(const QStringList &args, const QString &appFolder, QTextStream &out,
                      QTextStream &err)
{
    const bool exporting = args.value(0) == kExport || args.value(0) == kExportTwisty;
    const bool shapeOk =
        exporting ? args.size() == 2 || args.size() == 3
                  : args.size() == 2 || (args.size() == 4 && args[2] == QStringLiteral("--type")) ||
                        (args.size() == 3 && args[2] == QStringLiteral("--new-types"));
    if (!shapeOk || args.value(1).isEmpty())
        return failCommand(
            err, exporting
                     ? Text::tr("%1 ファイル [タイプ] の形で指定してください。").arg(args.value(0))
                     : Text::tr("--import ファイル [--type タイプ | "
                                "--new-types] の形で指定してください。"));
    // The running program holds the folder; its database is its own.
    InstanceLock lock;
    if (!lock.claim(appFolder))
        return failCommand(err, Text::tr("Spinlog が起動中です。終了してから実行してください。"));
    try {
        return exporting ? runExport(args, appFolder, out, err)
                         : runImport(args, appFolder, out, err);
    } catch (const std::exception &e) {
        return failCommand(err, errorDescription(e));
    }
}

}  // namespace spinlog
