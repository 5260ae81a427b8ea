#include "PortsText.h"

#include "LayoutText.h"

namespace zeltra::cli {

QStringList portsText(const QList<link::ComPortEntry>& ports)
{
    if (ports.isEmpty())
        return {QStringLiteral("no serial ports found")};
    int pathWidth = 0;
    for (const auto& p : ports)
        pathWidth = std::max(pathWidth, int(p.path.size()));
    QStringList lines;
    for (const auto& p : ports)
        lines << QStringLiteral("%1 %2  %3")
                     .arg(p.name.leftJustified(6), printable(p.path).leftJustified(pathWidth),
                          printable(p.description))
                     .trimmed();
    return lines;
}

} // namespace zeltra::cli
