#include "Pty.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace zeltra::emu {

std::optional<Pty> openRawPty(QString& error)
{
    termios tio{};
    cfmakeraw(&tio);
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    Pty pty;
    if (openpty(&pty.master, &pty.slave, nullptr, &tio, nullptr) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    char name[256] = {};
    if (ttyname_r(pty.slave, name, sizeof name) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        closePty(pty);
        return std::nullopt;
    }
    pty.path = QString::fromLocal8Bit(name);
    return pty;
}

void closePty(Pty& pty)
{
    if (pty.slave >= 0)
        ::close(pty.slave);
    if (pty.master >= 0)
        ::close(pty.master);
    pty.slave = pty.master = -1;
}

bool makeLink(const QString& link, const QString& target, QString& error)
{
    const QFileInfo existing(link);
    if ((existing.exists() || existing.isSymLink()) && !existing.isSymLink()) {
        error = QStringLiteral("%1 exists and is not a symlink").arg(link);
        return false;
    }
    // A fresh link renamed over the old one: the name never points nowhere.
    const QString temp = QStringLiteral("%1.%2.tmp").arg(link).arg(::getpid());
    QFile::remove(temp);
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(temp).constData()) !=
            0 ||
        ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(link).constData()) != 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temp);
        return false;
    }
    return true;
}

void removeLink(const QString& link, const QString& target)
{
    if (QFileInfo(link).isSymLink() && QFileInfo(link).symLinkTarget() == target)
        QFile::remove(link);
}

} // namespace zeltra::emu
