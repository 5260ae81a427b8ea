#include "model/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
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
constexpr int TemporarySuffix = 7; // ".XXXXXX"

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

// A link must lead to a file that exists: QSaveFile would otherwise make the file wherever
// the link points.
QString linkProblem(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("It is a link to %1, which does not exist.")
            .arg(info.symLinkTarget());
    return {};
}

// The file a save replaces: the link's target for a link.
QString savedFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}
} // namespace

void removeStaleTemporaries(const QString& path, int minAgeSecs)
{
    const QFileInfo target(path);
    const QString name = target.fileName();
    if (name.isEmpty())
        return;
    // The names are sifted by hand: a name filter, like the pattern below, would be compiled
    // at every save, which nearly always finds nothing.
    const QString prefix = name + QLatin1Char('.');
    QList<QFileInfo> candidates;
    for (QDirIterator it(target.absolutePath(), QDir::Files | QDir::Hidden | QDir::NoSymLinks);
         it.hasNext();) {
        it.next();
        if (it.fileName().size() == prefix.size() + 6 && it.fileName().startsWith(prefix))
            candidates << it.fileInfo();
    }
    if (candidates.isEmpty())
        return;
    // Six random letters and digits; a word such as "backup" is the user's own file.
    const QRegularExpression ours(
        QStringLiteral("^%1\\.(?=.*[a-z])(?=(?:.*[A-Z0-9]){2})[A-Za-z0-9]{6}$")
            .arg(QRegularExpression::escape(name)));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-minAgeSecs);
    for (const QFileInfo& f : candidates)
        if (ours.match(f.fileName()).hasMatch() && f.lastModified().toUTC() < before)
            QFile::remove(f.absoluteFilePath());
}

QString saveProblem(const QString& path)
{
    if (QString e = linkProblem(path); !e.isEmpty())
        return e;
    if (QFileInfo(path).isDir())
        return QStringLiteral("It is a folder, not a file.");
    // The temporary file's name is the longest a save makes.
    const QString target = savedFile(path);
    const qsizetype nameBytes = QFile::encodeName(fileNameOf(target)).size();
    const qsizetype pathBytes = QFile::encodeName(QFileInfo(target).absoluteFilePath()).size();
    if (nameBytes + TemporarySuffix > NAME_MAX || pathBytes + TemporarySuffix >= PATH_MAX)
        return QStringLiteral("The file name is too long.");
    // A file made there shows whether the folder takes new files.
    QTemporaryFile probe(target + QStringLiteral(".XXXXXX"));
    if (probe.open())
        return {};
    if (QString folder = folderProblem(target); !folder.isEmpty())
        return folder;
    return probe.errorString();
}

QString writeAtomic(const QString& path, const QByteArray& data)
{
    if (QString e = linkProblem(path); !e.isEmpty())
        return e;
    removeStaleTemporaries(savedFile(path));
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full, size limit) shows here: a buffered
    // flush can lose it and let commit() rename a cut file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (const QString folder = folderProblem(path); !folder.isEmpty())
            return folder;
        return file.errorString();
    }
    qint64 done = 0;
    while (done < data.size()) {
        // The write after a short one fails with the system's reason.
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        done += n;
    }
    if (!file.commit())
        return file.errorString();
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
