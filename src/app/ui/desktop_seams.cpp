#include "app/ui/desktop_seams.h"

#include "app/help.h"
#include "base/version.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSoundEffect>
#include <QUrl>
#include <chrono>
#include <cstdlib>

namespace spinlog {

Answer QtPrompts::message(const QString &text, Icon icon, Buttons buttons, Answer defaultButton)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(version::kTitle);
    box.setText(text);
    switch (icon) {
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

std::optional<std::uint32_t> QtPrompts::pickColor()
{
    const QColor color = QColorDialog::getColor(Qt::white, QApplication::activeWindow());
    if (!color.isValid())
        return std::nullopt;
    return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) |
           (std::uint32_t(color.blue()) << 16);
}

std::optional<QString> QtPrompts::inputText(const QString &title, const QString &label,
                                            const QString &text)
{
    bool ok = false;
    const QString written = QInputDialog::getText(QApplication::activeWindow(), title, label,
                                                  QLineEdit::Normal, text, &ok);
    return ok ? std::optional(written) : std::nullopt;
}

std::optional<QString> QtPrompts::saveFile(const SaveFileRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.selectedFilter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::int64_t SteadyClock::monotonicNs() const
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QDateTime SteadyClock::localNow() const
{
    return QDateTime::currentDateTime();
}

QtSound::QtSound() = default;
QtSound::~QtSound() = default;

void QtSound::play(const QString &path)
{
    const QUrl source = QUrl::fromLocalFile(path);
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
    }
    if (effect_->source() != source)
        effect_->setSource(source);
    // A newer alarm replaces one still playing.
    effect_->stop();
    effect_->play();
}

int DesktopShell::openFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        return 2;
    // The opener reports success as soon as it has started, even when it then
    // finds no program for the file.
    if (!desktopHasProgramFor(path))
        return 31;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 42 : 31;
}

bool DesktopShell::openUrl(const QString &address)
{
    return QDesktopServices::openUrl(QUrl(address));
}

bool DesktopShell::openFolder(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QString RealApp::folder() const
{
    return folder_.isEmpty() ? QCoreApplication::applicationDirPath() : folder_;
}

bool RealApp::claimSingleInstance()
{
    return lock_.claim(folder());
}

void RealApp::endNow()
{
    lock_.release();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace spinlog
