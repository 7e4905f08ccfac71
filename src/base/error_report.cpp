#include "base/error_report.h"

#include "base/error_log.h"
#include "base/seams.h"

#include <array>

namespace spinlog {

namespace {

const QString kLoadFailed = QStringLiteral("フォームロードエラー");
const QString kSaveFailed = QStringLiteral("保存エラー");

// In the order of Procedure.
const std::array<ProcedureReport, 39> kReports = {{
    {kLoadFailed, QStringLiteral("[frmMain]-[Form_Load] ")},
    {QStringLiteral("カウントダウンタイマエラー"),
     QStringLiteral("[frmMain]-[tmrCountDown_Timer] ")},
    {QStringLiteral("計測タイマエラー"), QStringLiteral("[frmMain]-[tmrCount_Timer] ")},
    {QStringLiteral("計測開始/停止エラー"), QStringLiteral("[frmMain]-[Sub_StartStop] ")},
    {kSaveFailed, QStringLiteral("[frmMain]-[Sub_Save] ")},
    {QStringLiteral("タイプセットエラー"), QStringLiteral("[frmMain]-[Sub_cmbTypeSet] ")},
    {QStringLiteral("メイン画面更新エラー"), QStringLiteral("[frmMain]-[Sub_MainDspSet] ")},
    {QStringLiteral("サウンド再生エラー"), QStringLiteral("[mdlMain]-[Sub_Sound] ")},
    {kLoadFailed, QStringLiteral("[frmOption]-[Form_Load] ")},
    {kSaveFailed, QStringLiteral("[frmOption]-[cmdOK_Click] ")},
    {kLoadFailed, QStringLiteral("[frmView]-[Form_Load] ")},
    {QStringLiteral("データ表示エラー"), QStringLiteral("[frmView]-[Sub_DataSet] ")},
    {QStringLiteral("削除エラー"), QStringLiteral("[frmView]-[Sub_Delete] ")},
    {QStringLiteral("CSV出力エラー"), QStringLiteral("[frmView]-[Sub_OutputCSV] ")},
    {QStringLiteral("キーダウンエラー"), QStringLiteral("[frmVersion]-[Form_KeyDown] ")},
    {QStringLiteral("データベースオープンエラー"), QStringLiteral("[mdlCommon]-[Fun_MDBOpen] ")},
    {QStringLiteral("MDB最適化エラー[Backup]"),
     QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrBackup] ")},
    {QStringLiteral("MDB最適化エラー[Compact]"),
     QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrCompact] ")},
    {QStringLiteral("MDB最適化エラー[Recover]"),
     QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrRecover] ")},
    {QStringLiteral("Readme表示エラー"), QStringLiteral("[mdlCommon]-[Sub_ShowHelpFlie] ")},
    {QStringLiteral("Webページ表示エラー"), QStringLiteral("[mdlCommon]-[Sub_ShowWebFlie] ")},
    {QStringLiteral("グラフ表示エラー"), QStringLiteral("[frmChart]-[Form_Load] ")},
    {QStringLiteral("グラフ保存エラー"), QStringLiteral("[frmChart]-[Sub_SavePNG] ")},
    {QStringLiteral("ペナルティ設定エラー"), QStringLiteral("[frmMain]-[Sub_Penalty] ")},
    {QStringLiteral("ペナルティ設定エラー"), QStringLiteral("[frmView]-[Sub_Penalty] ")},
    {QStringLiteral("統計表示エラー"), QStringLiteral("[frmStats]-[Sub_DataSet] ")},
    {QStringLiteral("csTimer形式出力エラー"), QStringLiteral("[frmView]-[Sub_OutputCsTimer] ")},
    {QStringLiteral("取り込みエラー"), QStringLiteral("[frmView]-[Sub_Import] ")},
    {QStringLiteral("取り込み取り消しエラー"), QStringLiteral("[frmView]-[Sub_UndoImport] ")},
    {QStringLiteral("バックアップ復元エラー"), QStringLiteral("[mdlCommon]-[Sub_RestoreBackup] ")},
    {QStringLiteral("コメント設定エラー"), QStringLiteral("[frmMain]-[Comment] ")},
    {QStringLiteral("コメント設定エラー"), QStringLiteral("[frmView]-[Comment] ")},
    {QStringLiteral("解答表示エラー"), QStringLiteral("[frmView]-[SolveView] ")},
    {QStringLiteral("タイプ追加エラー"), QStringLiteral("[frmOption]-[cmdAddType_Click] ")},
    {QStringLiteral("タイプ削除エラー"), QStringLiteral("[frmOption]-[cmdRemoveType_Click] ")},
    {kLoadFailed, QStringLiteral("[frmScramble]-[Form_Load] ")},
    // Log entries of their own, never a box: no title.
    {QString(), QStringLiteral("[mdlCommon]-[Fun_MDBCompact]-[ErrMoved] ")},
    {QString(), QStringLiteral("[mdlCommon]-[Fun_MDBSnapshot] ")},
    {QString(), QStringLiteral("[frmMain]-[Stackmat] ")},
}};

}  // namespace

const ProcedureReport &reportOf(Procedure procedure)
{
    return kReports.at(std::size_t(procedure));
}

void Reporter::report(Procedure procedure, const QString &description) const
{
    const ProcedureReport &r = reportOf(procedure);
    report(r.title, r.logPrefix, description);
}

void Reporter::report(const QString &title, const QString &logPrefix,
                      const QString &description) const
{
    prompts_.message(title + QStringLiteral("\r\n") + description, Icon::Critical, Buttons::Ok);
    log_.write(logPrefix + description);
}

}  // namespace spinlog
