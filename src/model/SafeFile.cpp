#include "model/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zeltra::safefile {

ReadResult readHead(const QString& path, qint64 limit)
{
    ReadResult r;
    const QFileInfo info(path);
    if (info.isDir()) {
        r.error = QStringLiteral("It is a folder, not a file.");
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

QString writeAtomic(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full, size limit) shows here: a buffered
    // flush can lose it and let commit() rename a cut file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
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

QString fileNameOf(const QString& path) { return QFileInfo(path).fileName(); }

QString folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace zeltra::safefile
