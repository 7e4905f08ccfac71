#include "bench_support.h"

#include "base/errors.h"
#include "base/time_values.h"
#include "data/database.h"
#include "data/puzzle_type_store.h"
#include "data/series_inserter.h"
#include "data/solve_table.h"
#include "data/type_tables.h"
#include "widgets/units.h"

#include <sqlite3.h>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTranslator>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

namespace spinlog::bench {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double worst(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double msSince(std::int64_t startNs)
{
    return double(nowNs() - startNs) / 1e6;
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void report(const QString &name, double value, const char *unit)
{
    std::printf("BENCH %s %.3f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

void printRuns(const QString &what, const std::vector<double> &ms)
{
    QStringList list;
    for (double v : ms) list << QString::number(v, 'f', ms.size() > 0 && median(ms) < 10 ? 2 : 0);
    std::printf("  %-40s median %9.2f ms  (%s)\n", qPrintable(what), median(ms),
                qPrintable(list.join(QLatin1Char(' '))));
    std::fflush(stdout);
}

namespace {

long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

}  // namespace

double peakRssMb()
{
    return double(statusKb("VmHWM:")) / 1024;
}

double rssMb()
{
    return double(statusKb("VmRSS:")) / 1024;
}

void resetPeakRss()
{
    // Linux resets VmHWM to the current resident set on "5".
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// The command line is started through measure_child: a child's peak memory
// from wait4 includes whatever its parent had resident when it was started
// (the kernel carries the old image's high-water mark across exec), so the
// parent must be a small process rather than this one.
CliRun runMeasured(const QString &program, const QStringList &args)
{
    QTemporaryFile result;
    if (!result.open())
        throw SpinlogError(QStringLiteral("no temporary file"));
    QProcess child;
    child.setStandardOutputFile(QProcess::nullDevice());
    child.start(QStringLiteral(SPINLOG_MEASURE_CHILD),
                QStringList{result.fileName(), program} + args);
    child.waitForFinished(-1);
    // "<wall ns> <peak kB> <processor us>"
    const QList<QByteArray> figures = result.readAll().trimmed().split(' ');
    if (child.exitCode() != 0 || figures.size() != 3)
        throw SpinlogError(
            QStringLiteral("%1 %2 failed").arg(program, args.join(QLatin1Char(' '))));
    return {figures[0].toDouble() / 1e6, figures[1].toDouble() / 1024, figures[2].toDouble() / 1e3};
}

CliRun runSqlcipher(const QString &folder, const QString &database, const QByteArray &script)
{
    QTemporaryFile input, errors, result;
    if (!input.open() || !errors.open() || !result.open())
        throw SpinlogError(QStringLiteral("no temporary file for the command line"));
    input.write(script);
    input.flush();

    const QByteArray measure = QByteArrayLiteral(SPINLOG_MEASURE_CHILD);
    const QByteArray resultPath = QFile::encodeName(result.fileName());
    const QByteArray dbPath = QFile::encodeName(database);
    const QByteArray inputPath = QFile::encodeName(input.fileName());
    const QByteArray errorPath = QFile::encodeName(errors.fileName());
    const QByteArray cwd = QFile::encodeName(folder);
    const char *argv[] = {measure.constData(), resultPath.constData(),
                          "sqlcipher",         "-bail",
                          dbPath.constData(),  nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputPath.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.constData(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());
    pid_t pid = 0;
    const int rc =
        posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char **>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw SpinlogError(QStringLiteral("cannot start measure_child: ") +
                           QString::fromLocal8Bit(std::strerror(rc)));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const QByteArray stderrText = errors.readAll().trimmed();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !stderrText.isEmpty())
        throw SpinlogError(QStringLiteral("sqlcipher failed: ") +
                           QString::fromLocal8Bit(stderrText));

    // "<wall ns> <peak kB> <processor us>"
    const QList<QByteArray> figures = result.readAll().trimmed().split(' ');
    if (figures.size() != 3)
        throw SpinlogError(QStringLiteral("measure_child gave no figures"));
    return CliRun{figures[0].toDouble() / 1e6, figures[1].toDouble() / 1024,
                  figures[2].toDouble() / 1e3};
}

QStringList querySqlcipher(const QString &database, const QByteArray &query)
{
    QProcess cli;
    cli.start(QStringLiteral("sqlcipher"), {QStringLiteral("-bail"), database});
    cli.write("PRAGMA key = 'wubd';\n" + query + "\n");
    cli.closeWriteChannel();
    if (!cli.waitForFinished(120000) || cli.exitCode() != 0)
        throw SpinlogError(QStringLiteral("sqlcipher failed: ") +
                           QString::fromLocal8Bit(cli.readAllStandardError()));
    QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

double stepAllMs(Database &db, const QString &sql)
{
    // As every Statement does: the engine's SSE code runs at full speed only
    // with the upper halves of the AVX registers cleared, which Qt leaves set.
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper");
#endif
    const std::int64_t start = nowNs();
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &stmt, nullptr) !=
        SQLITE_OK)
        throw SpinlogError(QString::fromUtf8(sqlite3_errmsg(db.handle())));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw SpinlogError(QString::fromUtf8(sqlite3_errmsg(db.handle())));
    return msSince(start);
}

namespace {

// A scramble as long as a type's real ones and in their notation: random
// turns, no face twice in a row (2x2x2: 10 of U R F; 3x3x3: 21; 4x4x4: 40
// and 5x5x5: 60 with wide turns).
QString benchScramble(QRandomGenerator &random, int type)
{
    static const char *const kFaces[] = {"U", "D", "L", "R", "F", "B"};
    static const char *const kPocketFaces[] = {"U", "R", "F"};
    static const char *const kForms[] = {"", "'", "2"};
    const int moves = type == 2 ? 10 : type == 3 ? 40 : type == 4 ? 60 : 21;
    const int faces = type == 2 ? 3 : 6;
    QStringList turns;
    int last = -1;
    for (int m = 0; m < moves; ++m) {
        int face = int(random.bounded(faces));
        if (face == last)
            face = (face + 1) % faces;
        last = face;
        const bool wide = (type == 3 || type == 4) && random.bounded(2) == 1;
        turns << QString::fromLatin1(type == 2 ? kPocketFaces[face] : kFaces[face]) +
                     (wide ? QStringLiteral("w") : QString()) +
                     QLatin1String(kForms[random.bounded(3)]);
    }
    return turns.join(QLatin1Char(' '));
}

// The series of the insert's values with its solves' rows: a moment 10 s
// apart, the last before the save, and a scramble each.
SeriesRecord withTheirSolves(const QVariantList &values, const std::vector<std::int64_t> &solves,
                             std::int64_t saved, QRandomGenerator &random)
{
    SeriesRecord r;
    r.dateTime = values[0].toString();
    r.typeId = TypeId(values[1].toString());
    for (int n = 0; n < 12; ++n) r.times[std::size_t(n)] = values[2 + n].toString();
    r.aveTime = values[14].toString();
    r.aveHundredths = std::llround(values[15].toDouble() * 100);
    r.bestNo = values[16].toInt();
    r.bestTime = values[17].toString();
    r.bestHundredths = std::llround(values[18].toDouble() * 100);
    r.worstNo = values[19].toInt();
    r.worstTime = values[20].toString();
    r.worstHundredths = std::llround(values[21].toDouble() * 100);
    const int count = int(solves.size());
    for (int n = 0; n < count; ++n) {
        r.attempts[std::size_t(n)] = Attempt{solves[std::size_t(n)], Penalty::None};
        SolveDetails &d = r.details[std::size_t(n)];
        d.moment = saved - (count - n) * 10'000;
        d.scramble = benchScramble(random, r.typeId.text().toInt());
    }
    return r;
}

}  // namespace

void addSeries(Database &db, int count, std::uint32_t seed)
{
    // A file that keeps solves of their own gets them as the program saves
    // them: each with its moment and a scramble of its type.
    std::optional<SeriesInserter> withSolves;
    if (hasSolveTable(db))
        withSolves.emplace(db, history_detail::seriesColumns(db));
    const QString insert = QStringLiteral(
        "insert into T_Time (DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, Time6, Time7, "
        "Time8, Time9, Time10, Time11, Time12, AveTime, AveTimeSS, BestTimeNo, BestTime, "
        "BestTimeSS, WorstTimeNo, WorstTime, WorstTimeSS) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Transaction transaction(db);
    QRandomGenerator random(seed);
    QDateTime when(QDate(2007, 5, 1), QTime(21, 3, 9));
    for (int i = 0; i < count; ++i) {
        when = when.addSecs(60 + random.bounded(600));
        const int type = 1 + random.bounded(5);
        const bool blind = type == 5;  // three solves, all counted
        const int solvesInSeries = blind ? 3 : 5;
        // Hundredths: 2x2x2 fast, blindfolded slow, big cubes a minute or two.
        const int base = type == 2 ? 500 : blind ? 9000 : type == 4 ? 3000 : 1500;
        std::vector<std::int64_t> solves;
        for (int n = 0; n < solvesInSeries; ++n) solves.push_back(base + random.bounded(base / 2));
        const auto best =
            std::size_t(std::min_element(solves.begin(), solves.end()) - solves.begin());
        const auto worstAt =
            std::size_t(std::max_element(solves.begin(), solves.end()) - solves.begin());
        std::int64_t sum = 0;
        for (std::size_t n = 0; n < solves.size(); ++n)
            sum += (blind || (n != best && n != worstAt)) ? solves[n] : 0;
        const std::int64_t average = sum / (blind ? solvesInSeries : solvesInSeries - 2);

        QVariantList values{when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                            QString::number(type)};
        for (int n = 0; n < 12; ++n)
            values << (n < solvesInSeries ? displayForm(solves[std::size_t(n)])
                                          : QStringLiteral("-"));
        values << displayForm(average) << double(average) / 100 << int(best + 1)
               << displayForm(solves[best]) << double(solves[best]) / 100 << int(worstAt + 1)
               << displayForm(solves[worstAt]) << double(solves[worstAt]) / 100;
        if (!withSolves) {
            db.execute(insert, values);
            continue;
        }
        const SeriesRecord r = withTheirSolves(values, solves, when.toMSecsSinceEpoch(), random);
        withSolves->add(r, QString());
    }
    transaction.commit();
}

QString deliveredDatabase()
{
    return QStringLiteral(SPINLOG_APP_DIR "/Spinlog.mdb");
}

QString installDatabase(const QString &from, const QString &folder)
{
    const QString to = folder + QStringLiteral("/Spinlog.mdb");
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw SpinlogError(QStringLiteral("cannot copy ") + from + QStringLiteral(" to ") + to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    return to;
}

namespace {

QString benchDataFolder()
{
    static std::unique_ptr<QTemporaryDir> ownDir;
    QString dataDir = qEnvironmentVariable("SPINLOG_BENCH_DATA");
    if (dataDir.isEmpty()) {
        if (!ownDir)
            ownDir = std::make_unique<QTemporaryDir>();
        dataDir = ownDir->path();
    }
    QDir().mkpath(dataDir);
    return dataDir;
}

// Writes a compacted copy of FROM to TO, as the program does at exit,
// leaving out the indexes named in dropped.
void exportDatabase(const QString &from, const QString &to, const QStringList &dropped = {})
{
    QFile::remove(to);
    QFile created(to);
    if (!created.open(QIODevice::WriteOnly))
        throw SpinlogError(QStringLiteral("cannot create ") + to);
    created.close();
    auto db = Database::open(from);
    for (const QString &index : dropped) db->execute(QStringLiteral("DROP INDEX ") + index);
    db->execute(QStringLiteral("ATTACH DATABASE ? AS com KEY ?"),
                {to, QString::fromLatin1(kDatabaseKey)});
    db->execute(QStringLiteral("SELECT sqlcipher_export(?)"), {QStringLiteral("com")});
    db->execute(QStringLiteral("DETACH DATABASE com"));
}

}  // namespace

QString seriesDatabase(int count)
{
    const QString path = benchDataFolder() + QStringLiteral("/series-%1.mdb").arg(count);
    if (QFileInfo::exists(path))
        return path;

    const std::int64_t start = nowNs();
    const QString work = path + QStringLiteral(".new");
    QFile::remove(work);
    if (!QFile::copy(deliveredDatabase(), work))
        throw SpinlogError(QStringLiteral("no delivered database at ") + deliveredDatabase());
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner);
    {
        auto db = Database::open(work);
        addSeries(*db, count);
    }
    exportDatabase(work, path + QStringLiteral(".com"));
    QFile::remove(work);
    if (!QFile::rename(path + QStringLiteral(".com"), path))
        throw SpinlogError(QStringLiteral("cannot rename ") + work);
    std::printf("  (%d series generated in %.0f ms, file %.1f MB)\n", count, msSince(start),
                double(QFileInfo(path).size()) / 1e6);
    std::fflush(stdout);
    report(QStringLiteral("file.%1").arg(count), double(QFileInfo(path).size()) / 1e6, "MB");
    return path;
}

QString olderSeriesDatabase(int count)
{
    const QString path = benchDataFolder() + QStringLiteral("/older-series-%1.mdb").arg(count);
    if (QFileInfo::exists(path))
        return path;
    const QString current = seriesDatabase(count);
    // Every index but the one the delivered file has always had.
    QStringList added;
    {
        auto db = Database::open(current);
        for (Recordset rs(*db,
                          QStringLiteral("select name from sqlite_master where type='index' "
                                         "and name like 'T_Time_%' and name<>'T_Time_TypeID'"));
             !rs.eof(); rs.moveNext())
            added << rs.text(0);
    }
    const QString work = path + QStringLiteral(".new");
    QFile::remove(work);
    QFile::copy(current, work);
    exportDatabase(work, path, added);
    QFile::remove(work);
    std::printf("  (%d series without the indexes: file %.1f MB)\n", count,
                double(QFileInfo(path).size()) / 1e6);
    std::fflush(stdout);
    return path;
}

QString manyTypesDatabase(int count)
{
    const QString path = benchDataFolder() + QStringLiteral("/types-100-%1.mdb").arg(count);
    if (QFileInfo::exists(path))
        return path;
    const QString work = path + QStringLiteral(".new");
    QFile::remove(work);
    QFile::copy(seriesDatabase(count), work);
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner);
    {
        auto db = Database::open(work);
        PuzzleTypeStore store(*db);
        std::vector<PuzzleType> types = store.all();
        for (int n = 6; n <= kMostTypes; ++n)
            types.push_back(puzzleTypeOf(QString::number(n), QStringLiteral("Type %1").arg(n),
                                         QString::number(n % 12 + 1), QStringLiteral("1"), true));
        store.rewrite(types);
    }
    exportDatabase(work, path);
    QFile::remove(work);
    return path;
}

void setUpApplication()
{
    QFont::insertSubstitution(kLayoutFontFamily, QStringLiteral("IPAPGothic"));
    QApplication::setFont(layoutFont(9));
    static QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);
}

Answer BenchPrompts::message(const QString &text, Icon, Buttons buttons, Answer)
{
    ++messages;
    if (buttons == Buttons::YesNo)
        return Answer::Yes;
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return Answer::Ok;
}

std::optional<QString> BenchPrompts::saveFile(const SaveFileRequest &)
{
    if (exportPath.isEmpty())
        return std::nullopt;
    return exportPath;
}

}  // namespace spinlog::bench
