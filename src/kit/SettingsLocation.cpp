#include "kit/SettingsLocation.h"

#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool SettingsLocation::folderWritable(const QString& folder) {
    return QFileInfo(folder).isDir() && zeltra::platform::userMay(folder, false, true);
}

QString SettingsLocation::configFolder(const QProcessEnvironment& env) {
    QString base = env.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (!QDir::isAbsolutePath(base)) { // relative or unset: the XDG rules ignore it
        QString home = env.value(QStringLiteral("HOME"));
        if (!QDir::isAbsolutePath(home))
            home = QDir::homePath();
        base = home + QStringLiteral("/.config");
    }
    return QDir::cleanPath(base + QStringLiteral("/zeltra")) + QLatin1Char('/');
}

SettingsLocation SettingsLocation::choose(const QString& programDir,
                                          const QProcessEnvironment& env) {
    if (folderWritable(programDir))
        return {programDir, true};
    const QString folder = configFolder(env);
    if (!QDir(folder).exists() && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return {folder, false};
}
