#include "app/command_line.h"

#include "app/command_support.h"
#include "app/interop_command.h"
#include "app/stats_command.h"
#include "base/shown_text.h"
#include "scramble/scramble_command.h"

#include <QIODevice>
#include <QTextStream>

namespace spinlog {

namespace {

QString usage()
{
    return Text::tr("使い方: spinlog                          ストップウォッチを起動します\n") +
           scrambleUsage() + statsUsage() + interopUsage() +
           Text::tr("        spinlog --help                   この説明を表示します\n");
}

}  // namespace

int runCommandLine(const QStringList &args, QIODevice &out, QIODevice &err, const QString &folder,
                   CopyKind kind)
{
    QTextStream output(&out);
    QTextStream errors(&err);
    int status = 0;
    const bool stats = isStatsCommand(args);
    if (stats || isInteropCommand(args)) {
        const AppFolder app = folder.isEmpty() ? applicationFolder(kind) : AppFolder{folder, {}};
        if (!app.problem.isEmpty())
            status = failCommand(errors, app.problem);
        else if (stats)
            status = runStatsCommand(args, app.path, output, errors);
        else
            status = runInteropCommand(args, app.path, output, errors);
    } else if (isScrambleCommand(args)) {
        status = runScrambleCommand(args, output, errors);
    } else if (args.value(0) == QLatin1String("--help")) {
        output << usage();
    } else {
        errors << Text::tr("spinlog: 「%1」は使えないオプションです。\n").arg(args.value(0));
        errors << usage();
        status = 2;
    }
    output.flush();
    if (output.status() != QTextStream::Ok) {
        errors << Text::tr("spinlog: 出力を書き込めません: %1\n").arg(out.errorString());
        status = 1;
    }
    errors.flush();
    return status;
}

}  // namespace spinlog
