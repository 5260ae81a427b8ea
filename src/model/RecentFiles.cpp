#include "model/RecentFiles.h"

namespace zeltra::recent {

namespace {
bool storable(const QString& path) {
    return !path.isEmpty() && path.size() <= MaxPathLength && !path.contains(QLatin1Char('\n')) &&
           !path.contains(QLatin1Char('\r'));
}
} // namespace

QStringList cleaned(const QStringList& stored) {
    QStringList list;
    for (const QString& path : stored)
        if (storable(path) && !list.contains(path) && list.size() < MaxFiles)
            list << path;
    return list;
}

QStringList added(const QStringList& list, const QString& path) {
    if (!storable(path))
        return cleaned(list);
    QStringList rest = list;
    rest.removeAll(path);
    rest.prepend(path);
    return cleaned(rest);
}

QString keyOf(int n) {
    return QStringLiteral("File%1").arg(n + 1);
}

} // namespace zeltra::recent
