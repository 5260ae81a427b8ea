#pragma once
#include <QList>
#include <QPoint>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>

// Port numbers and serial devices. COM1..COM32 are /dev/ttyS0..31, COM33..COM64
// /dev/ttyUSB0..31 and COM65..COM96 /dev/ttyACM0..31; the environment variable ZELTRA_COM<n>
// points COM n at any device path instead, a pseudo-terminal included.
namespace zeltra::link {

constexpr int MaxComNumber = 999; // three digits, as the port box reads them

// The device for port n; empty when n names no device.
QString comDevicePath(int n, const QProcessEnvironment& env);

struct ComPortEntry {
    int number = 0;
    QString name;        // "COMn"
    QString path;        // the device
    QString description; // what the system says about it, may be empty
    bool operator==(const ComPortEntry&) const = default;
};

struct SystemDevice {
    QString path;
    QString description;
};

// The ports to offer: every system device that has a number, and every port the environment
// names, each number once, in number order.
QList<ComPortEntry> availableComPorts(const QList<SystemDevice>& devices,
                                      const QProcessEnvironment& env);

// The port number in a port text such as "COM12": its characters 4 to 6 as a decimal number,
// 0 when they are not one.
int portNumberFromText(const QString& text);

// Top-left corner for a window of `size` placed at the cursor and kept inside `desktop`.
QPoint placeAtCursor(QPoint cursor, QSize size, const QRect& desktop);

} // namespace zeltra::link
