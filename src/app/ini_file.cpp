#include "app/ini_file.h"
// Placeholder: filled in by the foundation work.
namespace spinlog {
QString Fun_IniRead(const Program &, const QString &, const QString &, const QString &d) { return d; }
void Fun_IniWrite(const Program &, const QString &, const QString &, const QString &) {}
}
