#include "interop/twisty_file.h"

#include <array>

namespace spinlog {

namespace {

struct TwistyPuzzle {
    const char *code;
    const char *name;
};

constexpr std::array<TwistyPuzzle, 11> kPuzzles{{{"222", "2x2x2"},
                                                 {"333", "3x3x3"},
                                                 {"444", "4x4x4"},
                                                 {"555", "5x5x5"},
                                                 {"666", "6x6x6"},
                                                 {"777", "7x7x7"},
                                                 {"pyra", "Pyraminx"},
                                                 {"skewb", "Skewb"},
                                                 {"mega", "Megaminx"},
                                                 {"sq1", "Square-1"},
                                                 {"clock", "Clock"}}};

// A field as Twisty Timer writes it: as it is, in double quotes.
QByteArray field(const QByteArray &text)
{
    return '"' + text + '"';
}

}  // namespace

QString twistyPuzzleName(const QByteArray &code)
{
    for (const TwistyPuzzle &puzzle : kPuzzles)
        if (code == puzzle.code)
            return QString::fromLatin1(puzzle.name);
    return QString::fromUtf8(code);
}

std::pair<QByteArray, QByteArray> twistyPuzzleOf(const QString &typeName)
{
    const QString name = typeName.trimmed();
    for (const TwistyPuzzle &puzzle : kPuzzles) {
        const QLatin1String known(puzzle.name);
        if (name.compare(known, Qt::CaseInsensitive) == 0)
            return {puzzle.code, "Normal"};
        // "3x3x3 OH", "3x3x3目隠し": the rest names the category.
        if (name.startsWith(known, Qt::CaseInsensitive)) {
            const QString category = name.mid(known.size()).trimmed();
            return {puzzle.code, category.toUtf8()};
        }
    }
    return {name.toUtf8(), "Normal"};
}

TwistyWriter::TwistyWriter()
    : out_("Puzzle,Category,Time(millis),Date(millis),Scramble,Penalty,Comment\n")
{
}

void TwistyWriter::add(const QString &typeName, const Attempt &attempt, const SolveDetails &details)
{
    if (!named_ || typeName != lastName_) {
        named_ = true;
        lastName_ = typeName;
        puzzle_ = twistyPuzzleOf(typeName);
    }
    std::int64_t ms = details.rawMs.value_or(attempt.raw * 10);
    // Twisty Timer keeps a +2 solve's time with its two seconds in.
    if (attempt.penalty == Penalty::PlusTwo)
        ms += 2000;
    const char *penalty = attempt.penalty == Penalty::PlusTwo ? "1"
                          : attempt.penalty == Penalty::Dnf   ? "2"
                                                              : "0";
    out_ += field(puzzle_.first) + ';' + field(puzzle_.second) + ';' +
            field(QByteArray::number(ms)) + ';' +
            field(QByteArray::number(details.moment.value_or(0))) + ';' +
            field(details.scramble.toUtf8()) + ';' + field(penalty) + ';' +
            field(details.comment.toUtf8()) + '\n';
}

}  // namespace spinlog
