#include "scramble/scramble_command.h"

#include "base/shown_text.h"
#include "scramble/scramble.h"

#include <QRegularExpression>
#include <algorithm>
#include <thread>
#include <vector>

namespace spinlog {

namespace {

constexpr int kPerWorker = 100;  // fewer scrambles than this share no worker

QString kindList()
{
    QStringList names;
    for (ScrambleKind kind : kScrambleKinds) names << kindName(kind);
    return names.join(QLatin1String(", "));
}

int fail(QTextStream &err, const QString &message)
{
    err << "spinlog: " << message << Text::tr("(spinlog --help で使い方を表示します)") << "\n";
    err.flush();
    return 2;
}

}  // namespace

bool isScrambleCommand(const QStringList &args)
{
    return args.value(0) == QLatin1String("--scramble");
}

QString scrambleUsage()
{
    return Text::tr(
               "        spinlog --scramble 種類 [個数]   スクランブルを個数分 (既定 1、"
               "最大 %1) 1 行に 1 つずつ出力します\n"
               "        種類: %2\n")
        .arg(kMaxScrambleCount)
        .arg(kindList());
}

int runScrambleCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.value(0) != QLatin1String("--scramble") || args.size() < 2 || args.size() > 3)
        return fail(err, Text::tr("--scramble 種類 [個数] の形で指定してください。"));
    const std::optional<ScrambleKind> kind = kindFromName(args[1]);
    if (!kind)
        return fail(
            err,
            Text::tr("スクランブルの種類「%1」はありません。種類: %2。").arg(args[1], kindList()));
    int count = 1;
    if (args.size() == 3) {
        // Digits only: no sign, no spaces, no exponent.
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
        count = digits.match(args[2]).hasMatch() ? args[2].toInt() : 0;
        if (count < 1 || count > kMaxScrambleCount)
            return fail(err, Text::tr("個数は 1 から %1 までの整数で指定してください (「%2」)。")
                                 .arg(kMaxScrambleCount)
                                 .arg(args[2]));
    }
    // Many scrambles are shared among the cores (at most four), each worker
    // with its own engine; the order of random scrambles means nothing.
    const int workers = std::min({std::max(1, int(std::thread::hardware_concurrency())), 4,
                                  (count + kPerWorker - 1) / kPerWorker});
    std::vector<QStringList> lines(workers);
    std::vector<std::thread> pool;
    for (int w = 0; w < workers; ++w)
        pool.emplace_back([&, w] {
            std::mt19937_64 rng = scrambleEngine();
            for (int i = w; i < count; i += workers) lines[w] << generateScramble(*kind, rng).text;
        });
    for (std::thread &worker : pool) worker.join();
    for (const QStringList &part : lines)
        for (const QString &line : part) out << line << '\n';
    out.flush();
    return 0;
}

}  // namespace spinlog
