#include "model/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zeltra::safefile {

ReadResult readHead(const QString& path, qint64 limit)
{
    ReadResult r;
    const QFileInfo info(path);
    if (info.isDir()) {
        r.error = QStringLiteral("It is a folder, not a file.");
        return r;
    }
    if (info.exists() && !info.isFile()) { // a pipe or a device could block or never end
        r.error = QStringLiteral("It is not a regular file.");
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = file.errorString();
        return r;
    }
    r.size = file.size();
    r.data = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        r.error = file.errorString();
        r.data.clear();
    }
    return r;
}

namespace {
// Our temporary files: hidden, with the program's marker, so that no user's file (a backup
// "name.bak001", a copy "name.Jan24a") ever matches. ".<name>.zeltra-XXXXXX"
constexpr QLatin1StringView TemporaryMarker(".zeltra-");
constexpr int TemporaryExtra = 1 + 8 + 6; // the leading dot, the marker, six random characters

// The target's name as its temporary files carry it: cut short (by whole characters) where
// the marker would make the name longer than a folder entry may be.
QString temporaryStem(const QString& name)
{
    QString stem;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype n = name[i].isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        bytes += QFile::encodeName(name.mid(i, n)).size();
        if (bytes > NAME_MAX - TemporaryExtra)
            break;
        stem += name.mid(i, n);
        i += n;
    }
    return stem;
}

QString temporaryTemplate(const QString& target)
{
    return folderOf(target) + QLatin1Char('.') + temporaryStem(fileNameOf(target)) +
           TemporaryMarker + QStringLiteral("XXXXXX");
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a new file cannot be made beside `path`, when the folder is the reason; empty otherwise.
// A save always makes a new file in the folder, also when it replaces an existing one.
QString folderProblem(const QString& path)
{
    QString folder = folderOf(path);
    if (folder.isEmpty())
        folder = QStringLiteral("./");
    const QByteArray name = QFile::encodeName(folder);
    if (::access(name.constData(), F_OK) != 0)
        return QStringLiteral("The folder %1 does not exist.").arg(folder);
    if (::access(name.constData(), W_OK | X_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
        return QStringLiteral("The folder %1 is not writable.").arg(folder);
    return {};
}

// The file a save replaces: the end of the links for a link.
QString savedFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.canonicalFilePath() : path;
}

// A save replaces a regular file or makes a new one, nothing else: a pipe, a device node or
// a folder is never replaced by a file. A link must lead to a regular file that exists.
QString targetProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("It is a link to %1, which does not exist.")
            .arg(info.symLinkTarget());
    if (info.isDir())
        return QStringLiteral("It is a folder, not a file.");
    if (info.exists() && !info.isFile())
        return QStringLiteral("It is not a regular file.");
    // A file the user made read-only is not replaced behind its back.
    if (info.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0 && errno == EACCES)
        return QStringLiteral("Existing file %1 is not writable").arg(savedFile(path));
    return {};
}

// The mode a new file gets (as open(2) gives it), or the mode of the file it replaces.
mode_t savedMode(const QString& target)
{
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes all of `data` to `file`, which is opened unbuffered, so that a short write (disk
// full, size limit) shows here with the system's reason.
QString writeAll(QFile& file, const QByteArray& data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return file.errorString();
        done += n;
    }
    return {};
}
} // namespace

QString temporaryPattern(const QString& path)
{
    return QLatin1Char('.') + temporaryStem(fileNameOf(path)) + TemporaryMarker + QStringLiteral("??????");
}

void removeStaleTemporaries(const QString& path, int minAgeSecs)
{
    const QFileInfo target(path);
    const QString name = target.fileName();
    if (name.isEmpty())
        return;
    const QRegularExpression ours(QStringLiteral("^\\.%1%2[A-Za-z0-9]{6}$")
                                      .arg(QRegularExpression::escape(temporaryStem(name)),
                                           QRegularExpression::escape(TemporaryMarker)));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-minAgeSecs);
    const QDir folder = target.absoluteDir();
    const auto candidates = folder.entryInfoList({temporaryPattern(name)},
                                                 QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& f : candidates)
        if (ours.match(f.fileName()).hasMatch() && f.lastModified().toUTC() < before)
            QFile::remove(f.absoluteFilePath());
}

QString saveProblem(const QString& path)
{
    if (QString e = targetProblem(path); !e.isEmpty())
        return e;
    // The temporary file's name is the longest a save makes.
    const QString target = savedFile(path);
    const qsizetype nameBytes = QFile::encodeName(fileNameOf(target)).size();
    const qsizetype pathBytes = QFile::encodeName(QFileInfo(target).absoluteFilePath()).size();
    if (nameBytes > NAME_MAX || pathBytes + TemporaryExtra >= PATH_MAX)
        return QStringLiteral("The file name is too long.");
    // A file made there shows whether the folder takes new files.
    QTemporaryFile probe(temporaryTemplate(target));
    if (probe.open())
        return {};
    if (QString folder = folderProblem(target); !folder.isEmpty())
        return folder;
    return probe.errorString();
}

QString writeAtomic(const QString& path, const QByteArray& data)
{
    if (QString e = targetProblem(path); !e.isEmpty())
        return e;
    const QString target = savedFile(path);
    removeStaleTemporaries(target);
    QTemporaryFile file(temporaryTemplate(target));
    if (!file.open()) {
        if (const QString folder = folderProblem(target); !folder.isEmpty())
            return folder;
        return file.errorString();
    }
    // Reopened unbuffered: a buffered flush can lose a short write's error.
    QFile out;
    if (!out.open(file.handle(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return out.errorString();
    if (QString e = writeAll(out, data); !e.isEmpty())
        return e;
    if (::fchmod(file.handle(), savedMode(target)) != 0)
        return systemReason(errno);
    if (::fsync(file.handle()) != 0 && errno != EINVAL) // EINVAL: a file system without sync
        return systemReason(errno);
    file.close();
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return systemReason(errno);
    file.setAutoRemove(false); // it is the target now
    return {};
}

QString writeIfChanged(const QString& path, const QByteArray& data, bool* written)
{
    if (written)
        *written = false;
    removeStaleTemporaries(savedFile(path)); // also when nothing else is written
    const QFileInfo info(path);
    if (info.isFile() && info.size() == data.size()) {
        const ReadResult now = readHead(path, data.size());
        if (now.ok() && now.data == data)
            return {};
    }
    const QString error = writeAtomic(path, data);
    if (written)
        *written = error.isEmpty();
    return error;
}

bool nameIsFaithful(const QString& path)
{
    if (path.contains(QChar::ReplacementCharacter))
        return false;
    return QFile::decodeName(QFile::encodeName(path)) == path; // lone surrogates
}

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace zeltra::safefile
