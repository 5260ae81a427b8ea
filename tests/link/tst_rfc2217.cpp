// The Telnet stream and the RFC 2217 client as golden byte rows: what goes out, what a
// server's bytes leave for the receive scan, and when the line counts as set.
#include "link/ComPortSession.h"
#include "link/Telnet.h"

#include <QTest>

using namespace zeltra::link;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// What ser2net 4 sends on a new connection: WILL SGA, DO SGA, WILL ECHO, DONT ECHO, DO BINARY,
// WILL BINARY, DO COM-PORT-OPTION.
const char* const Greeting = "FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C";
// 38400 baud, 8 data bits, odd parity, 1 stop bit, no flow control; the answers to the first four.
const char* const Settings = "FF FA 2C 01 00 00 96 00 FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 02 "
                             "FF F0 FF FA 2C 04 01 FF F0 FF FA 2C 05 01 FF F0";
const char* const Acks = "FF FA 2C 65 00 00 96 00 FF F0 FF FA 2C 66 08 FF F0 FF FA 2C 67 02 FF F0 "
                         "FF FA 2C 68 01 FF F0";

} // namespace

class TestRfc2217 : public QObject {
    Q_OBJECT
  private slots:
    void escape_data()
    {
        QTest::addColumn<bool>("sub"); // a subnegotiation of the COM port option
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("FF doubled")
            << false << hex("03 FF B8 FF FF") << hex("03 FF FF B8 FF FF FF FF");
        QTest::newRow("in a subnegotiation")
            << true << hex("01 00 FF") << hex("FF FA 2C 01 00 FF FF FF F0");
    }
    void escape()
    {
        QFETCH(bool, sub);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, line);
        QCOMPARE(sub ? telnet::subnegotiation(telnet::OptComPort, data)
                     : ComPortSession::send(data),
                 line);
    }

    // What a server sends, what of it reaches the receive scan, and the verbs of the commands
    // taken out; the same whole, byte by byte and in twos.
    void strip_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("verbs");
        QTest::newRow("FF FF collapsed") << hex("1A FF FF B2 FF FF") << hex("1A FF B2 FF") << "";
        QTest::newRow("NOP between bytes") << hex("01 FF F1 10 FF F1 11") << hex("01 10 11") << "";
        QTest::newRow("negotiation in a frame") << hex("01 FF FB 01 10") << hex("01 10") << "fb";
        QTest::newRow("notification") << hex("01 FF FA 2C 6B 00 FF F0 10") << hex("01 10") << "fa";
        QTest::newRow("FF FF in a sub")
            << hex("FF FA 2C 65 FF FF 00 FF F0 42") << hex("42") << "fa";
        QTest::newRow("sub broken off") << hex("FF FA 2C 65 00 FF FD 00 42") << hex("42") << "fd";
        const QByteArray longSub = hex("FF FA 2C") + QByteArray(100000, 'x');
        QTest::newRow("endless sub") << longSub << hex("") << "";
        QTest::newRow("long sub, kept in part") << longSub + hex("FF F0 42") << hex("42") << "fa";
        QTest::newRow("a lone IAC at the end waits") << hex("10 FF") << hex("10") << "";
    }
    void strip()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, data);
        QFETCH(QString, verbs);
        for (int size : {int(line.size()), 1, 2}) {
            telnet::Receiver rx;
            telnet::Receiver::Output out;
            for (qsizetype at = 0; at < line.size(); at += size)
                rx.feed(line.mid(at, size), out);
            QCOMPARE(out.data, data);
            QByteArray seen;
            for (const telnet::Command& c : out.commands) {
                seen += char(c.verb);
                QVERIFY(c.payload.size() <= telnet::Receiver::MaxPayload);
            }
            QCOMPARE(QString::fromLatin1(seen.toHex(' ')), verbs);
        }
    }

    // A server's bytes, the answers the client gives them, and how the session stands: ready,
    // waiting for what the server has not done yet, or failed with what the server refused.
    void negotiation_data()
    {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<QString>("status");
        const QByteArray settings = hex(Settings);
        const QString unacked = "waiting: the server did not acknowledge 38400 baud, ";
        const QString refused = "failed: the server refused ";
        // DO 44, the line settings going out for it, and what the server answers them with.
        auto answered = [&](const char* name, const char* answers, const QString& status) {
            QTest::newRow(name) << hex("FF FD 2C") + hex(answers) << settings << status;
        };
        // Once ready, a notification, a NOP and a late answer of another parity change nothing.
        QTest::newRow("ser2net: greeting, acknowledgements, more")
            << hex(Greeting) + hex(Acks) + hex("FF FA 2C 6B 30 FF F0 FF F1 FF FA 2C 67 01 FF F0")
            << hex("FF FE 01") + settings << "ready";
        QTest::newRow("an answer before DO 44 changes nothing")
            << hex("FF FA 2C 67 01 FF F0 FF FD 2C") << settings
            << unacked + "8 data bits, odd parity, 1 stop bit";
        answered("data size and flow control answered: not enough",
                 "FF FA 2C 66 08 FF F0 FF FA 2C 69 01 FF F0", unacked + "odd parity, 1 stop bit");
        QTest::newRow("WILL 44 of the server is not needed, and refused")
            << hex("FF FD 2C FF FB 2C") + hex(Acks) << settings + hex("FF FE 2C") << "ready";
        QTest::newRow("repeated offers get no answer")
            << hex("FF FB 01 FF FB 01 FF FD 18 FF FD 18") << hex("FF FE 01 FF FC 18")
            << "waiting: the server did not take the COM port option (no DO 44)";
        answered("parity answered as none", "FF FA 2C 67 01 FF F0",
                 refused + "odd parity: it answered no parity (103)");
        answered("baud answered as 9600", "FF FA 2C 65 00 00 25 80 FF F0",
                 refused + "38400 baud: it answered 9600 baud (101)");
        answered("stop bits answered short", "FF FA 2C 68 FF F0",
                 refused + "1 stop bit: it answered 0 bytes (104)");
        answered("hardware flow control", "FF FA 2C 69 03 FF F0",
                 refused + "no flow control: it answered hardware flow control (105)");
        QTest::newRow("the COM port option refused")
            << hex("FF FE 2C") << hex("")
            << refused + "the COM port option (DONT 44): is it an RFC 2217 port? tcp:// reaches a "
                         "raw one";
    }
    void negotiation()
    {
        QFETCH(QByteArray, server);
        QFETCH(QByteArray, replies);
        QFETCH(QString, status);
        ComPortSession s;
        QCOMPARE(s.start(), hex("FF FB 2C FF FB 00 FF FD 00 FF FB 03 FF FD 03"));
        QByteArray reply;
        QCOMPARE(s.receive(server, reply), QByteArray());
        QCOMPARE(reply.toHex(' '), replies.toHex(' '));
        const QString text[] = {"waiting: " + s.missing(), "ready", "failed: " + s.error()};
        QCOMPARE(text[int(s.state())], status);
    }
};

QTEST_GUILESS_MAIN(TestRfc2217)
#include "tst_rfc2217.moc"
