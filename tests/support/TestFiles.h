#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

// The file's inode and change time: both stay the same only when nothing wrote the file
// (an atomic save renames a new inode over the old one).
inline QString fileIdentity(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("<none>");
    return QStringLiteral("%1:%2.%3").arg(st.st_ino).arg(st.st_ctim.tv_sec).arg(st.st_ctim.tv_nsec);
}

// Runs `work` as an unprivileged user and returns what it returned. Root may write anywhere,
// so as root it runs in a child process that has given up root (user and group "nobody");
// folders it needs must be open to that user.
inline QByteArray asUnprivileged(const std::function<QByteArray()>& work)
{
    if (::geteuid() != 0)
        return work();
    int fds[2];
    if (::pipe(fds) != 0)
        return "<no pipe>";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const QByteArray out = dropped ? work() : QByteArray("<could not give up root>");
        [[maybe_unused]] auto n = ::write(fds[1], out.constData(), std::size_t(out.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray out;
    char buf[512];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, n);
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return out;
}

// Puts something that is not a regular file at `path`: "folder", "pipe" or "device" (a
// character device like /dev/null; only root may make one, so false otherwise).
inline bool makeInTheWay(const QString& what, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (what == QLatin1String("folder"))
        return ::mkdir(name.constData(), 0755) == 0;
    if (what == QLatin1String("pipe"))
        return ::mkfifo(name.constData(), 0644) == 0;
    return ::geteuid() == 0 && ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

// Lowers the file size limit for the lifetime of the object, so that a write fails the way
// a full disk makes it fail, also for root.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lower = old;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};
