// zeltra-cli against keyboards on the network: zeltra-emu's pseudo-terminal behind a real
// ser2net of the test's own on 127.0.0.1 (its RFC 2217 and its raw TCP accepter), and small
// servers of the test's own that misbehave.
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "Ser2netProcess.h"
#include "TestFiles.h"
#include "link/ComPortSession.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace zeltra;
namespace telnet = link::telnet;

namespace {

// An emulated keyboard, with ser2net in front of it when asked, and zeltra-cli to reach it.
struct Keyboard {
    QTemporaryDir dir;
    EmuProcess emu;
    Ser2netProcess ser2net;
    QProcess cli;
    QString out;
    QString err;

    bool start(bool withServer = true)
    {
        return emu.start({"--link", file("kbd")}) && (!withServer || ser2net.start(emu.ptyPath()));
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // The exit code. The event loop runs meanwhile: the test's own servers answer in it.
    int run(const QStringList& args, const std::function<void()>& meanwhile = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), file("state"));
        cli.setProcessEnvironment(env);
        QSignalSpy done(&cli, &QProcess::finished);
        cli.start(QStringLiteral(ZELTRA_CLI_PATH), args);
        if (meanwhile)
            meanwhile();
        if (cli.state() != QProcess::NotRunning && !done.wait(120000))
            cli.kill();
        cli.waitForFinished();
        out = QString::fromLocal8Bit(cli.readAllStandardOutput());
        err = QString::fromLocal8Bit(cli.readAllStandardError());
        return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    }
};

// A server of the test's own that misbehaves as `kind` says. RFC 2217: "never acks" takes the
// line settings and never answers them, "wrong parity" answers the parity with none, "endless
// sub" then starts a subnegotiation that never ends. "garbage" sends a megabyte of noise, IAC
// and SB among it, and nothing else.
class FakeServer : public QObject {
  public:
    FakeServer(const QString& kind, bool telnet) : kind_(kind)
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this, telnet] {
            socket_ = server.nextPendingConnection();
            connect(socket_, &QTcpSocket::readyRead, this, &FakeServer::onRead);
            QByteArray noise(kind_ == "garbage" ? 1 << 20 : 0, '\0');
            for (qsizetype i = 0; i < noise.size(); ++i)
                noise[i] = char((i * 7919) >> 3);
            socket_->write(noise.isEmpty() && telnet ? QByteArray::fromHex("FF FD 2C") : noise);
        });
    }
    QTcpServer server;

  private:
    void onRead()
    {
        telnet::Receiver::Output out;
        rx_.feed(socket_->readAll(), out);
        for (const telnet::Command& c : out.commands) {
            if (kind_ == "garbage" || c.verb != telnet::SB || c.payload.isEmpty())
                continue;
            QByteArray answer = c.payload;
            answer[0] = char(c.payload[0] + 100);
            if (kind_ == "wrong parity" && c.payload[0] == 3)
                answer[1] = 1;
            if (kind_ != "never acks")
                socket_->write(telnet::subnegotiation(telnet::OptComPort, answer));
            if (kind_ == "endless sub" && c.payload[0] == 5)
                socket_->write(QByteArray::fromHex("FF FA 2C 6B") + QByteArray(1 << 20, 'x'));
        }
    }

    QString kind_;
    QTcpSocket* socket_ = nullptr;
    telnet::Receiver rx_;
};

} // namespace

class TestCliNetwork : public QObject {
    Q_OBJECT
  private slots:
    // Download with verify, upload and verify the backup through each accepter of ser2net.
    void transfer_data()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<QStringList>("pace"); // --fast, or a block at the default pace
        QTest::addColumn<int>("fill");         // 0: the known layout; else every byte this value
        const QStringList fast{"--fast"};
        const QStringList block{"--block", "Unit Config"};
        for (bool rfc : {true, false}) {
            const char* kind = rfc ? "rfc2217" : "tcp";
            QTest::addRow("%s, fast, All", kind) << rfc << fast << 0;
            QTest::addRow("%s, default pace, Unit Config", kind) << rfc << block << 0;
            QTest::addRow("%s, fast, layout full of FF", kind) << rfc << fast << 0xFF;
        }
    }
    void transfer()
    {
        QFETCH(bool, rfc2217);
        QFETCH(QStringList, pace);
        QFETCH(int, fill);
        Keyboard kbd;
        QVERIFY2(kbd.start(), qPrintable(kbd.ser2net.error()));
        const QString port = kbd.ser2net.address(rfc2217);
        QByteArray layout = knownMachineLayout();
        for (qsizetype i = 4; fill != 0 && i < layout.size(); ++i)
            layout[i] = char(fill);
        const QString file = kbd.file("layout.bin");
        writeFile(file, layout);

        const QString backup = kbd.file("backup.bin");
        const QStringList block = pace.contains("--fast") ? QStringList{} : pace;
        for (const QStringList& command :
             {QStringList{"download", file, "--verify"} + pace,
              QStringList{"upload", backup, "--kind", "machine", "--exact"} + pace,
              QStringList{"verify", backup} + block})
            QVERIFY2(kbd.run(command + QStringList{"--port", port}) == 0, qPrintable(kbd.err));
        kbd.run({"ports"});
        QVERIFY2(kbd.out.contains(port + "  network port, used before\n"), qPrintable(kbd.out));
    }

    // ser2net takes the line settings the program asks for: its parity answer is 103 2 (odd).
    // A pseudo-terminal cannot show parity, so the answer is all there is to check.
    void ser2netAnswersOddParity()
    {
        Keyboard kbd;
        QVERIFY2(kbd.start(), qPrintable(kbd.ser2net.error()));
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, kbd.ser2net.port(true));
        QVERIFY(s.waitForConnected(5000));
        link::ComPortSession session;
        QByteArray seen;
        QByteArray reply = session.start();
        for (int i = 0; i < 50 && session.state() == link::ComPortSession::State::Negotiating;
             ++i) {
            s.write(reply);
            reply.clear();
            s.waitForReadyRead(100);
            seen += s.peek(s.bytesAvailable());
            session.receive(s.readAll(), reply);
        }
        QCOMPARE(session.state(), link::ComPortSession::State::Ready);
        QVERIFY(seen.contains(QByteArray::fromHex("FF FA 2C 67 02 FF F0")));
    }

    // What each server, or none, leads to. A network port that fails does so as an unplugged
    // adapter does: in one line, with exit code 3, within its time-outs; no file changes.
    void server_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("line"); // a part of the last line on stderr
        const QString lost = "the port went away during the transfer: the server closed";
        const QString inUse = "in use by another program: the server says \"Port";
        QTest::newRow("rfc2217: ser2net killed mid-download")
            << "killed download" << true << 3 << lost;
        QTest::newRow("tcp: ser2net killed mid-download")
            << "killed download" << false << 3 << lost;
        QTest::newRow("ser2net killed mid-upload") << "killed upload" << true << 3 << lost;
        QTest::newRow("rfc2217: port held") << "held" << true << 3 << inUse + " already in use\"";
        QTest::newRow("tcp: device held")
            << "held" << false << 3 << inUse + "'s device already in use\"";
        QTest::newRow("tcp:// on the RFC 2217 accepter")
            << "other accepter" << false << 3 << "an RFC 2217 port, reached with rfc2217://";
        QTest::newRow("rfc2217:// on the raw accepter")
            << "other accepter" << true << 3 << "(is it a raw port? tcp:// reaches one)";
        QTest::newRow("nothing listens") << "refused" << true << 3 << "the connection was refused";
        QTest::newRow("host unknown") << "unknown" << true << 3 << "no-such.invalid is not known";
        QTest::newRow("no acknowledgement") << "never acks" << true << 3 << "acknowledge 38400";
        QTest::newRow("refuses odd parity") << "wrong parity" << true << 3 << "refused odd parity";
        QTest::newRow("megabyte of garbage") << "garbage" << true << 3 << "within 2 s (it sent ";
        QTest::newRow("megabyte of garbage, raw") << "garbage" << false << 4 << "did not answer";
        QTest::newRow("endless subnegotiation") << "endless sub" << true << 4 << "did not answer";
        QTest::newRow("beside a local port") << "beside local" << true << 0 << "";
        QTest::newRow("one server port twice") << "twice" << true << 1 << "are the same device";
    }
    void server()
    {
        QFETCH(QString, what);
        QFETCH(bool, rfc2217);
        QFETCH(int, code);
        QFETCH(QString, line);
        Keyboard kbd;
        Keyboard near;
        const bool killed = what.startsWith("killed");
        const bool ser2net =
            killed || what == "held" || what == "other accepter" || what == "beside local";
        QVERIFY2(kbd.start(ser2net), qPrintable(kbd.ser2net.error()));
        QVERIFY(what != "beside local" || near.start(false));
        FakeServer fake(what, rfc2217);
        quint16 port = fake.server.serverPort();
        if (ser2net)
            port = kbd.ser2net.port(rfc2217 != (what == "other accepter"));
        if (what == "refused")
            fake.server.close();
        QStringList ports{
            QStringLiteral("%1://127.0.0.1:%2").arg(rfc2217 ? "rfc2217" : "tcp").arg(port)};
        if (what == "unknown")
            ports = QStringList{"rfc2217://no-such.invalid:2000"};
        if (what == "twice")
            ports = QStringList{"rfc2217://Studio-A:2000", "tcp://studio-a:2000"};
        if (what == "beside local")
            ports.prepend(near.file("kbd"));
        QTcpSocket holder;
        if (what == "held") {
            holder.connectToHost(QHostAddress::LocalHost, kbd.ser2net.port(true));
            QVERIFY(holder.waitForConnected(5000) && holder.waitForReadyRead(5000));
        }
        const QString layout = kbd.file("layout.bin");
        writeFile(layout, knownMachineLayout());
        const QString backup = kbd.file("backup.bin");
        writeFile(backup, knownMonitorLayout());
        QStringList args = what == "killed upload"
                               ? QStringList{"upload", backup, "--kind", "monitor"}
                               : QStringList{"download", layout, "--verify"};
        if (!killed) // a kill comes in the middle of a transfer at the default pace
            args << "--fast";
        for (const QString& p : ports)
            args << "--port" << p;
        QElapsedTimer clock;
        clock.start();
        const std::function<void()> killMidway = [&] { // once a few frames have passed
            QTRY_VERIFY_WITH_TIMEOUT(kbd.emu.output().count("<- ") >= 5, 10000);
            kbd.ser2net.kill();
        };
        QCOMPARE(kbd.run(args, killed ? killMidway : nullptr), code);
        const QString last = kbd.err.trimmed().section(QLatin1Char('\n'), -1);
        QVERIFY2(code == 0 || (last.startsWith("zeltra-cli: ") && last.contains(line)),
                 qPrintable(kbd.err));
        QVERIFY2(code == 0 || clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        if (what == "beside local") // each port with its own line
            QCOMPARE(kbd.out, ports.first() + ": done\n" + ports.last() + ": done\n");
        QCOMPARE(readFile(layout), knownMachineLayout());
        QCOMPARE(readFile(backup), knownMonitorLayout());
        // Only ports that opened are remembered.
        kbd.run({"ports"});
        QCOMPARE(kbd.out.contains("network port"), code == 0 || code == 4 || killed);
    }
};

QTEST_GUILESS_MAIN(TestCliNetwork)
#include "tst_cli_network.moc"
