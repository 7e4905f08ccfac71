#pragma once
// The running program as start-up assembles it: the desktop seams, the
// settings, the error log and report, and once the file is open the record
// stores and the solve session. Only the start-up and the exit see it whole;
// each window is given the parts it uses.

#include "base/error_log.h"
#include "base/error_report.h"
#include "base/seams.h"
#include "base/settings.h"

#include <QString>
#include <memory>

namespace spinlog {

class RecordStores;
class SolveSession;

struct Seams {
    Prompts &prompts;
    Clock &clock;
    Sound &sound;
    Shell &shell;
    App &app;
};

class Program {
public:
    explicit Program(Seams seams);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // The application folder, and a file directly inside it.
    QString folder() const { return seams.app.folder(); }
    QString path(const QString &fileName) const { return folder() + QLatin1Char('/') + fileName; }

    Seams seams;
    Settings settings;  // Spinlog.ini
    ErrorLog log;       // Err.log
    Reporter reporter;
    std::unique_ptr<RecordStores> records;  // Spinlog.mdb while it is open
    std::unique_ptr<SolveSession> session;  // made with the main window
    // A snapshot the user chose to go back to: it replaces Spinlog.mdb at
    // the exit, once the file is closed.
    QString restoreFrom;
};

}  // namespace spinlog
