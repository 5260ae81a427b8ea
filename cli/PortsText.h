#pragma once
#include "link/ComPorts.h"

#include <QStringList>

namespace zeltra::cli {

// `zeltra-cli ports`: one line per port, "COMn  path  description".
QStringList portsText(const QList<link::ComPortEntry>& ports);

} // namespace zeltra::cli
