#pragma once
#include "link/PortAddress.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace zeltra::link {

// The serial line to the keyboard, as the link needs it: on a serial port, or through a
// serial device server on the network (PortChannels.h makes the one for an address); tests
// use a fake.
class SerialChannel {
  public:
    enum class WriteResult { All, Partial, Error };
    // A network port is open only once connected and, for RFC 2217, once the server has
    // set the line: its open ends later, with onOpened.
    enum class OpenResult { Opened, Failed, Pending };

    virtual ~SerialChannel() = default;

    // Takes effect at the next open.
    virtual void setAddress(const PortAddress& address) = 0;
    // Opens the line with the fixed line settings; Failed with errorString() on failure.
    virtual OpenResult open() = 0;
    virtual QString errorString() const = 0;
    virtual void close() = 0;
    virtual bool active() const = 0;
    virtual void purgeReceive() = 0;
    virtual void purgeTransmit() = 0;
    // One write call that waits at most the write time-out.
    virtual WriteResult write(const QByteArray& bytes) = 0;
    // Never waits: false when no byte is waiting.
    virtual bool readByte(std::uint8_t& byte) = 0;
    virtual int bytesWaiting() const = 0;

    // Characters received: the number of bytes waiting. Runs on the GUI thread.
    std::function<void(int count)> onReceived;
    // The device went away; the channel has closed itself.
    std::function<void()> onLost;
    // A Pending open ended: the line is open, or it failed with errorString().
    std::function<void(bool opened)> onOpened;
};

} // namespace zeltra::link
