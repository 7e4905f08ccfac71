#pragma once
// One running copy per application folder: an advisory lock held on the
// folder itself, so every copy started from that folder meets it whatever its
// environment, and a read-only folder needs nothing written. The system drops
// the lock of a process that ends in any way, so a killed copy's claim is
// taken over.

#include <QString>

namespace spinlog {

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { release(); }
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // False only when another holder has the folder. A folder that cannot be
    // locked at all (a file system without locks) does not keep the program
    // from starting: the database's own lock still keeps a second copy out.
    bool claim(const QString &appFolder);
    void release();

private:
    int fd_ = -1;
};

}  // namespace spinlog
