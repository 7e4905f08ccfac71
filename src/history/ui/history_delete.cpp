#include "app/errors.h"
#include "app/program.h"
#include "data/database.h"
#include "history/history_query.h"
#include "history/ui/history_window.h"
#include "widgets/grid.h"

#include <QComboBox>

namespace spinlog {

void frmView::Sub_Delete(std::int16_t all)
{
    Prompts &prompts = program_.services.prompts;
    if (vsFlex->rows() < 2) {
        prompts.message(QStringLiteral("削除するデータがありません"), Icon::Exclamation,
                        Buttons::Ok);
        return;
    }
    if (vsFlex->row() < 1) {
        prompts.message(QStringLiteral("削除するデータを選択してください"), Icon::Exclamation,
                        Buttons::Ok);
        return;
    }
    run(Procedure::Delete, [&] {
        BoundStatement statement;
        if (all == 0) {
            const QString dateTime = vsFlex->textMatrix(vsFlex->row(), 0);
            const QString question = QStringLiteral("日時: ") + dateTime +
                                     QStringLiteral(" のデータを削除します、よろしいですか");
            if (prompts.message(question, Icon::Question, Buttons::YesNo, Answer::Yes) !=
                Answer::Yes)
                return;
            showProgress(QStringLiteral("削除中..."));
            statement = deleteRecordStatement(dateTime);
        } else {
            const QString question = QStringLiteral("表示中の全てのデータ(") +
                                     QString::number(vsFlex->rows() - 1) +
                                     QStringLiteral("件)を削除します、よろしいですか");
            if (prompts.message(question, Icon::Question, Buttons::YesNo, Answer::Yes) !=
                Answer::Yes)
                return;
            showProgress(QStringLiteral("削除中..."));
            statement = deleteListedStatement(cmbType->currentIndex());
        }
        program_.db().execute(statement.sql, statement.values);
        clearProgress();
        Sub_DataSet();
    });
}

}  // namespace spinlog
