#pragma once
#include "link/ComPortSession.h"
#include "link/SerialChannel.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <optional>

// The serial channel through a serial device server: a TCP connection to rfc2217://HOST:PORT,
// where the server is asked for the line settings (ComPortSession), or to tcp://HOST:PORT,
// raw bytes to a line the server has set. Nothing waits: the open ends with onOpened, writes
// go out from the event loop. A server that closes the connection at once with a text (as a
// server says "in use") has that text named in the error.
class TcpChannel : public QObject, public zeltra::link::SerialChannel {
    Q_OBJECT
  public:
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int NegotiationTimeoutMs = 2000;
    // A raw port has nothing to negotiate; a server refusing the connection does so at once.
    static constexpr int SettleMs = 150;
    static constexpr qint64 ReceiveBufferBytes = 4096;
    static constexpr qint64 SocketBufferBytes = 65536;
    static constexpr qint64 MaxUnsentBytes = 4096;

    explicit TcpChannel(QObject* parent = nullptr);
    ~TcpChannel() override;

    void setAddress(const zeltra::link::PortAddress& address) override { address_ = address; }
    OpenResult open() override;
    QString errorString() const override { return error_; }
    void close() override;
    bool active() const override { return phase_ == Phase::Open; }
    void purgeReceive() override { input_.clear(); }
    void purgeTransmit() override {}
    WriteResult write(const QByteArray& bytes) override;
    bool readByte(std::uint8_t& byte) override;
    int bytesWaiting() const override { return int(input_.size()); }

  private:
    enum class Phase { Closed, Connecting, Negotiating, Settling, Open };
    void onConnected();
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onTimeout();
    void take(const QByteArray& data);
    void endOpen(bool opened, const QString& error = {});
    void lose(const QString& why);
    QString closedText() const;
    QString failureText(QAbstractSocket::SocketError error) const;
    QString serverSays() const;

    QTcpSocket socket_;
    QTimer timer_;
    zeltra::link::PortAddress address_;
    std::optional<zeltra::link::ComPortSession> session_;
    Phase phase_ = Phase::Closed;
    QByteArray input_;
    QByteArray said_;      // the last data bytes, for the text of a server that closes
    qint64 dropped_ = 0;   // data before the line was set up
    int attempt_ = 0;      // opens so far: the end of an earlier one is not this one's
    QString error_;
};
