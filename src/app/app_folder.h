#pragma once
// Where a copy of the program keeps its files. A portable copy (every build
// but the Debian package's) keeps them in the folder holding the program. The
// installed copy cannot write beside /usr/bin/spinlog: its application folder
// is the user's data folder, made on the first start with the delivered
// files copied in from the package's folder (share/spinlog beside bin/).

#include <QString>

namespace spinlog {

enum class CopyKind { Portable, Installed };

struct AppFolder {
    QString path;
    QString problem;  // why an installed copy's folder is not ready; empty when it is
};

// $XDG_DATA_HOME/Spinlog, or HOME/.local/share/Spinlog when that variable is
// unset, empty or not an absolute path (the desktop's rule for it).
QString userDataFolder(const QString &xdgDataHome, const QString &home);

// Makes folder and copies in from delivered what it lacks: the database and
// the sounds only when absent (they are the user's from then on, a sound may
// have been replaced), the guide whenever it differs (it is the program's,
// and an upgrade brings a new one). Each file arrives whole or not at all.
// Returns what failed, or nothing: only the folder and the database count,
// the sounds and the guide are optional here as in any copy.
QString prepareUserFolder(const QString &folder, const QString &delivered);

// The folder of the delivered files of an installed copy whose program lies
// in programFolder.
QString deliveredFolder(const QString &programFolder);

// This copy's application folder, as it is (an installed copy's perhaps not
// made yet).
QString applicationFolderPath(CopyKind kind);
// This copy's application folder, an installed copy's made ready.
AppFolder applicationFolder(CopyKind kind);

}  // namespace spinlog
