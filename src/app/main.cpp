#include "app/command_line.h"
#include "app/memory.h"
#include "app/ui/startup.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char **argv)
{
    spinlog::giveLargeBlocksBack();
    // Any argument is a command: it needs no display and no single-instance
    // claim, writes no file of the application folder (the statistics only
    // read the database) and never opens a window.
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        QFile out, err;
        out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered);
        err.open(2, QIODevice::WriteOnly | QIODevice::Unbuffered);
        return spinlog::runCommandLine(QCoreApplication::arguments().mid(1), out, err);
    }
    return spinlog::runSpinlog(argc, argv);
}
