#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString& name) : path_(runtimeFolder() + QLatin1Char('/') + name)
{
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString InstanceLock::runtimeFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(xdg).exists())
        return xdg;
    const QString own = QDir::tempPath() + QStringLiteral("/zeltra-%1").arg(::getuid());
    QDir().mkpath(own);
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return own;
}

InstanceLock::Acquire InstanceLock::tryAcquire()
{
    if (fd_ >= 0)
        return Acquire::Held;
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return Acquire::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int reason = errno;
        error_ = QString::fromLocal8Bit(std::strerror(reason));
        ::close(fd);
        // Only a lock that another process holds means another copy is running.
        return reason == EWOULDBLOCK ? Acquire::HeldElsewhere : Acquire::Failed;
    }
    fd_ = fd;
    return Acquire::Held;
}
