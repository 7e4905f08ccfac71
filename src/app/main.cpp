#include "app/ui/startup.h"
#include "scramble/scramble_command.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    // The command line's scrambles need no display, no single-instance claim
    // and no file of the application folder.
    if (spinlog::isScrambleCommand(args)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return spinlog::runScrambleCommand(QCoreApplication::arguments().mid(1), out, err);
    }
    return spinlog::runSpinlog(argc, argv);
}
