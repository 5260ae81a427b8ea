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

// Writes `data` to a temporary file beside `path`, flushes it and renames it over `path`.
// On failure the old file is untouched and the system's reason is returned; empty on success.
QString writeAtomic(const QString& path, const QByteArray& data);

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
