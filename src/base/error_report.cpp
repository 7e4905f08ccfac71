#include "base/error_report.h"

#include "base/error_log.h"
#include "base/seams.h"
#include "base/shown_text.h"

#include <array>

namespace spinlog {

namespace {

// The titles are translated as a box shows them; the prefixes never are.
constexpr const char *kLoadFailed = QT_TRANSLATE_NOOP("Text", "フォームロードエラー");
constexpr const char *kSaveFailed = QT_TRANSLATE_NOOP("Text", "保存エラー");

// In the order of Procedure.
const std::array<ProcedureReport, 39> kReports = {{
    {kLoadFailed, QStringLiteral("[frmMain]-[Form_Load] ")},
    {QT_TRANSLATE_NOOP("Text", "カウントダウンタイマエラー"),
     QStringLiteral("[frmMain]-[tmrCountDown_Timer] ")},
    {QT_TRANSLATE_NOOP("Text", "計測タイマエラー"), QStringLiteral("[frmMain]-[tmrCount_Timer] ")},
    {QT_TRANSLATE_NOOP("Text", "計測開始/停止エラー"),
     QStringLiteral("[frmMain]-[Sub_StartStop] ")},
    {kSaveFailed, QStringLiteral("[frmMain]-[Sub_Save] ")},
    {QT_TRANSLATE_NOOP("Text", "タイプセットエラー"),
     QStringLiteral("[frmMain]-[Sub_cmbTypeSet] ")},
    {QT_TRANSLATE_NOOP("Text", "メイン画面更新エラー"),
     QStringLiteral("[frmMain]-[Sub_MainDspSet] ")},
    {QT_TRANSLATE_NOOP("Text", "サウンド再生エラー"), QStringLiteral("[mdlMain]-[Sub_Sound] ")},
    {kLoadFailed, QStringLiteral("[frmOption]-[Form_Load] ")},
    {kSaveFailed, QStringLiteral("[frmOption]-[cmdOK_Click] ")},
    {kLoadFailed, QStringLiteral("[frmView]-[Form_Load] ")},
    {QT_TRANSLATE_NOOP("Text", "データ表示エラー"), QStringLiteral("[frmView]-[Sub_DataSet] ")},
    {QT_TRANSLATE_NOOP("Text", "削除エラー"), QStringLiteral("[frmView]-[Sub_Delete] ")},
    {QT_TRANSLATE_NOOP("Text", "CSV出力エラー"), QStringLiteral("[frmView]-[Sub_OutputCSV] ")},
    {QT_TRANSLATE_NOOP("Text", "キーダウンエラー"), QStringLiteral("[frmVersion]-[Form_KeyDown] ")},
    {QT_TRANSLATE_NOOP("Text", "データベースオープンエラー"),
     QStringLiteral("[mdlCommon]-[Fun_MDBOpen] ")},
    {QT_TRANSLATE_NOOP("Text", "MDB最適化エラー[Backup]"),
     QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] ")},
    {QT_TRANSLATE_NOOP("Text", "MDB最適化エラー[Compact]"),
     QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrCompact] ")},
    {QT_TRANSLATE_NOOP("Text", "MDB最適化エラー[Recover]"),
     QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrRecover] ")},
    {QT_TRANSLATE_NOOP("Text", "Readme表示エラー"),
     QStringLiteral("[mdlCommon]-[Sub_ShowHelpFlie] ")},
    {QT_TRANSLATE_NOOP("Text", "Webページ表示エラー"),
     QStringLiteral("[mdlCommon]-[Sub_ShowWebFlie] ")},
    {QT_TRANSLATE_NOOP("Text", "グラフ表示エラー"), QStringLiteral("[frmChart]-[Form_Load] ")},
    {QT_TRANSLATE_NOOP("Text", "グラフ保存エラー"), QStringLiteral("[frmChart]-[SavePicture] ")},
    {QT_TRANSLATE_NOOP("Text", "ペナルティ設定エラー"), QStringLiteral("[frmMain]-[Penalty] ")},
    {QT_TRANSLATE_NOOP("Text", "ペナルティ設定エラー"), QStringLiteral("[frmView]-[Penalty] ")},
    {QT_TRANSLATE_NOOP("Text", "統計表示エラー"), QStringLiteral("[frmStats]-[Sub_DataSet] ")},
    {QT_TRANSLATE_NOOP("Text", "csTimer形式出力エラー"),
     QStringLiteral("[frmView]-[ExportCsTimer] ")},
    {QT_TRANSLATE_NOOP("Text", "取り込みエラー"), QStringLiteral("[frmView]-[Import] ")},
    {QT_TRANSLATE_NOOP("Text", "取り込み取り消しエラー"),
     QStringLiteral("[frmView]-[UndoImport] ")},
    {QT_TRANSLATE_NOOP("Text", "バックアップ復元エラー"),
     QStringLiteral("[mdlCommon]-[RestoreBackup] ")},
    {QT_TRANSLATE_NOOP("Text", "コメント設定エラー"), QStringLiteral("[frmMain]-[Comment] ")},
    {QT_TRANSLATE_NOOP("Text", "コメント設定エラー"), QStringLiteral("[frmView]-[Comment] ")},
    {QT_TRANSLATE_NOOP("Text", "解答表示エラー"), QStringLiteral("[frmView]-[SolveView] ")},
    {QT_TRANSLATE_NOOP("Text", "タイプ追加エラー"),
     QStringLiteral("[frmOption]-[cmdAddType_Click] ")},
    {QT_TRANSLATE_NOOP("Text", "タイプ削除エラー"),
     QStringLiteral("[frmOption]-[cmdRemoveType_Click] ")},
    {kLoadFailed, QStringLiteral("[frmScramble]-[Form_Load] ")},
    // Log entries of their own, never a box: no title.
    {nullptr, QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrMoved] ")},
    {nullptr, QStringLiteral("[mdlCommon]-[Snapshot] ")},
    {nullptr, QStringLiteral("[frmMain]-[Stackmat] ")},
}};

}  // namespace

QString ProcedureReport::shownTitle() const
{
    return title ? Text::tr(title) : QString();
}

const ProcedureReport &reportOf(Procedure procedure)
{
    return kReports.at(std::size_t(procedure));
}

void Reporter::report(Procedure procedure, const QString &description) const
{
    const ProcedureReport &r = reportOf(procedure);
    report(r.shownTitle(), r.logPrefix, description);
}

void Reporter::report(const QString &title, const QString &logPrefix,
                      const QString &description) const
{
    prompts_.message(title + QStringLiteral("\r\n") + description, Icon::Critical, Buttons::Ok);
    log_.write(logPrefix + description);
}

}  // namespace spinlog
