#include "program/SideFiles.h"

#include "model/SafeFile.h"

#include <QFileInfo>

namespace zeltra::side {

QString jpegPathFor(const QString& layoutFile)
{
    if (layoutFile.isEmpty())
        return {};
    const QString name = safefile::fileNameOf(layoutFile);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot);
    return safefile::folderOf(layoutFile) + stem + QStringLiteral(".JPEG");
}

QString withJpegExtension(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpeg") || suffix == QLatin1String("jpg"))
        return path;
    return path + QStringLiteral(".JPEG");
}

QString creditsPath(const QString& programFile)
{
    const QFileInfo fi(programFile);
    return fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".crd");
}

QString readCredits(const QString& path)
{
    const safefile::ReadResult r = safefile::readHead(path, CreditsLimit);
    return r.ok() ? QString::fromUtf8(r.data) : QString();
}

SupportProgram findSupportProgram(const QString& programDir)
{
    const QString exe = programDir + QLatin1String(SupportFile);
    QString native = exe;
    native.chop(4); // without ".exe"
    const QFileInfo nativeInfo(native);
    if (nativeInfo.isFile() && nativeInfo.isExecutable())
        return {native, true};
    if (QFileInfo(exe).isFile())
        return {exe, false};
    return {};
}

} // namespace zeltra::side
