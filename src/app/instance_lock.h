#pragma once
// One running copy per application folder: a lock file in the user's runtime
// folder named after the folder. A lock left by a killed process is taken over.

#include <QLockFile>
#include <QString>
#include <memory>

namespace spinlog {

class InstanceLock {
public:
    bool claim(const QString &appFolder);
    void release();
    static QString lockPath(const QString &appFolder);

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace spinlog
