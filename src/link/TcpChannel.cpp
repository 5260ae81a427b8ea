#include "link/TcpChannel.h"

#include <QRegularExpression>

using zeltra::link::ComPortSession;
using zeltra::link::PortAddress;
using zeltra::link::SerialChannel;

namespace {

constexpr qsizetype SaidBytes = 120;

// A Telnet server opens with its option negotiation: IAC and WILL, WONT, DO or DONT.
bool speaksTelnet(const QByteArray& data)
{
    return data.size() >= 2 && std::uint8_t(data[0]) == zeltra::link::telnet::IAC &&
           std::uint8_t(data[1]) >= zeltra::link::telnet::WILL &&
           std::uint8_t(data[1]) <= zeltra::link::telnet::DONT;
}

} // namespace

TcpChannel::TcpChannel(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    socket_.setReadBufferSize(SocketBufferBytes);
    connect(&timer_, &QTimer::timeout, this, &TcpChannel::onTimeout);
    connect(&socket_, &QTcpSocket::connected, this, &TcpChannel::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, &TcpChannel::onReadyRead);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpChannel::onSocketError);
    connect(&socket_, &QTcpSocket::disconnected, this,
            [this] { onSocketError(QAbstractSocket::RemoteHostClosedError); });
}

TcpChannel::~TcpChannel()
{
    onReceived = nullptr;
    onLost = nullptr;
    onOpened = nullptr;
    close();
}

SerialChannel::OpenResult TcpChannel::open()
{
    close();
    if (!address_.isNetwork()) {
        error_ = QStringLiteral("%1 is no network port").arg(address_.text());
        return OpenResult::Failed;
    }
    error_.clear();
    said_.clear();
    dropped_ = 0;
    ++attempt_;
    phase_ = Phase::Connecting;
    timer_.start(ConnectTimeoutMs);
    socket_.connectToHost(address_.host, address_.port);
    return OpenResult::Pending;
}

void TcpChannel::close()
{
    phase_ = Phase::Closed; // first: the socket's signals while it closes are not losses
    timer_.stop();
    socket_.abort();
    session_.reset();
    input_.clear();
}

void TcpChannel::onConnected()
{
    if (phase_ != Phase::Connecting)
        return;
    // Each frame goes out at once: there is only ever one small request in flight.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (address_.kind == PortAddress::Kind::Rfc2217) {
        session_.emplace();
        phase_ = Phase::Negotiating;
        timer_.start(NegotiationTimeoutMs);
        socket_.write(session_->start());
    } else {
        phase_ = Phase::Settling;
        timer_.start(SettleMs);
    }
}

void TcpChannel::onTimeout()
{
    switch (phase_) {
    case Phase::Connecting:
        endOpen(false, QStringLiteral("no connection within %1 s").arg(ConnectTimeoutMs / 1000));
        return;
    case Phase::Negotiating: {
        QString why = QStringLiteral("%1 within %2 s").arg(session_->missing()).arg(NegotiationTimeoutMs / 1000);
        if (dropped_ > 0)
            why += QStringLiteral(" (it sent %1 bytes of data instead: is it an RFC 2217 port?)").arg(dropped_);
        else if (!session_->comPortTaken())
            why += QStringLiteral(" (is it a raw port? tcp:// reaches one)");
        endOpen(false, why);
        return;
    }
    case Phase::Settling:
        endOpen(true);
        return;
    case Phase::Closed:
    case Phase::Open:
        return;
    }
}

void TcpChannel::onReadyRead()
{
    while (phase_ != Phase::Closed && socket_.bytesAvailable() > 0) {
        const QByteArray raw = socket_.read(SocketBufferBytes);
        if (!session_) {
            take(raw);
            continue;
        }
        QByteArray reply;
        const QByteArray data = session_->receive(raw, reply);
        if (!reply.isEmpty())
            socket_.write(reply);
        if (phase_ == Phase::Negotiating && session_->state() == ComPortSession::State::Failed) {
            endOpen(false, session_->error());
            return;
        }
        const bool nowReady = phase_ == Phase::Negotiating &&
                              session_->state() == ComPortSession::State::Ready;
        take(data); // what came before the line was set up is dropped
        if (nowReady)
            endOpen(true);
    }
}

// Data bytes from the server: handed on once the line is open, kept up to a bound.
void TcpChannel::take(const QByteArray& data)
{
    if (data.isEmpty())
        return;
    said_ = (said_ + data).right(SaidBytes);
    if (phase_ == Phase::Settling && speaksTelnet(data)) {
        PortAddress telnet = address_;
        telnet.kind = PortAddress::Kind::Rfc2217;
        endOpen(false, QStringLiteral("the server negotiates Telnet options: it is an RFC 2217 "
                                      "port, reached with %1")
                           .arg(telnet.text()));
        return;
    }
    if (phase_ != Phase::Open) {
        dropped_ += data.size();
        return;
    }
    input_ += data;
    if (input_.size() > ReceiveBufferBytes)
        input_.remove(0, input_.size() - ReceiveBufferBytes); // an overrun loses the oldest
    if (onReceived)
        onReceived(int(input_.size()));
}

void TcpChannel::endOpen(bool opened, const QString& error)
{
    timer_.stop();
    if (opened) {
        phase_ = Phase::Open;
        input_.clear();
    } else {
        close();
        error_ = error;
    }
    // Never from inside open(): the caller learns of the end from the event loop.
    QMetaObject::invokeMethod(
        this, [this, opened, attempt = attempt_] {
            if (onOpened && attempt == attempt_)
                onOpened(opened);
        },
        Qt::QueuedConnection);
}

void TcpChannel::onSocketError(QAbstractSocket::SocketError error)
{
    if (phase_ == Phase::Closed)
        return;
    if (socket_.bytesAvailable() > 0)
        onReadyRead(); // what the server said before it closed, such as why
    if (phase_ == Phase::Closed)
        return;
    const QString why = failureText(error);
    if (phase_ == Phase::Open)
        lose(why);
    else
        endOpen(false, why);
}

void TcpChannel::lose(const QString& why)
{
    close();
    error_ = why;
    if (onLost)
        onLost();
}

QString TcpChannel::failureText(QAbstractSocket::SocketError error) const
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("the host %1 is not known").arg(address_.host);
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("the connection was refused: no server takes connections on port %1 there")
            .arg(address_.port);
    case QAbstractSocket::RemoteHostClosedError:
        return closedText();
    default:
        return socket_.errorString();
    }
}

QString TcpChannel::closedText() const
{
    const QString says = serverSays();
    if (says.contains(QLatin1String("in use"), Qt::CaseInsensitive))
        return QStringLiteral("in use by another program: the server says \"%1\"").arg(says);
    if (!says.isEmpty() && phase_ != Phase::Open)
        return QStringLiteral("the server closed the connection, saying \"%1\"").arg(says);
    return QStringLiteral("the server closed the connection");
}

// The server's last line, when it is text.
QString TcpChannel::serverSays() const
{
    QString text;
    for (char c : said_)
        text += (c >= 0x20 && c < 0x7F) ? QChar::fromLatin1(c) : QChar(u' ');
    text = text.simplified();
    static const QRegularExpression wordy(QStringLiteral("[A-Za-z]{2,}"));
    return wordy.match(text).hasMatch() ? text : QString();
}

SerialChannel::WriteResult TcpChannel::write(const QByteArray& bytes)
{
    if (phase_ != Phase::Open)
        return WriteResult::Error;
    if (socket_.bytesToWrite() > MaxUnsentBytes)
        return WriteResult::Partial; // the server takes nothing: nothing more is queued
    const QByteArray out = session_ ? ComPortSession::send(bytes) : bytes;
    return socket_.write(out) == out.size() ? WriteResult::All : WriteResult::Error;
}

bool TcpChannel::readByte(std::uint8_t& byte)
{
    if (input_.isEmpty())
        return false;
    byte = std::uint8_t(input_[0]);
    input_.remove(0, 1);
    return true;
}
