#pragma once
// Shared by the database tests.

#include "app/log_reading.h"
#include "support/fakes.h"
#include "support/temp_app_folder.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QDir>
#include <QProcess>
#include <QTest>
#include <functional>

namespace spinlog::test {

// The description an action fails with.
inline QString failure(const std::function<void()> &action)
{
    try {
        action();
    } catch (const SpinlogError &e) {
        return e.description();
    }
    return "(no failure)";
}

// The sqlcipher shell in a process of its own, run up to the end of the script;
// it keeps what it locked until destroyed.
struct SqlShell : QProcess {
    SqlShell(const QString &path, const QByteArray &script)
    {
        setProcessChannelMode(QProcess::MergedChannels);
        start("sqlcipher", {path});
        write("PRAGMA key='wubd';\n" + script + "select 'done';\n");
        while (!output.contains("done") && waitForReadyRead(20000)) output += readAll();
    }
    ~SqlShell() override
    {
        closeWriteChannel();
        waitForFinished();
    }
    QByteArray output;
};
inline const QByteArray kHoldLock = "PRAGMA locking_mode=EXCLUSIVE;\nBEGIN EXCLUSIVE;\nCOMMIT;\n";

// The files and folders beside Err.log.
inline QStringList folderEntries(const TempAppFolder &folder)
{
    QStringList names = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.removeAll("Err.log");
    return names;
}

}  // namespace spinlog::test
