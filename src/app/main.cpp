#include "app/app_folder.h"
#include "app/command_line.h"
#include "app/language.h"
#include "app/memory.h"
#include "app/ui/startup.h"

#include <QCoreApplication>
#include <QFile>

// The Debian package's build is the installed copy (see app/app_folder.h).
#ifdef SPINLOG_INSTALLED
constexpr spinlog::CopyKind kCopy = spinlog::CopyKind::Installed;
#else
constexpr spinlog::CopyKind kCopy = spinlog::CopyKind::Portable;
#endif

int main(int argc, char **argv)
{
    spinlog::giveLargeBlocksBack();
    // Any argument is a command: it needs no display and no single-instance
    // claim, writes no file of the application folder (the statistics only
    // read the database; an installed copy's folder is made as a start makes
    // it) and never opens a window.
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        QFile out, err;
        out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered);
        err.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered);
        spinlog::useChosenLanguage(spinlog::applicationFolderPath(kCopy));
        return spinlog::runCommandLine(QCoreApplication::arguments().mid(1), out, err, {}, kCopy);
    }
    return spinlog::runSpinlog(argc, argv, kCopy);
}
