#include "support/fakes.h"

#include <QFileInfo>

namespace spinlog::test {

Answer FakePrompts::message(const QString &text, Icon icon, Buttons buttons, Answer defaultButton)
{
    ShownBox box{text, icon, buttons, defaultButton};
    boxes.push_back(box);
    if (onMessage)
        onMessage(box);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (answers.empty())
        return Answer::Yes;
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::uint32_t> FakePrompts::pickColor()
{
    ++colorRequests;
    if (colors.empty())
        return std::nullopt;
    auto color = colors.front();
    colors.pop_front();
    return color;
}

std::optional<QString> FakePrompts::saveFile(const SaveFileRequest &request)
{
    saveRequests.push_back(request);
    if (saveFiles.empty())
        return std::nullopt;
    const QString file = saveFiles.front();
    saveFiles.pop_front();
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

QStringList FakePrompts::texts() const
{
    QStringList list;
    for (const auto &box : boxes)
        list << box.text;
    return list;
}

int FakeShell::openFile(const QString &path)
{
    files << path;
    return QFileInfo::exists(path) ? openFileResult : 2;
}

bool FakeShell::openUrl(const QString &address)
{
    urls << address;
    return !fail;
}

bool FakeShell::openFolder(const QString &path)
{
    folders << path;
    return !fail;
}

FakeWorld::FakeWorld(const QString &folder)
    : app(folder), program(Services{prompts, clock, sound, shell, app})
{
}

}  // namespace spinlog::test
