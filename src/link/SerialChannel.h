#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace zeltra::link {

// The serial line to the keyboard, as the link needs it. The real one sits on a serial port;
// tests use a fake.
class SerialChannel {
  public:
    enum class WriteResult { All, Partial, Error };

    virtual ~SerialChannel() = default;

    // Takes effect at the next open.
    virtual void setPortNumber(int n) = 0;
    // Opens the device with the fixed line settings; false with errorString() on failure.
    virtual bool open() = 0;
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
};

} // namespace zeltra::link
