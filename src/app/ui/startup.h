#pragma once
// Start-up: one copy only, the database opened, the settings read, the main
// window shown; and the assembly that hands each window the parts it uses.

#include "app/app_folder.h"

#include <memory>

namespace spinlog {

class Program;
class frmMain;

// The main window over the program's open records, with its menus' windows,
// the scramble window, the Stackmat timer (a StackmatLink child) and the
// commands wired to the program (windows.cpp). Makes the solve session.
std::unique_ptr<frmMain> makeMainWindow(Program &program);

// Returns the shown main window, or null when the program has ended (a second
// copy, or a database that would not open).
std::unique_ptr<frmMain> Main(Program &program);

// The whole program: Qt set up for Japanese, real seams in this copy's
// application folder, Main, the event loop.
int runSpinlog(int argc, char **argv, CopyKind kind = CopyKind::Portable);

}  // namespace spinlog
