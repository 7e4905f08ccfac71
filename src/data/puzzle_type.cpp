#include "data/puzzle_type.h"

#include "base/shown_text.h"

#include "base/errors.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace spinlog {

std::optional<int> seriesLengthOf(const QString &typeCnt)
{
    bool number = false;
    const double n = QLocale::c().toDouble(typeCnt.trimmed(), &number);
    if (number && n >= 1 && n <= 12 && n == std::floor(n))
        return int(n);
    return std::nullopt;
}

AverageRule averageRuleOf(const QString &typeBW)
{
    return typeBW == QStringLiteral("1") ? AverageRule::CountBestWorst
                                         : AverageRule::LeaveOutBestWorst;
}

QString typeBWText(AverageRule rule)
{
    return rule == AverageRule::CountBestWorst ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<int> typeNumber(const TypeId &id)
{
    const QString &text = id.text();
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int n = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

void sortByNumber(std::vector<PuzzleType> &types)
{
    std::stable_sort(types.begin(), types.end(), [](const PuzzleType &a, const PuzzleType &b) {
        const std::optional<int> x = typeNumber(a.id), y = typeNumber(b.id);
        if (x && y)
            return *x < *y;
        if (x || y)
            return bool(x);
        return a.id.text() < b.id.text();
    });
}

PuzzleType puzzleTypeOf(const QString &id, const QString &name, const QString &count,
                        const QString &bestWorst, bool inspected)
{
    return {TypeId(id), name, seriesLengthOf(count), averageRuleOf(bestWorst), inspected, count};
}

QString TypeChoices::everyType()
{
    return Text::tr("全て");
}

TypeChoices::TypeChoices(std::vector<PuzzleType> types, QString leading)
    : types_(std::move(types)), leading_(std::move(leading)), first_(leading_.isEmpty() ? 0 : 1)
{
}

QStringList TypeChoices::entries() const
{
    QStringList entries;
    if (first_ == 1)
        entries << leading_;
    for (const PuzzleType &type : types_) entries << type.name;
    return entries;
}

int TypeChoices::count() const
{
    return first_ + int(types_.size());
}

const PuzzleType *TypeChoices::typeAt(int entry) const
{
    const int index = entry - first_;
    return index >= 0 && index < int(types_.size()) ? &types_[std::size_t(index)] : nullptr;
}

TypeFilter TypeChoices::filterAt(int entry) const
{
    if (first_ == 1 && entry == 0)
        return {};
    const PuzzleType *type = typeAt(entry);
    if (!type)
        throw SpinlogError(describe::invalidArgument());
    return TypeFilter(type->id);
}

int TypeChoices::entryOf(const TypeId &id) const
{
    for (std::size_t i = 0; i < types_.size(); ++i)
        if (types_[i].id == id)
            return first_ + int(i);
    return -1;
}

int TypeChoices::entryOf(const TypeFilter &filter) const
{
    if (filter.all())
        return first_ == 1 ? 0 : -1;
    return entryOf(filter.type());
}

QString TypeChoices::nameOf(const TypeFilter &filter) const
{
    if (filter.all())
        return leading_;
    const PuzzleType *type = typeAt(entryOf(filter.type()));
    return type ? type->name : QString();
}

}  // namespace spinlog
