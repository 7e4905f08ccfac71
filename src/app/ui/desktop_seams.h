#pragma once
// The seams as the real desktop provides them.

#include "app/instance_lock.h"
#include "base/seams.h"

#include <QElapsedTimer>
#include <memory>

class QSoundEffect;

namespace spinlog {

class QtPrompts : public Prompts {
public:
    Answer message(const QString &text, Icon icon, Buttons buttons, Answer defaultButton) override;
    std::optional<std::uint32_t> pickColor() override;
    std::optional<QString> saveFile(const SaveFileRequest &request) override;
    std::optional<QString> inputText(const QString &title, const QString &label,
                                     const QString &text) override;
};

class SteadyClock : public Clock {
public:
    std::int64_t monotonicNs() const override;
    QDateTime localNow() const override;
};

class QtSound : public Sound {
public:
    QtSound();
    ~QtSound() override;
    void play(const QString &path) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

class DesktopShell : public Shell {
public:
    int openFile(const QString &path) override;
    bool openUrl(const QString &address) override;
    bool openFolder(const QString &path) override;
};

class RealApp : public App {
public:
    // folder: the application folder; empty, the folder holding the program.
    explicit RealApp(QString folder = {}) : folder_(std::move(folder)) {}
    QString folder() const override;
    bool claimSingleInstance() override;
    void endNow() override;

private:
    QString folder_;
    InstanceLock lock_;
};

}  // namespace spinlog
