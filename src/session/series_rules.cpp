#include "session/series_rules.h"

#include "base/errors.h"
#include "base/number_text.h"
#include "base/shown_text.h"
#include "base/time_values.h"

#include <algorithm>

namespace spinlog {

PuzzleType missingType(const TypeId &id, const QString &listName)
{
    return {id, listName, std::nullopt, AverageRule::LeaveOutBestWorst, true, QString()};
}

QString unusableTypeText(const PuzzleType &type)
{
    const QString stored =
        type.storedCount.isEmpty() ? Text::tr("なし", "no count") : type.storedCount;
    return Text::tr(
               "タイプ「%1」の回数(%2)では計測できません。\r\n"
               "オプションのタイプ設定で回数を1～12から選んでください")
        .arg(type.name, stored);
}

BestWorst bestAndWorst(const std::vector<Solve> &solves)
{
    if (solves.empty())
        return {};
    auto faster = [](const Solve &a, const Solve &b) {
        return a.hundredths != b.hundredths ? a.hundredths < b.hundredths : a.no < b.no;
    };
    const auto [best, worst] = std::minmax_element(solves.begin(), solves.end(), faster);
    return {best->no, worst->no};
}

Counted seriesAverage(const std::vector<Solve> &solves, AverageRule rule, const BestWorst &marks)
{
    // With fewer than three solves nothing would remain once best and worst
    // are out (a type table edited by hand): all of them count then.
    const bool leaveOut = rule == AverageRule::LeaveOutBestWorst && solves.size() >= 3;
    std::int64_t sum = 0;
    std::int64_t count = 0;
    for (const Solve &s : solves) {
        // A DNF is the slowest solve: left out as the worst when the best
        // and the worst are; any other DNF makes the average a DNF.
        if (leaveOut && (s.no == marks.best || s.no == marks.worst))
            continue;
        if (s.hundredths >= kDnfHundredths)
            return Counted::dnfResult();
        sum += s.hundredths;
        ++count;
    }
    if (count == 0)
        throw SpinlogError(Text::tr("0 で除算しました。"));
    return {roundedMean(sum, count), false};
}

SeriesRecord seriesRecord(const QDateTime &now, const TypeId &typeId,
                          const std::array<QString, 12> &labels, const QString &average,
                          const std::vector<Solve> &solves)
{
    SeriesRecord r;
    r.dateTime = now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    r.typeId = typeId;
    for (std::size_t i = 0; i < labels.size(); ++i)
        r.times[i] = labels[i].isEmpty() ? QStringLiteral("-") : labels[i];
    r.aveTime = average;
    const std::optional<Counted> averaged = countedFromText(average);
    if (!averaged)
        throw SpinlogError(describe::typeMismatch());
    r.aveHundredths = averaged->hundredths;

    const BestWorst marks = bestAndWorst(solves);
    for (const Solve &s : solves) {
        if (s.no >= 1 && s.no <= 12) {
            r.attempts[std::size_t(s.no - 1)] = s.attempt;
            r.details[std::size_t(s.no - 1)] = s.details;
        }
        if (s.no == marks.best) {
            r.bestNo = s.no;
            r.bestTime = s.time;
        }
        if (s.no == marks.worst) {
            r.worstNo = s.no;
            r.worstTime = s.time;
        }
    }
    // The numbers are those of the display texts, as the history shows them.
    for (auto [text, hundredths] :
         {std::pair{&r.bestTime, &r.bestHundredths}, std::pair{&r.worstTime, &r.worstHundredths}}) {
        const std::optional<Counted> value = countedFromText(*text);
        if (!value)
            throw SpinlogError(describe::typeMismatch());
        *hundredths = value->hundredths;
    }
    return r;
}

SeriesRecord seriesOfAttempts(const QString &dateTime, const TypeId &typeId,
                              const std::vector<Attempt> &attempts, AverageRule rule)
{
    if (attempts.empty() || attempts.size() > 12)
        throw SpinlogError(describe::invalidArgument());
    std::array<QString, 12> labels;
    std::vector<Solve> solves;
    solves.reserve(attempts.size());
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        labels[i] = attempts[i].text();
        solves.push_back(
            {int(i) + 1, attempts[i].counted().hundredths, labels[i], attempts[i], {}});
    }
    const Counted average = seriesAverage(solves, rule, bestAndWorst(solves));
    SeriesRecord r = seriesRecord({}, typeId, labels, countedText(average), solves);
    r.dateTime = dateTime;
    return r;
}

SeriesRecord withPenalty(const SeriesRecord &saved, int no, Penalty penalty, AverageRule rule)
{
    std::vector<Attempt> attempts;
    for (int n = 1; n <= 12 && saved.times[std::size_t(n - 1)] != QStringLiteral("-"); ++n) {
        std::optional<Attempt> attempt = saved.attempts[std::size_t(n - 1)];
        if (!attempt)
            throw SpinlogError(describe::typeMismatch());
        if (n == no)
            attempt->penalty = penalty;
        attempts.push_back(*attempt);
    }
    if (no < 1 || no > int(attempts.size()))
        throw SpinlogError(describe::invalidArgument());
    SeriesRecord r = seriesOfAttempts(saved.dateTime, saved.typeId, attempts, rule);
    r.details = saved.details;
    return r;
}

}  // namespace spinlog
