#pragma once
#include <QByteArray>
#include <QString>

// Whole-file reads with a size bound and writes that never leave a file half-written.
namespace zeltra::safefile {

struct ReadResult {
    QByteArray data;   // at most the bound asked for
    qint64 size = 0;   // the file's full size
    QString error;     // empty when the read worked
    bool ok() const { return error.isEmpty(); }
};

// Reads the first `limit` bytes of a regular file (all of it when shorter).
ReadResult readHead(const QString& path, qint64 limit);

// Writes `data` to a temporary file beside `path`, syncs it and renames it over `path`, which
// keeps its permission bits. On failure the old file is untouched and the system's reason is
// returned; empty on success. A link is written through only when it leads to a regular file;
// a target that exists and is not a regular file (a folder, a pipe, a device) is refused before
// anything is written. Our own temporary files of this file that an interrupted save left
// behind (older than a minute) are removed first.
QString writeAtomic(const QString& path, const QByteArray& data);

// Why a save to `path` would fail, found out beforehand without changing anything there:
// a link to nothing, a target that is not a regular file, a folder that takes no new file, a
// name too long. Empty when it can.
QString saveProblem(const QString& path);

// The name pattern of the temporary files a save of `path` makes: ".<name>.zeltra-" and six
// random letters and digits (a long name cut short to fit). No other file is ever taken for
// ours.
QString temporaryPattern(const QString& path);

// Removes our temporary files of `path` (temporaryPattern) older than `minAgeSecs`.
void removeStaleTemporaries(const QString& path, int minAgeSecs = 60);

// The same, but leaves the file alone (no write, same inode and time) when it already holds
// exactly `data`. `written`, when given, tells whether the file was replaced.
QString writeIfChanged(const QString& path, const QByteArray& data, bool* written = nullptr);

// False when Qt cannot name the file faithfully: a name whose bytes are not valid UTF-8 is
// decoded with U+FFFD, and that text names another file (or none).
bool nameIsFaithful(const QString& path);

// "dir/name.ext" -> "name.ext"
QString fileNameOf(const QString& path);
// "dir/name.ext" -> "dir/" (with the trailing separator)
QString folderOf(const QString& path);

} // namespace zeltra::safefile
