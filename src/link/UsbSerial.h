#pragma once
#include <QString>
#include <optional>

// What the kernel tells of a serial device's adapter through sysfs: the driver that serves
// it and, for FTDI adapters, the latency timer that holds received bytes back (16 ms unless
// set lower). The sysfs root is given, so tests can use a tree of their own.
namespace zeltra::link {

struct AdapterInfo {
    QString driver;                  // "ftdi_sio", "cp210x", ...; empty for no driver (a pty)
    std::optional<int> latencyTimer; // ms, when the driver has the setting
    bool operator==(const AdapterInfo&) const = default;
};

AdapterInfo adapterInfo(const QString& sysfsRoot, const QString& devicePath);

// Whether the driver delivers received bytes at once when the port asks for low latency
// (ASYNC_LOW_LATENCY). Others, cp210x, pl2303 and ch341 among them, take the flag and ignore it.
bool takesLowLatency(const QString& driver);

// "driver ftdi_sio, latency timer 16 ms" for the port list; empty for no driver.
QString adapterText(const AdapterInfo& info);

} // namespace zeltra::link
