#include "app/program.h"

#include "app/error_log.h"
#include "data/database.h"

namespace spinlog {

Program::Program(Services s)
    : services(s), settings(s.app.folder() + QStringLiteral("/Spinlog.ini"))
{
}

Program::~Program() = default;

Database &Program::db() const
{
    if (!gDB)
        throw SpinlogError(QStringLiteral("データベースが開かれていません。"));
    return *gDB;
}

void Program::reportError(const QString &title, const QString &logPrefix,
                          const QString &description) const
{
    services.prompts.message(title + QStringLiteral("\r\n") + description, Icon::Critical,
                             Buttons::Ok);
    Fun_LogWrite(*this, logPrefix + description);
}

}  // namespace spinlog
