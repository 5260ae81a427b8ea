#pragma once
#include <QString>

#include <sys/stat.h>

// What a file's permission bits allow this user. Root is judged by the bits as well: its
// privilege lets it write anywhere, which says nothing about whether a folder is meant to be
// written or a device is meant to be opened by a plain user.
namespace zeltra::platform {

// True when the user's effective group or one of its supplementary groups is `gid`.
bool inOwnGroups(gid_t gid);

// The owner, group or other bits that apply to this user.
bool modeAllows(const struct stat& st, bool read, bool write);

// False when the path cannot be examined.
bool modeAllows(const QString& path, bool read, bool write);

// What this user may do with the file: a plain user is asked about through access(2), which
// also knows access control lists and read-only mounts; root by the permission bits as well.
bool userMay(const QString& path, bool read, bool write);

// The group's name, or its number when it has none.
QString groupName(gid_t gid);

// The login name of the user running the program, or its number.
QString userName();

} // namespace zeltra::platform
