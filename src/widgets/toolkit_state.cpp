#include "widgets/toolkit_state.h"

#include <QSettings>

namespace spinlog {

void keepToolkitStateIn(const QString &folder)
{
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, folder);
}

}  // namespace spinlog
