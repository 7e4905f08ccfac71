#pragma once
// The language of the texts shown: Japanese, the source of every text, unless
// the settings file chooses English ([Option] Language=en), whatever the
// system's locale. Read once at start-up: a choice made in the options takes
// effect at the next start.

#include <QString>

class QTranslator;

namespace spinlog {

// Installs the English translation (carried in the program's resources) when
// the Spinlog.ini of FOLDER chooses it; returns it, owned by the application
// object, or nothing for Japanese. Needs the application object.
QTranslator *useChosenLanguage(const QString &folder);

}  // namespace spinlog
