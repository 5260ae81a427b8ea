#include "link/PortChannels.h"

#include "link/QtSerialChannel.h"
#include "link/TcpChannel.h"

namespace zeltra::link {

std::unique_ptr<SerialChannel> makeChannel(const PortAddress& address)
{
    std::unique_ptr<SerialChannel> channel;
    if (address.isNetwork())
        channel = std::make_unique<TcpChannel>();
    else
        channel = std::make_unique<QtSerialChannel>();
    channel->setAddress(address);
    return channel;
}

PortChannel::PortChannel() = default;

PortChannel::~PortChannel()
{
    onReceived = nullptr;
    onLost = nullptr;
    onOpened = nullptr;
}

void PortChannel::attach(SerialChannel& channel)
{
    channel.onReceived = [this](int count) {
        if (onReceived)
            onReceived(count);
    };
    channel.onLost = [this] {
        if (onLost)
            onLost();
    };
    channel.onOpened = [this](bool opened) {
        if (onOpened)
            onOpened(opened);
    };
}

SerialChannel& PortChannel::transport()
{
    if (address_.isNetwork()) {
        if (!tcp_) {
            tcp_ = std::make_unique<TcpChannel>();
            attach(*tcp_);
        }
        return *tcp_;
    }
    if (!serial_) {
        serial_ = std::make_unique<QtSerialChannel>();
        attach(*serial_);
    }
    return *serial_;
}

void PortChannel::setAddress(const PortAddress& address)
{
    address_ = address;
}

SerialChannel::OpenResult PortChannel::open()
{
    if (current_)
        current_->close();
    current_ = &transport();
    current_->setAddress(address_);
    return current_->open();
}

QString PortChannel::errorString() const
{
    return current_ ? current_->errorString() : QString();
}

void PortChannel::close()
{
    if (current_)
        current_->close();
}

bool PortChannel::active() const
{
    return current_ && current_->active();
}

void PortChannel::purgeReceive()
{
    if (current_)
        current_->purgeReceive();
}

void PortChannel::purgeTransmit()
{
    if (current_)
        current_->purgeTransmit();
}

SerialChannel::WriteResult PortChannel::write(const QByteArray& bytes)
{
    return current_ ? current_->write(bytes) : WriteResult::Error;
}

bool PortChannel::readByte(std::uint8_t& byte)
{
    return current_ && current_->readByte(byte);
}

int PortChannel::bytesWaiting() const
{
    return current_ ? current_->bytesWaiting() : 0;
}

} // namespace zeltra::link
