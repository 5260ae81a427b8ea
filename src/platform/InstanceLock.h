#pragma once
#include <QString>

// Single-instance lock: an exclusive advisory lock on a file named after the program in the
// user's runtime folder. The kernel drops it when the process ends, however it ends, so a
// killed instance never blocks the next start.
class InstanceLock {
public:
    explicit InstanceLock(const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    enum class Acquire {
        Held,         // this process holds the lock now
        HeldElsewhere, // another running copy holds it
        Failed        // the lock file could not be made or locked; errorString() says why
    };
    Acquire tryAcquire();
    QString errorString() const { return error_; }
    QString path() const { return path_; }

    // $XDG_RUNTIME_DIR, or a per-user folder in the temp folder when that is unset.
    static QString runtimeFolder();

private:
    QString path_;
    QString error_;
    int fd_ = -1;
};
