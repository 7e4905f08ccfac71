#include "main_window/main_window.h"

#include "app/program.h"

namespace spinlog {

frmMain::frmMain(Program &program, QWidget *parent) : QMainWindow(parent), program_(program)
{
    setWindowTitle(QStringLiteral("Spinlog"));
}

}  // namespace spinlog
