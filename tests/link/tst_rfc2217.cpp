// The Telnet stream and the RFC 2217 client as golden byte rows: what goes out, what a
// server's bytes leave for the receive scan, and when the line counts as set.
#include "link/ComPortSession.h"
#include "link/Telnet.h"

#include <QTest>

using namespace zeltra::link;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// What ser2net 4 sends on a new connection: WILL SGA, DO SGA, WILL ECHO, DONT ECHO, DO BINARY,
// WILL BINARY, DO COM-PORT-OPTION.
const char* const Ser2netGreeting = "FF FB 03 FF FD 03 FF FB 01 FF FE 01 FF FD 00 FF FB 00 FF FD 2C";
const char* const Settings = "FF FA 2C 01 00 00 96 00 FF F0 FF FA 2C 02 08 FF F0 FF FA 2C 03 02 FF F0 "
                             "FF FA 2C 04 01 FF F0 FF FA 2C 05 01 FF F0";
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
        QTest::newRow("no FF") << false << hex("03 B1 02 00 55 0B") << hex("03 B1 02 00 55 0B");
        QTest::newRow("FF doubled") << false << hex("03 B1 05 00 FF B8") << hex("03 B1 05 00 FF FF B8");
        QTest::newRow("FF FF at the end") << false << hex("01 FF FF") << hex("01 FF FF FF FF");
        QTest::newRow("in a subnegotiation") << true << hex("01 00 00 FF FF")
                                             << hex("FF FA 2C 01 00 00 FF FF FF FF FF F0");
    }
    void escape()
    {
        QFETCH(bool, sub);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, line);
        QCOMPARE(sub ? telnet::subnegotiation(telnet::OptComPort, data) : ComPortSession::send(data), line);
    }

    // What a server sends, and what of it reaches the receive scan.
    void strip_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("negotiations");
        QTest::addColumn<int>("subnegotiations");
        QTest::newRow("plain") << hex("1A B2 01 00") << hex("1A B2 01 00") << 0 << 0;
        QTest::newRow("FF FF collapsed") << hex("1A FF FF B2 FF FF") << hex("1A FF B2 FF") << 0 << 0;
        QTest::newRow("NOP between every byte") << hex("01 FF F1 10 FF F1 11") << hex("01 10 11") << 0 << 0;
        QTest::newRow("negotiation inside a frame") << hex("01 FF FB 01 10 11") << hex("01 10 11") << 1 << 0;
        QTest::newRow("modem state notification") << hex("01 FF FA 2C 6B 00 FF F0 10 11") << hex("01 10 11") << 0 << 1;
        QTest::newRow("FF FF inside a subnegotiation")
            << hex("FF FA 2C 65 00 FF FF 00 00 FF F0 42") << hex("42") << 0 << 1;
        QTest::newRow("subnegotiation broken off by a command")
            << hex("FF FA 2C 65 00 FF FD 00 42") << hex("42") << 1 << 0;
        QTest::newRow("endless subnegotiation keeps nothing") << hex("FF FA 2C") + QByteArray(100000, 'x')
                                                               << QByteArray() << 0 << 0;
        QTest::newRow("a lone IAC at the end waits") << hex("10 FF") << hex("10") << 0 << 0;
    }
    void strip()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, data);
        QFETCH(int, negotiations);
        QFETCH(int, subnegotiations);
        for (int piece : {0, 1, 2}) { // whole, byte by byte, in twos: the same
            telnet::Receiver rx;
            telnet::Receiver::Output out;
            const int size = piece == 0 ? int(line.size()) : piece;
            for (qsizetype at = 0; at < line.size(); at += size)
                rx.feed(line.mid(at, size), out);
            QCOMPARE(out.data, data);
            const auto subs = std::count_if(out.commands.begin(), out.commands.end(),
                                            [](const auto& c) { return c.verb == telnet::SB; });
            QCOMPARE(int(out.commands.size() - subs), negotiations);
            QCOMPARE(int(subs), subnegotiations);
            for (const auto& c : out.commands)
                QVERIFY(c.payload.size() <= telnet::Receiver::MaxPayload);
        }
    }

    void startBytes()
    {
        ComPortSession s;
        QCOMPARE(s.start(), hex("FF FB 2C FF FB 00 FF FD 00 FF FB 03 FF FD 03"));
        QCOMPARE(s.state(), ComPortSession::State::Negotiating);
    }

    // A server's bytes in order, the answers the client gives, and how the session stands.
    void negotiation_data()
    {
        QTest::addColumn<QList<QByteArray>>("server");
        QTest::addColumn<QList<QByteArray>>("replies");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("error");
        using S = ComPortSession::State;
        QTest::newRow("ser2net: greeting, then acknowledgements")
            << QList<QByteArray>{hex(Ser2netGreeting), hex(Acks)}
            << QList<QByteArray>{hex("FF FE 01") + hex(Settings), {}} << int(S::Ready) << "";
        QTest::newRow("an answer before DO 44 in the same piece changes nothing")
            << QList<QByteArray>{hex("FF FA 2C 67 01 FF F0 FF FD 2C")} << QList<QByteArray>{hex(Settings)}
            << int(S::Negotiating) << "";
        QTest::newRow("acknowledgements before DO 44 change nothing")
            << QList<QByteArray>{hex(Acks)} << QList<QByteArray>{{}} << int(S::Negotiating) << "";
        QTest::newRow("WILL 44 of the server is not needed, and refused")
            << QList<QByteArray>{hex("FF FD 2C FF FB 2C"), hex(Acks)}
            << QList<QByteArray>{hex(Settings) + hex("FF FE 2C"), {}} << int(S::Ready) << "";
        QTest::newRow("repeated offers get no answer")
            << QList<QByteArray>{hex("FF FB 01 FF FB 01 FF FD 18 FF FD 18")}
            << QList<QByteArray>{hex("FF FE 01 FF FC 18")} << int(S::Negotiating) << "";
        QTest::newRow("flow control answer alone is not enough")
            << QList<QByteArray>{hex("FF FD 2C FF FA 2C 69 01 FF F0")} << QList<QByteArray>{hex(Settings)}
            << int(S::Negotiating) << "";
        QTest::newRow("parity answered as none")
            << QList<QByteArray>{hex("FF FD 2C FF FA 2C 65 00 00 96 00 FF F0 FF FA 2C 67 01 FF F0")}
            << QList<QByteArray>{hex(Settings)} << int(S::Failed)
            << "the server refused odd parity: it answered no parity (103)";
        QTest::newRow("baud answered as 9600")
            << QList<QByteArray>{hex("FF FD 2C FF FA 2C 65 00 00 25 80 FF F0")} << QList<QByteArray>{hex(Settings)}
            << int(S::Failed) << "the server refused 38400 baud: it answered 9600 baud (101)";
        QTest::newRow("stop bits answered short")
            << QList<QByteArray>{hex("FF FD 2C FF FA 2C 68 FF F0")} << QList<QByteArray>{hex(Settings)}
            << int(S::Failed) << "the server refused 1 stop bit: it answered 0 bytes (104)";
        QTest::newRow("hardware flow control")
            << QList<QByteArray>{hex("FF FD 2C FF FA 2C 69 03 FF F0")} << QList<QByteArray>{hex(Settings)}
            << int(S::Failed) << "the server refused no flow control: it answered hardware flow control (105)";
        QTest::newRow("the COM port option refused")
            << QList<QByteArray>{hex("FF FE 2C")} << QList<QByteArray>{{}} << int(S::Failed)
            << "the server refused the COM port option (DONT 44): is it an RFC 2217 port? tcp:// reaches a raw one";
    }
    void negotiation()
    {
        QFETCH(QList<QByteArray>, server);
        QFETCH(QList<QByteArray>, replies);
        QFETCH(int, state);
        QFETCH(QString, error);
        ComPortSession s;
        s.start();
        for (int i = 0; i < server.size(); ++i) {
            QByteArray reply;
            QCOMPARE(s.receive(server[i], reply), QByteArray());
            QCOMPARE(reply.toHex(' '), replies[i].toHex(' '));
        }
        QCOMPARE(int(s.state()), state);
        QCOMPARE(s.error(), error);
    }

    void missingNamesWhatIsMissing()
    {
        ComPortSession s;
        s.start();
        QCOMPARE(s.missing(), QStringLiteral("the server did not take the COM port option (no DO 44)"));
        QByteArray reply;
        s.receive(hex("FF FD 2C FF FA 2C 66 08 FF F0"), reply);
        QCOMPARE(s.missing(), QStringLiteral("the server did not acknowledge 38400 baud, odd parity, 1 stop bit"));
    }

    // Once the line is set, data passes with FF FF collapsed and commands taken out.
    void dataAfterReady()
    {
        ComPortSession s;
        s.start();
        QByteArray reply;
        s.receive(hex(Ser2netGreeting) + hex(Acks), reply);
        QCOMPARE(s.state(), ComPortSession::State::Ready);
        reply.clear();
        QCOMPARE(s.receive(hex("1A B2 01 00 FF FF FF F1 FF FF FF FA 2C 6B 30 FF F0 C5"), reply),
                 hex("1A B2 01 00 FF FF C5"));
        QVERIFY(reply.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRfc2217)
#include "tst_rfc2217.moc"
