#include "PortsText.h"

#include "LayoutText.h"

namespace zeltra::cli {

QStringList portsText(const QList<PortLine>& ports, const QStringList& networkPorts)
{
    QStringList lines;
    if (ports.isEmpty())
        lines << QStringLiteral("no serial ports found");
    int pathWidth = 0;
    int descriptionWidth = 0;
    for (const auto& p : ports) {
        pathWidth = std::max(pathWidth, int(p.port.path.size()));
        descriptionWidth = std::max(descriptionWidth, int(p.port.description.size()));
    }
    for (const auto& p : ports)
        lines << QStringLiteral("%1 %2  %3  %4")
                     .arg(p.port.name.leftJustified(6), printable(p.port.path).leftJustified(pathWidth),
                          printable(p.port.description).leftJustified(descriptionWidth),
                          printable(link::adapterText(p.adapter)))
                     .trimmed();
    for (const QString& address : networkPorts)
        lines << printable(address) + QStringLiteral("  network port, used before");
    return lines;
}

} // namespace zeltra::cli
