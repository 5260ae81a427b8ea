#include "model/SettingsRecord.h"

#include "model/SafeFile.h"

#include <QFile>

namespace zeltra {

QString SettingsRecord::lastDir() const
{
    return QFile::decodeName(bytes::readShortString(bytes, LastDirAt, StringCapacity));
}

QString SettingsRecord::lastFile() const
{
    return QFile::decodeName(bytes::readShortString(bytes, LastFileAt, StringCapacity));
}

bool SettingsRecord::fitsString(const QString& path)
{
    return std::size_t(QFile::encodeName(path).size()) <= StringCapacity;
}

bool SettingsRecord::setLastDir(const QString& path)
{
    return safefile::nameIsFaithful(path) &&
           bytes::writeShortString(bytes, LastDirAt, StringCapacity, QFile::encodeName(path));
}

bool SettingsRecord::setLastFile(const QString& path)
{
    return safefile::nameIsFaithful(path) &&
           bytes::writeShortString(bytes, LastFileAt, StringCapacity, QFile::encodeName(path));
}

} // namespace zeltra
