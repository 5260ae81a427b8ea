#pragma once
#include "link/SerialChannel.h"

#include <memory>

class QtSerialChannel;
class TcpChannel;

namespace zeltra::link {

// The channel for an address: the serial port for a COM number or a device path, the TCP
// channel for a network port. It is set to the address.
std::unique_ptr<SerialChannel> makeChannel(const PortAddress& address);

// A channel whose transport follows the address it is given: the connect window keeps one
// channel while the user picks a serial port or a network port. Each transport is made on
// first use and kept, so no channel is ever destroyed from inside its own signal.
class PortChannel : public SerialChannel {
  public:
    PortChannel();
    ~PortChannel() override;

    void setAddress(const PortAddress& address) override;
    OpenResult open() override;
    QString errorString() const override;
    void close() override;
    bool active() const override;
    void purgeReceive() override;
    void purgeTransmit() override;
    WriteResult write(const QByteArray& bytes) override;
    bool readByte(std::uint8_t& byte) override;
    int bytesWaiting() const override;

  private:
    SerialChannel& transport();
    void attach(SerialChannel& channel);

    PortAddress address_;
    std::unique_ptr<QtSerialChannel> serial_;
    std::unique_ptr<TcpChannel> tcp_;
    SerialChannel* current_ = nullptr;
};

} // namespace zeltra::link
