#pragma once

#include <QString>

namespace spinlog {

class Program;

// Plays Sound.wav (or another sound file) from the application folder
// without waiting; nothing when the file is missing.
void Sub_Sound(const Program &program, const QString &fileName = QStringLiteral("Sound.wav"));

}  // namespace spinlog
