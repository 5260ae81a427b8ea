#include "link/UsedNetworkPorts.h"

#include "link/PortAddress.h"
#include "model/SafeFile.h"

#include <QDir>

namespace zeltra::link::usedports {

namespace {
constexpr qint64 MaxFileBytes = MaxPorts * (MaxAddressLength + 1);
}

QString filePath(const QProcessEnvironment& env)
{
    QString state = env.value(QStringLiteral("XDG_STATE_HOME"));
    if (!QDir::isAbsolutePath(state)) {
        const QString home = env.value(QStringLiteral("HOME"));
        if (!QDir::isAbsolutePath(home))
            return {};
        state = home + QStringLiteral("/.local/state");
    }
    return state + QStringLiteral("/zeltra/network-ports");
}

QStringList parse(const QByteArray& text)
{
    QStringList list;
    for (const QByteArray& line : text.split('\n')) {
        const auto parsed = parseNetworkAddress(QString::fromUtf8(line.trimmed()));
        if (parsed.address && !list.contains(parsed.address->text()) && list.size() < MaxPorts)
            list << parsed.address->text();
    }
    return list;
}

QStringList read(const QString& path)
{
    const auto r = safefile::readHead(path, MaxFileBytes);
    return r.ok() ? parse(r.data) : QStringList();
}

QStringList added(const QStringList& list, const QString& address)
{
    QStringList out{address};
    for (const QString& a : list)
        if (a != address && out.size() < MaxPorts)
            out << a;
    return out;
}

QString remember(const QString& path, const QString& address)
{
    if (path.isEmpty())
        return QStringLiteral("no folder for the list of network ports (HOME is not set)");
    if (!QDir().mkpath(safefile::folderOf(path)))
        return QStringLiteral("cannot make the folder %1").arg(safefile::folderOf(path));
    const QStringList list = added(read(path), address);
    return safefile::writeIfChanged(path, (list.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

} // namespace zeltra::link::usedports
