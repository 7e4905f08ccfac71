#include "app/help.h"

#include "app/program.h"
#include "base/shown_text.h"
#include "base/version.h"

#include <QDirIterator>
#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace spinlog {

QString shellErrorText(int code)
{
    switch (code) {
        case 0: return Text::tr("メモリ不足です");
        case 2: return Text::tr("ファイルが見つかりません");
        case 3: return Text::tr("パスが見つかりません");
        case 11: return Text::tr("ファイルが無効です");
        case 31: return Text::tr("関連付けられているファイルがありません");
        default: return Text::tr("エラーNo.=") + QString::number(code);
    }
}

namespace {

// Whether a desktop-entry style file names a program for one of the types: a
// "type=program;" line in one of the sections, or the entry's MimeType list.
bool namesProgramFor(const QString &path, const QStringList &types, const QStringList &sections)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inSection = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = sections.contains(line.mid(1, line.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inSection || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QStringList values = line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        if (key == QLatin1String("MimeType")) {
            for (const QString &value : values) {
                if (types.contains(value.trimmed()))
                    return true;
            }
        } else if (types.contains(key) && !values.isEmpty()) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool desktopHasProgramFor(const QString &filePath)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(filePath);
    // Without a MIME database of types there is nothing to ask: the opener decides.
    if (!type.isValid())
        return true;
    const QStringList types = QStringList(type.name()) + type.allAncestors();
    const QStringList lists = {QStringLiteral("Default Applications"),
                               QStringLiteral("Added Associations"), QStringLiteral("MIME Cache")};
    QStringList files;
    for (const QString &dir :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << dir + QStringLiteral("/mimeapps.list");
    const QStringList applications =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString &dir : applications)
        files << dir + QStringLiteral("/mimeapps.list") << dir + QStringLiteral("/defaults.list")
              << dir + QStringLiteral("/mimeinfo.cache");
    for (const QString &file : files) {
        if (namesProgramFor(file, types, lists))
            return true;
    }
    // Entries not yet in a cache still count, as the desktop's opener finds them.
    for (const QString &dir : applications) {
        QDirIterator entries(dir, {QStringLiteral("*.desktop")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            if (namesProgramFor(entries.next(), types, {QStringLiteral("Desktop Entry")}))
                return true;
        }
    }
    return false;
}

void Sub_ShowHelpFile(const Program &program)
{
    const QString path = program.path(QStringLiteral("Readme.txt"));
    const int result = program.seams.shell.openFile(path);
    if (result >= 32)
        return;
    // The log line also names the file that would not open.
    const QString text = shellErrorText(result);
    const ProcedureReport &report = reportOf(Procedure::ShowHelpFile);
    program.seams.prompts.message(report.shownTitle() + QStringLiteral("\r\n") + text,
                                  Icon::Critical, Buttons::Ok);
    program.log.write(report.logPrefix + text + QChar(0x3000) + path);
}

void Sub_ShowWebFile(const Program &program)
{
    guarded(program.reporter, Procedure::ShowWebFile, [&] {
        if (!program.seams.shell.openUrl(version::kWebPage))
            throw SpinlogError(Text::tr("Webページを開くプログラムを起動できません。"));
    });
}

}  // namespace spinlog
