#pragma once

namespace spinlog {

class Program;

// Plays Sound.wav from the application folder without waiting; nothing when the
// file is missing.
void Sub_Sound(const Program &program);

}  // namespace spinlog
