#include "app/help.h"

#include "app/error_log.h"
#include "app/error_report.h"
#include "app/program.h"

namespace spinlog {

QString shellErrorText(int code)
{
    switch (code) {
        case 0: return QStringLiteral("メモリ不足です");
        case 2: return QStringLiteral("ファイルが見つかりません");
        case 3: return QStringLiteral("パスが見つかりません");
        case 11: return QStringLiteral("ファイルが無効です");
        case 31: return QStringLiteral("関連付けられているファイルがありません");
        default: return QStringLiteral("エラーNo.=") + QString::number(code);
    }
}

void Sub_ShowHelpFlie(const Program &program)
{
    const QString path = program.path(QStringLiteral("Readme.txt"));
    const int result = program.services.shell.openFile(path);
    if (result >= 32)
        return;
    // The log line also names the file that would not open.
    const QString text = shellErrorText(result);
    const ProcedureReport &report = reportOf(Procedure::ShowHelpFile);
    program.services.prompts.message(report.title + QStringLiteral("\r\n") + text, Icon::Critical,
                                     Buttons::Ok);
    Fun_LogWrite(program, report.logPrefix + text + QChar(0x3000) + path);
}

void Sub_ShowWebFlie(const Program &program)
{
    guarded(program, Procedure::ShowWebFile, [&] {
        if (!program.services.shell.openUrl(kWebPage))
            throw SpinlogError(QStringLiteral("Webページを開くプログラムを起動できません。"));
    });
}

}  // namespace spinlog
