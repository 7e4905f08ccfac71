#pragma once
// The program-wide values that every window shares, alive from start-up to the
// end of the program. Windows and procedures receive the Program they work in,
// so tests can build one around fakes and a temporary application folder.

#include "app/seams.h"

#include <QString>
#include <cstdint>
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

// The six settings, held as the text read from Spinlog.ini and converted at
// each use.
struct SettingsValues {
    QString DefType = QStringLiteral("0");
    QString CntDownTm = QStringLiteral("15");
    QString AlarmTm = QStringLiteral("30");
    QString DefColor = QStringLiteral("14671839");
    QString BestColor = QStringLiteral("16744576");
    QString WorstColor = QStringLiteral("8421631");
};

class Program {
public:
    explicit Program(Services services);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    Services services;

    std::unique_ptr<Database> gDB;  // the open Spinlog.mdb, or null
    SettingsValues settings;

    // The puzzle type chosen on the main window.
    QString CurTypeID;
    std::int16_t CurTypeCnt = 0;
    QString CurTypeBW;

    // The application folder, and a file directly inside it.
    QString folder() const { return services.app.folder(); }
    QString path(const QString &fileName) const { return folder() + QLatin1Char('/') + fileName; }

    // The open database; throws SpinlogError when it is not open.
    Database &db() const;

    // The uniform failure report: a critical box with the title, CR LF and the
    // description, then one log entry made of the prefix and the description.
    void reportError(const QString &title, const QString &logPrefix, const QString &description) const;
};

}  // namespace spinlog
