#include "link/PortDiagnosis.h"

#include "link/ComPorts.h"
#include "platform/FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zeltra::link {

namespace {

constexpr qint64 MaxLockBytes = 256;

QByteArray readHead(const QString& path, qint64 bytes) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

bool processAlive(qint64 pid) {
    if (pid <= 0 || pid > 0x3fffffff)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// The program's name as the system knows it, else the one the lock file gives.
QString processName(qint64 pid, const QString& fromLock) {
    const QString comm =
        QString::fromLocal8Bit(readHead(QStringLiteral("/proc/%1/comm").arg(pid), 64)).trimmed();
    return comm.isEmpty() ? fromLock : comm;
}

// A lock file holds the PID in text ("  1234\n", maybe followed by the program's name, on
// the same or the next line) or, in old programs, as four binary bytes.
LockHolder parseLock(const QByteArray& bytes) {
    LockHolder h;
    static const QRegularExpression text(
        QStringLiteral("^\\s*(\\d{1,10})\\s*([^\\n]*)\\n?([^\\n]*)"));
    const auto m = text.match(QString::fromLocal8Bit(bytes));
    if (m.hasMatch()) {
        h.pid = m.captured(1).toLongLong();
        h.name = m.captured(2).trimmed().section(QLatin1Char(' '), 0, 0);
        if (h.name.isEmpty())
            h.name = m.captured(3).trimmed();
    } else if (bytes.size() == 4) {
        std::int32_t pid = 0;
        std::memcpy(&pid, bytes.constData(), 4);
        h.pid = pid;
    }
    return h;
}

// Listed in the group database, yet the group is not among this login's groups.
bool listedInGroup(gid_t gid, const QString& user) {
    const group* g = ::getgrgid(gid);
    if (!g || !g->gr_mem)
        return false;
    for (char** m = g->gr_mem; *m; ++m) {
        if (QString::fromLocal8Bit(*m) == user)
            return true;
    }
    return false;
}

} // namespace

QStringList defaultLockFolders() {
    return {QStringLiteral("/var/lock"),       QStringLiteral("/run/lock"),
            QStringLiteral("/etc/locks"),      QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"), QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp")};
}

QStringList lockFileNames(const QString& path) {
    QString withFolders = path;
    if (withFolders.startsWith(QStringLiteral("/dev/")))
        withFolders = withFolders.mid(5);
    withFolders.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList names{QStringLiteral("LCK..") + QFileInfo(path).fileName()};
    if (!names.contains(QStringLiteral("LCK..") + withFolders))
        names << QStringLiteral("LCK..") + withFolders;
    return names;
}

LockHolder lockHolder(const QString& path, const QStringList& lockFolders) {
    for (const QString& folder : lockFolders) {
        for (const QString& name : lockFileNames(path)) {
            const QString file = folder + QLatin1Char('/') + name;
            if (!QFileInfo::exists(file))
                continue;
            LockHolder h = parseLock(readHead(file, MaxLockBytes));
            // The port this program has open is not held against it.
            if (h.pid != ::getpid() && processAlive(h.pid)) {
                h.name = processName(h.pid, h.name);
                return h;
            }
        }
    }
    return {};
}

PortDiagnosis diagnosePort(int number, const QString& path, const QString& systemError,
                           const QStringList& lockFolders) {
    PortDiagnosis d;
    d.number = number;
    d.path = path;
    if (path.isEmpty()) {
        d.reason = PortDiagnosis::Reason::NoDevice;
        return d;
    }
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0) {
        const int err = errno;
        d.reason = err == ENOENT || err == ENOTDIR ? PortDiagnosis::Reason::Missing
                                                   : PortDiagnosis::Reason::Other;
        d.systemError = QString::fromLocal8Bit(std::strerror(err));
        return d;
    }
    if (!platform::userMay(path, true, true)) {
        d.reason = PortDiagnosis::Reason::PermissionDenied;
        d.group = platform::groupName(st.st_gid);
        d.user = platform::userName();
        d.groupPending = !platform::inOwnGroups(st.st_gid) && listedInGroup(st.st_gid, d.user);
        return d;
    }
    const LockHolder h = lockHolder(path, lockFolders);
    if (h.pid != 0) {
        d.reason = PortDiagnosis::Reason::Held;
        d.holder = h.name;
        d.holderPid = h.pid;
        return d;
    }
    if (!S_ISCHR(st.st_mode)) {
        d.reason = PortDiagnosis::Reason::NotSerial;
        return d;
    }
    if (systemError.contains(QStringLiteral("lock"), Qt::CaseInsensitive) ||
        systemError.contains(QStringLiteral("busy"), Qt::CaseInsensitive)) {
        d.reason = PortDiagnosis::Reason::Held;
        return d;
    }
    if (!systemError.isEmpty()) {
        d.reason = PortDiagnosis::Reason::Other;
        d.systemError = systemError;
    }
    return d;
}

QString portFailureText(int number, const QString& systemError) {
    const QString path = comDevicePath(number, QProcessEnvironment::systemEnvironment());
    return diagnosePort(number, path, systemError).text();
}

QString PortDiagnosis::text() const {
    switch (reason) {
    case Reason::None:
        return {};
    case Reason::NoDevice:
        return QStringLiteral("COM%1 names no device: pick a port from the list "
                              "(COM1 is /dev/ttyS0, COM33 /dev/ttyUSB0, COM65 /dev/ttyACM0).")
            .arg(number);
    case Reason::Missing:
        return QStringLiteral("%1: no such device. Is the adapter plugged in? Pick the port it "
                              "appears as from the list.")
            .arg(path);
    case Reason::PermissionDenied:
        if (groupPending)
            return QStringLiteral("%1: permission denied. You are in the group \"%2\" that owns "
                                  "it, but not in this login: log out and in again.")
                .arg(path, group);
        return QStringLiteral("%1: permission denied. It belongs to the group \"%2\": add "
                              "yourself with  sudo usermod -aG %2 %3  then log out and in "
                              "again (a new login is needed).")
            .arg(path, group, user);
    case Reason::Held:
        if (holderPid != 0)
            return QStringLiteral("%1 is in use by %2 (PID %3): close that program or pick "
                                  "another port.")
                .arg(path, holder.isEmpty() ? QStringLiteral("another program") : holder)
                .arg(holderPid);
        return QStringLiteral("%1 is in use by another program: close it or pick another port.")
            .arg(path);
    case Reason::NotSerial:
        return QStringLiteral("%1 is not a serial device.").arg(path);
    case Reason::Other:
        break;
    }
    return QStringLiteral("%1: %2").arg(path, systemError);
}

QString PortDiagnosis::note() const {
    switch (reason) {
    case Reason::None:
        return {};
    case Reason::NoDevice:
    case Reason::Missing:
        return QStringLiteral("missing");
    case Reason::PermissionDenied:
        return QStringLiteral("no permission (group %1)").arg(group);
    case Reason::Held:
        if (holderPid == 0)
            return QStringLiteral("in use");
        return QStringLiteral("in use by %1 (PID %2)")
            .arg(holder.isEmpty() ? QStringLiteral("another program") : holder)
            .arg(holderPid);
    case Reason::NotSerial:
        return QStringLiteral("not a serial device");
    case Reason::Other:
        break;
    }
    return systemError;
}

} // namespace zeltra::link
