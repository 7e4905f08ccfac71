#pragma once
// The Help menu's two commands.

#include <QString>

namespace spinlog {

class Program;

// Opens Readme.txt with its associated program; a failure is shown as
// "Readme表示エラー" and logged with the full path.
void Sub_ShowHelpFile(const Program &program);
// Opens the web page in the browser.
void Sub_ShowWebFile(const Program &program);

// The text for a shell result below 32.
QString shellErrorText(int code);

// Whether the desktop's MIME database names a program for the file's type or
// a type it derives from: an association in a mimeapps list or cache, or a
// desktop entry listing the type, in the XDG configuration and data folders.
bool desktopHasProgramFor(const QString &filePath);

}  // namespace spinlog
