#pragma once
// What every window of a run shares: the desktop seams, the open database and
// the settings. Windows receive the Program they work in, so tests can build
// one around fakes and a temporary application folder.

#include "app/seams.h"
#include "app/settings.h"

#include <QString>
#include <memory>

namespace spinlog {

class Database;

struct Services {
    Prompts &prompts;
    Clock &clock;
    Sound &sound;
    Shell &shell;
    App &app;
};

class Program {
public:
    explicit Program(Services services);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    Services services;
    std::unique_ptr<Database> gDB;  // the open Spinlog.mdb, or null
    Settings settings;              // Spinlog.ini

    // The application folder, and a file directly inside it.
    QString folder() const { return services.app.folder(); }
    QString path(const QString &fileName) const { return folder() + QLatin1Char('/') + fileName; }

    // The open database; throws SpinlogError when it is not open.
    Database &db() const;

    // The uniform failure report: a critical box with the title, CR LF and the
    // description, then one log entry made of the prefix and the description.
    // Procedures report through guarded() and the table in error_report.h.
    void reportError(const QString &title, const QString &logPrefix,
                     const QString &description) const;
};

}  // namespace spinlog
