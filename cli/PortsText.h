#pragma once
#include "link/ComPorts.h"
#include "link/UsbSerial.h"

#include <QStringList>

namespace zeltra::cli {

// A serial port with what sysfs tells of its adapter.
struct PortLine {
    link::ComPortEntry port;
    link::AdapterInfo adapter;
};

// `zeltra-cli ports`: one line per serial port, "COMn  path  description  driver ...", then
// the network ports used before, newest first.
QStringList portsText(const QList<PortLine>& ports, const QStringList& networkPorts);

} // namespace zeltra::cli
