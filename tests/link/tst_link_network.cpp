// The program's network channel and its link against small servers of the test's own on
// 127.0.0.1: a keyboard behind a well-behaved server, and servers that never acknowledge,
// refuse the line settings, send garbage, put Telnet commands between every byte, start a
// subnegotiation that never ends, say "in use" or close in the middle of a transfer.
#include "EmuCore.h"
#include "link/Frames.h"
#include "link/LinkEngine.h"
#include "link/Telnet.h"
#include "link/TcpChannel.h"
#include "link/TransferDriver.h"
#include "model/LayoutModel.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace zeltra;
using namespace zeltra::link;

namespace {

enum class Server {
    Keyboard,       // the line set as asked, the keyboard answering
    NoisyKeyboard,  // the same with NOP and notifications between every byte
    NeverAcks,      // greets, takes the settings, never answers them
    WrongParity,    // answers the parity with none
    Garbage,        // a megabyte of noise from the start
    EndlessSub,     // after the settings, a subnegotiation that never ends
    InUse,          // "Port already in use", then closes
    ClosesMidway,   // the keyboard, then the connection closes after a few frames
    TelnetOnly,     // an RFC 2217 keyboard, whatever the client speaks
    RawOnly,        // a raw keyboard, whatever the client speaks
};

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A server on 127.0.0.1 that speaks RFC 2217 or raw TCP, the way `kind` says.
class FakeServer : public QObject {
  public:
    FakeServer(Server kind, bool telnet)
        : kind_(kind), telnet_(kind == Server::TelnetOnly || (telnet && kind != Server::RawOnly))
    {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            socket_ = server_.nextPendingConnection();
            connect(socket_, &QTcpSocket::readyRead, this, &FakeServer::onRead);
            greet();
        });
    }
    quint16 port() const { return server_.serverPort(); }
    emu::Eeprom eeprom{0xEE};
    int frames = 0;

  private:
    void greet()
    {
        if (kind_ == Server::InUse) {
            socket_->write("Port already in use\r\n");
            socket_->disconnectFromHost();
            return;
        }
        if (kind_ == Server::Garbage) {
            QByteArray noise(1 << 20, '\0');
            for (qsizetype i = 0; i < noise.size(); ++i)
                noise[i] = char((i * 7919) >> 3); // IAC and SB among them
            socket_->write(noise);
            return;
        }
        if (telnet_)
            socket_->write(hex("FF FB 03 FF FD 03 FF FD 00 FF FB 00 FF FD 2C"));
    }
    void onRead()
    {
        const QByteArray in = socket_->readAll();
        if (kind_ == Server::Garbage)
            return; // noise only, no keyboard behind it
        if (!telnet_) {
            answer(in);
            return;
        }
        telnet::Receiver::Output out;
        rx_.feed(in, out);
        for (const auto& c : out.commands)
            if (c.verb == telnet::SB)
                acknowledge(c);
        answer(out.data);
    }
    void acknowledge(const telnet::Command& sub)
    {
        if (kind_ == Server::NeverAcks || sub.option != telnet::OptComPort || sub.payload.isEmpty())
            return;
        QByteArray ack = sub.payload;
        ack[0] = char(std::uint8_t(ack[0]) + 100);
        if (kind_ == Server::WrongParity && sub.payload[0] == 3)
            ack[1] = 1;
        socket_->write(telnet::subnegotiation(telnet::OptComPort, ack));
        if (kind_ == Server::EndlessSub && sub.payload[0] == 5)
            socket_->write(hex("FF FA 2C 6B") + QByteArray(1 << 20, 'x'));
    }
    void answer(const QByteArray& data)
    {
        ring_ += data;
        while (ring_.size() >= 3) {
            const int len = (std::uint8_t(ring_[0]) & 0x0F) + 3;
            if (ring_.size() < len)
                return;
            const QByteArray frame = ring_.left(len);
            ring_.remove(0, len);
            if (kind_ == Server::ClosesMidway && ++frames == 5) {
                socket_->abort();
                return;
            }
            for (const QByteArray& reply : emu::respond(frame, eeprom, emu::AnswerMode::Normal))
                socket_->write(encoded(reply));
        }
    }
    QByteArray encoded(const QByteArray& reply) const
    {
        if (!telnet_)
            return reply;
        if (kind_ != Server::NoisyKeyboard)
            return telnet::escape(reply);
        QByteArray out;
        for (char c : reply)
            out += hex("FF F1") + telnet::escape(QByteArray(1, c)) + hex("FF FA 2C 6B 00 FF F0");
        return out;
    }

    Server kind_;
    bool telnet_;
    QTcpServer server_;
    QTcpSocket* socket_ = nullptr;
    telnet::Receiver rx_;
    QByteArray ring_;
};

struct Rig {
    LayoutData model;
    TcpChannel channel;
    LinkEngine engine{model, channel};
    TransferDriver driver{engine};
    Rig()
    {
        model.initDefaults(QStringLiteral("/nowhere/"));
        model.setKbdType(KbdMachine);
        driver.setFast(true);
    }
};

} // namespace

class TestLinkNetwork : public QObject {
    Q_OBJECT
  private slots:
    void server_data()
    {
        QTest::addColumn<int>("server");
        QTest::addColumn<bool>("telnet");
        QTest::addColumn<QString>("openError"); // a part of it; empty: the port opens
        // Of a "Unit Config" download and its verify; -1: anything but a finished transfer
        // (a raw line of noise may pass for the write's answers, never for the data read back).
        QTest::addColumn<int>("outcome");
        using O = TransferOutcome;
        QTest::newRow("RFC 2217 keyboard") << int(Server::Keyboard) << true << "" << int(O::Verified);
        QTest::newRow("raw keyboard") << int(Server::Keyboard) << false << "" << int(O::Verified);
        QTest::newRow("commands between every byte") << int(Server::NoisyKeyboard) << true << "" << int(O::Verified);
        QTest::newRow("never acknowledges")
            << int(Server::NeverAcks) << true
            << "the server did not acknowledge 38400 baud, 8 data bits, odd parity, 1 stop bit within 2 s" << 0;
        QTest::newRow("refuses odd parity")
            << int(Server::WrongParity) << true << "the server refused odd parity: it answered no parity (103)" << 0;
        QTest::newRow("garbage instead of RFC 2217")
            << int(Server::Garbage) << true << "within 2 s (it sent " << 0;
        QTest::newRow("garbage on a raw port") << int(Server::Garbage) << false << "" << -1;
        QTest::newRow("endless subnegotiation") << int(Server::EndlessSub) << true << "" << int(O::NoAnswer);
        QTest::newRow("in use") << int(Server::InUse) << true
                                << "in use by another program: the server says \"Port already in use\"" << 0;
        QTest::newRow("in use, raw") << int(Server::InUse) << false
                                     << "in use by another program: the server says \"Port already in use\"" << 0;
        QTest::newRow("raw client on an RFC 2217 port")
            << int(Server::TelnetOnly) << false << "it is an RFC 2217 port, reached with rfc2217://127.0.0.1:" << 0;
        QTest::newRow("RFC 2217 client on a raw port")
            << int(Server::RawOnly) << true
            << "the server did not take the COM port option (no DO 44) within 2 s (is it a raw port? "
               "tcp:// reaches one)" << 0;
        QTest::newRow("closes in the middle") << int(Server::ClosesMidway) << true << "" << int(O::PortLost);
        QTest::newRow("closes in the middle, raw") << int(Server::ClosesMidway) << false << "" << int(O::PortLost);
    }
    void server()
    {
        QFETCH(int, server);
        QFETCH(bool, telnet);
        QFETCH(QString, openError);
        QFETCH(int, outcome);
        FakeServer fake(Server(server), telnet);
        Rig rig;
        PortAddress address{telnet ? PortAddress::Kind::Rfc2217 : PortAddress::Kind::Tcp, 0, {},
                            QStringLiteral("127.0.0.1"), fake.port()};
        rig.engine.setPortAddress(address);
        // Every byte value, FF among them, in the block that goes out.
        for (std::size_t i = 0; i < 16; ++i)
            rig.model.McnImage.bytes[mcn::UnitConfig + i] = std::uint8_t(i % 2 ? 0xFF : i * 17);
        QSignalSpy opened(&rig.engine, &LinkEngine::portOpened);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(rig.engine.tryport());
        QVERIFY(rig.engine.opening() && !rig.engine.portReady());
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 5000);
        QVERIFY(clock.elapsed() < TcpChannel::NegotiationTimeoutMs + 1000);
        QCOMPARE(opened.first().first().toBool(), openError.isEmpty());
        QVERIFY2(rig.channel.errorString().contains(openError), qPrintable(rig.channel.errorString()));
        if (!openError.isEmpty()) {
            QCOMPARE(rig.engine.display().portCaption, QStringLiteral("Com?"));
            return;
        }
        QSignalSpy finished(&rig.driver, &TransferDriver::finished);
        QVERIFY(rig.driver.start(Direction::Download, 2));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        if (finished.last().first().value<TransferOutcome>() == TransferOutcome::Finished) {
            QVERIFY(rig.driver.start(Direction::Verify, 2));
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 5000);
        }
        const auto got = finished.last().first().value<TransferOutcome>();
        if (outcome >= 0)
            QCOMPARE(got, TransferOutcome(outcome));
        else
            QVERIFY(got != TransferOutcome::Finished && got != TransferOutcome::Verified);
        QVERIFY(rig.channel.bytesWaiting() <= TcpChannel::ReceiveBufferBytes);
        if (got != TransferOutcome::Verified)
            return;
        for (int a = 0; a < 15; ++a)
            QCOMPARE(fake.eeprom.at(2, a), int(rig.model.McnImage.bytes[mcn::UnitConfig + std::size_t(a)]));
    }
};

QTEST_GUILESS_MAIN(TestLinkNetwork)
#include "tst_link_network.moc"
