#include "platform/FileAccess.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace zeltra::platform {

bool inOwnGroups(gid_t gid) {
    if (gid == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(std::size_t(count), 0);
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[std::size_t(i)] == gid)
            return true;
    }
    return false;
}

bool modeAllows(const struct stat& st, bool read, bool write) {
    mode_t r = S_IROTH, w = S_IWOTH;
    if (st.st_uid == ::geteuid()) {
        r = S_IRUSR;
        w = S_IWUSR;
    } else if (inOwnGroups(st.st_gid)) {
        r = S_IRGRP;
        w = S_IWGRP;
    }
    return (!read || (st.st_mode & r)) && (!write || (st.st_mode & w));
}

bool modeAllows(const QString& path, bool read, bool write) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return modeAllows(st, read, write);
}

bool userMay(const QString& path, bool read, bool write) {
    const int mode = (read ? R_OK : 0) | (write ? W_OK : 0);
    if (::access(QFile::encodeName(path).constData(), mode == 0 ? F_OK : mode) != 0)
        return false;
    return ::geteuid() != 0 || modeAllows(path, read, write);
}

QString groupName(gid_t gid) {
    const group* g = ::getgrgid(gid);
    return g && g->gr_name ? QString::fromLocal8Bit(g->gr_name) : QString::number(gid);
}

QString userName() {
    const passwd* p = ::getpwuid(::geteuid());
    return p && p->pw_name ? QString::fromLocal8Bit(p->pw_name) : QString::number(::geteuid());
}

} // namespace zeltra::platform
