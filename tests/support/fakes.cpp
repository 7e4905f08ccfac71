#include "support/fakes.h"

namespace spinlog::test {

template <typename T>  // the first of the script, or otherwise when it has run out
static T take(std::deque<T> &script, T otherwise)
{
    if (script.empty())
        return otherwise;
    T first = script.front();
    script.pop_front();
    return first;
}

Answer FakePrompts::message(const QString &text, Icon icon, Buttons buttons, Answer defaultButton)
{
    boxes.push_back({text, icon, buttons, defaultButton});
    if (onMessage)
        onMessage(boxes.back());
    return buttons == Buttons::Ok ? Answer::Ok : take(answers, Answer::Yes);
}

std::optional<std::uint32_t> FakePrompts::pickColor()
{
    return take(colors, std::optional<std::uint32_t>());
}

std::optional<QString> FakePrompts::saveFile(const SaveFileRequest &request)
{
    saveRequests.push_back(request);
    const QString file = take(saveFiles, QString());
    return file.isEmpty() ? std::nullopt : std::optional(file);
}

std::optional<QString> FakePrompts::inputText(const QString &title, const QString &label,
                                              const QString &text)
{
    inputShown << title << label << text;
    if (inputs.empty())
        return std::nullopt;
    const bool given = inputs.front().has_value();
    const QString written = inputs.front().value_or(QString());
    inputs.pop_front();
    return given ? std::optional(written) : std::nullopt;
}

QStringList FakePrompts::texts() const
{
    QStringList list;
    for (const auto &box : boxes) list << box.text;
    return list;
}

}  // namespace spinlog::test
