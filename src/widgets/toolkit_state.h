#pragma once
// Qt keeps the state of its own dialogs (the file dialog's last folder and
// view, the colour dialog's custom colours) through QSettings, by default in
// the user's configuration folder. The program keeps every file it writes in
// its application folder, so that state goes there too (QtProject.conf).

#include <QString>

namespace spinlog {

void keepToolkitStateIn(const QString &folder);

}  // namespace spinlog
