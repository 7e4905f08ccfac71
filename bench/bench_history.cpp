// The history window with a heavy user's history: 100 000 saved series made
// by our own generator in a temporary application folder. Measures opening
// the window, re-sorting and exporting all rows as medians of several runs,
// the sqlcipher command line's time for the same list query on the same file
// beside them, and the peak memory of this process.

#include "app/program.h"
#include "app/real_seams.h"
#include "data/database.h"
#include "history/history_query.h"
#include "history/history_window.h"
#include "widgets/units.h"

#include <sys/resource.h>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

using namespace spinlog;

namespace {

constexpr int kSeries = 100000;
constexpr int kRuns = 7;

class BenchPrompts : public Prompts {
public:
    QString exportPath;
    Answer message(const QString &text, Icon, Buttons, Answer) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return Answer::No;
    }
    std::optional<std::uint32_t> pickColor() override { return std::nullopt; }
    std::optional<QString> saveFile(const SaveFileRequest &) override { return exportPath; }
};

class SilentSound : public Sound {
public:
    void play(const QString &) override {}
};

class BenchApp : public App {
public:
    explicit BenchApp(QString folder) : folder_(std::move(folder)) {}
    QString folder() const override { return folder_; }
    bool claimSingleInstance() override { return true; }
    void endNow() override {}

private:
    QString folder_;
};

QString displayText(int hundredths)
{
    const int h = hundredths / 360000, m = hundredths / 6000 % 60, s = hundredths / 100 % 60,
              cs = hundredths % 100;
    if (h > 0)
        return QString::asprintf("%d:%02d:%02d.%02d", h, m, s, cs);
    if (m > 0)
        return QString::asprintf("%d:%02d.%02d", m, s, cs);
    return QString::asprintf("%d.%02d", s, cs);
}

// Series as the program saves them: 5 solves (3 blindfolded), the average
// without best and worst, one series every few minutes.
void generate(Database &db)
{
    const QString insert = QStringLiteral(
        "insert into T_Time (DateTime, TypeID, Time1, Time2, Time3, Time4, Time5, Time6, Time7, "
        "Time8, Time9, Time10, Time11, Time12, AveTime, AveTimeSS, BestTimeNo, BestTime, "
        "BestTimeSS, WorstTimeNo, WorstTime, WorstTimeSS) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    Transaction transaction(db);
    QRandomGenerator random(20070525);
    QDateTime when(QDate(2007, 5, 1), QTime(21, 3, 9));
    for (int i = 0; i < kSeries; ++i) {
        when = when.addSecs(60 + random.bounded(600));
        const int type = 1 + random.bounded(5);
        const int count = type == 5 ? 3 : 5;
        const int base = type == 2 ? 500 : type == 5 ? 9000 : 1500 + 1500 * (type == 4);
        std::vector<int> solves;
        for (int n = 0; n < count; ++n) solves.push_back(base + random.bounded(base / 2));
        const auto best =
            std::size_t(std::min_element(solves.begin(), solves.end()) - solves.begin());
        const auto worst =
            std::size_t(std::max_element(solves.begin(), solves.end()) - solves.begin());
        int sum = 0;
        for (std::size_t n = 0; n < solves.size(); ++n)
            sum += (type == 5 || (n != best && n != worst)) ? solves[n] : 0;
        const int average = sum / (type == 5 ? count : count - 2);

        QVariantList values{when.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                            QString::number(type)};
        for (int n = 0; n < 12; ++n)
            values << (n < count ? displayText(solves[std::size_t(n)]) : QStringLiteral("-"));
        values << displayText(average) << average / 100.0 << int(best + 1)
               << displayText(solves[best]) << solves[best] / 100.0 << int(worst + 1)
               << displayText(solves[worst]) << solves[worst] / 100.0;
        db.execute(insert, values);
    }
    transaction.commit();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString runs(const std::vector<double> &values)
{
    QStringList list;
    for (double v : values) list << QString::number(v, 'f', 0);
    return list.join(QStringLiteral(" "));
}

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

// Wall-clock and processor time of one step. The machine may be shared, so
// processor time is shown beside the wall clock: it hardly moves with load.
struct Times {
    std::vector<double> wall, cpu;
};

double ownCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

class Stopwatch {
public:
    Stopwatch() : cpu_(ownCpuMs()) { wall_.start(); }
    void stop(Times &times) const
    {
        times.wall.push_back(double(wall_.nsecsElapsed()) / 1e6);
        times.cpu.push_back(ownCpuMs() - cpu_);
    }

private:
    QElapsedTimer wall_;
    double cpu_;
};

// The same list query through the command line, its output thrown away.
void runCli(const QString &database, const QString &query, Times &times)
{
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    const double cpu = childrenCpuMs();
    QElapsedTimer wall;
    wall.start();
    cli.start(QStringLiteral("sqlcipher"), {database});
    cli.write("PRAGMA key = 'wubd';\n" + query.toUtf8() + ";\n");
    cli.closeWriteChannel();
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
        throw SpinlogError(QStringLiteral("sqlcipher failed: ") +
                           QString::fromLocal8Bit(cli.readAllStandardError()));
    times.wall.push_back(double(wall.nsecsElapsed()) / 1e6);
    times.cpu.push_back(childrenCpuMs() - cpu);
}

void print(const char *what, const Times &times, const Times *cli = nullptr)
{
    std::printf("  %-32s wall %5.0f ms  cpu %5.0f ms", what, median(times.wall), median(times.cpu));
    if (cli)
        std::printf("  ratio wall %.2f cpu %.2f", median(times.wall) / median(cli->wall),
                    median(times.cpu) / median(cli->cpu));
    std::printf("   (wall %s)\n", qPrintable(runs(times.wall)));
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFont::insertSubstitution(kLayoutFontFamily, QStringLiteral("IPAPGothic"));
    QApplication::setFont(layoutFont(9));

    QTemporaryDir dir;
    const QString dbPath = dir.filePath(QStringLiteral("Spinlog.mdb"));
    if (!dir.isValid() || !QFile::copy(QStringLiteral(SPINLOG_APP_DIR "/Spinlog.mdb"), dbPath)) {
        std::fprintf(stderr, "bench_history: no delivered database in %s\n", SPINLOG_APP_DIR);
        return 1;
    }
    QFile::setPermissions(dbPath, QFile::ReadOwner | QFile::WriteOwner);

    BenchPrompts prompts;
    prompts.exportPath = dir.filePath(QStringLiteral("all.csv"));
    SteadyClock clock;
    SilentSound sound;
    DesktopShell shell;
    BenchApp benchApp(dir.path());
    Program program(Services{prompts, clock, sound, shell, benchApp});
    program.CurTypeID = QStringLiteral("1");

    try {
        QElapsedTimer timer;
        timer.start();
        {
            auto db = Database::open(dbPath);
            generate(*db);
        }
        std::printf("history: %d series generated in %.0f ms, file %.1f MB\n", kSeries,
                    double(timer.nsecsElapsed()) / 1e6, double(QFile(dbPath).size()) / 1e6);

        const QString listQuery = historyListQuery(0, 0).sql;
        const QString averageQuery = historyListQuery(0, 2).sql;
        // The same list with every field of both tables, for reference.
        const QString starQuery = QStringLiteral(
            "select * from T_Time, MT_Type where T_Time.TypeID=MT_Type.TypeID  order by DateTime");
        Times cliList, cliStar, cliAverage, open, resort, exportAll;
        QLabel best, average;
        int listed = 0;
        qint64 csvBytes = 0;
        for (int run = 0; run < kRuns; ++run) {
            // The program holds the file exclusively; the command line runs
            // while it is closed.
            runCli(dbPath, listQuery, cliList);
            runCli(dbPath, starQuery, cliStar);
            runCli(dbPath, averageQuery, cliAverage);

            program.gDB = Database::open(dbPath);
            std::optional<Stopwatch> watch(std::in_place);
            auto view = std::make_unique<frmView>(program, &best, &average);
            view->show();
            QApplication::processEvents();
            watch->stop(open);
            listed = view->lblKensu->text().toInt();

            watch.emplace();
            view->cmbOrder->setCurrentIndex(2);
            QApplication::processEvents();
            watch->stop(resort);

            watch.emplace();
            view->Sub_OutputCSV();
            watch->stop(exportAll);
            csvBytes = QFile(prompts.exportPath).size();

            view->cmbOrder->setCurrentIndex(0);
            view->close();
            view.reset();
            QApplication::processEvents();
            program.gDB.reset();
        }

        std::printf("history: %d series listed, CSV %.1f MB, medians of %d runs\n", listed,
                    double(csvBytes) / 1e6, kRuns);
        print("sqlcipher CLI, list by date", cliList);
        print("sqlcipher CLI, list by average", cliAverage);
        print("sqlcipher CLI, select * by date", cliStar);
        print("open window", open, &cliList);
        print("re-sort by average", resort, &cliAverage);
        print("CSV export of all rows", exportAll);
        std::printf("  peak memory (VmHWM)              %.0f MB\n",
                    double(statusKb("VmHWM:")) / 1024);
    } catch (const SpinlogError &e) {
        std::fprintf(stderr, "bench_history: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
