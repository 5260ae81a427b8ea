// zeltra-cli against keyboards on the network: zeltra-emu's pseudo-terminal behind a real
// ser2net of the test's own on 127.0.0.1 (its RFC 2217 and its raw TCP accepter), and a small
// server of the test's own that sends what a row says.
#include "CliRun.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "Ser2netProcess.h"
#include "TestFiles.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <future>

namespace {

// An emulated keyboard, with ser2net in front of it when asked, and zeltra-cli to reach it.
struct Keyboard {
    QTemporaryDir dir;
    EmuProcess emu;
    Ser2netProcess ser2net;

    bool start(bool withServer = true)
    {
        return emu.start({"--link", file("kbd")}) && (!withServer || ser2net.start(emu.ptyPath()));
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // zeltra-cli on a thread of its own; the test's own server and `meanwhile` run on this one.
    Run run(const QStringList& args, const std::function<void()>& meanwhile = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), file("state"));
        std::future<Run> done = std::async(std::launch::async, [&] { return cli(args, env); });
        if (meanwhile)
            meanwhile();
        while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
            QCoreApplication::processEvents();
        return done.get();
    }
};

} // namespace

class TestCliNetwork : public QObject {
    Q_OBJECT
  private slots:
    // Each accepter of ser2net, and what each failing server, or none, leads to. Through a port
    // that works: download with verify, upload and verify the backup (through RFC 2217 only once
    // ser2net has answered odd parity, 103 2). One that fails does so as an unplugged adapter
    // does: in one line, with exit code 3, within its time-outs; no file changes.
    void network_data()
    {
        QTest::addColumn<QString>("ports");  // the --port words; $rfc, $raw: ser2net, $own: ours
        QTest::addColumn<QByteArray>("own"); // what the test's own server sends; empty: closed
        QTest::addColumn<QString>("event");  // "slow": a block at the default pace, "FF": a layout
                                             // full of FF, "kill" ser2net midway, "hold" its port
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("line"); // a part of the last line on stderr
        const QString lost = "the port went away during the transfer: the server closed";
        const QString inUse = "in use by another program: the server says \"Port";
        const QByteArray do44 = QByteArray::fromHex("FF FD 2C");
        const QByteArray acks =
            QByteArray::fromHex("FF FA 2C 65 00 00 96 00 FF F0 FF FA 2C 66 08 "
                                "FF F0 FF FA 2C 67 02 FF F0 FF FA 2C 68 01 FF F0");
        QByteArray noise(1 << 20, '\0'); // IAC and SB among it
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 3);
        auto row = [](const char* name, const char* ports, const QByteArray& own, const char* event,
                      int code, const QString& line) {
            QTest::newRow(name) << QString(ports) << own << QString(event) << code << line;
        };
        const char* const rfc = "--port rfc2217://127.0.0.1:$rfc";
        const char* const raw = "--port tcp://127.0.0.1:$raw";
        const char* const own = "--port rfc2217://127.0.0.1:$own";
        row("rfc2217, fast, All", rfc, {}, "", 0, "");
        row("rfc2217, default pace, Unit Config", rfc, {}, "slow", 0, "");
        row("rfc2217, fast, layout full of FF", rfc, {}, "FF", 0, "");
        row("tcp, fast, All", raw, {}, "", 0, "");
        row("tcp, default pace, Unit Config", raw, {}, "slow", 0, "");
        row("tcp, fast, layout full of FF", raw, {}, "FF", 0, "");
        row("rfc2217: ser2net killed mid-download", rfc, {}, "kill", 3, lost);
        row("tcp: ser2net killed mid-download", raw, {}, "kill", 3, lost);
        row("rfc2217: port held", rfc, {}, "hold", 3, inUse + " already in use\"");
        row("tcp: device held", raw, {}, "hold", 3, inUse + "'s device already in use\"");
        row("tcp:// on the RFC 2217 accepter", "--port tcp://127.0.0.1:$rfc", {}, "", 3,
            "an RFC 2217 port, reached with rfc2217://");
        row("rfc2217:// on the raw accepter", "--port rfc2217://127.0.0.1:$raw", {}, "", 3,
            "(is it a raw port? tcp:// reaches one)");
        row("nothing listens", own, {}, "", 3, "the connection was refused");
        row("host unknown", "--port rfc2217://no-such.invalid:2000", {}, "", 3, "is not known");
        row("no acknowledgement", own, do44, "", 3, "acknowledge 38400");
        row("refuses odd parity", own, do44 + QByteArray::fromHex("FF FA 2C 67 01 FF F0"), "", 3,
            "refused odd parity");
        row("megabyte of garbage", own, noise, "", 3, "within 2 s (it sent ");
        row("megabyte of garbage, raw", "--port tcp://127.0.0.1:$own", noise, "", 4,
            "did not answer");
        row("endless subnegotiation", own,
            do44 + acks + QByteArray::fromHex("FF FA 2C 6B") + QByteArray(1 << 20, 'x'), "", 4,
            "did not answer");
        row("beside a local port", "--port $local --port rfc2217://127.0.0.1:$rfc", {}, "", 0, "");
        row("one server port twice", "--port rfc2217://Studio-A:2000 --port tcp://studio-a:2000",
            {}, "", 1, "are the same device");
    }
    void network()
    {
        QFETCH(QString, ports);
        QFETCH(QByteArray, own);
        QFETCH(QString, event);
        QFETCH(int, code);
        QFETCH(QString, line);
        Keyboard kbd;
        Keyboard near;
        QVERIFY2(kbd.start(ports.contains("$r")), qPrintable(kbd.ser2net.error()));
        QVERIFY(!ports.contains("$local") || near.start(false));
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this,
                [&] { server.nextPendingConnection()->write(own); });
        ports.replace("$rfc", QString::number(kbd.ser2net.port(true)))
            .replace("$raw", QString::number(kbd.ser2net.port(false)))
            .replace("$own", QString::number(server.serverPort()))
            .replace("$local", near.file("kbd"));
        if (own.isEmpty())
            server.close();
        QTcpSocket holder;
        if (event == "hold") {
            holder.connectToHost(QHostAddress::LocalHost, kbd.ser2net.port(true));
            QVERIFY(holder.waitForConnected(5000) && holder.waitForReadyRead(5000));
        }
        QByteArray layout = knownMachineLayout();
        for (qsizetype i = 4; event == "FF" && i < layout.size(); ++i)
            layout[i] = char(0xFF);
        const QString file = kbd.file("layout.bin");
        writeFile(file, layout);
        const QStringList block =
            event == "slow" ? QStringList{"--block", "Unit Config"} : QStringList{};
        // A kill comes in the middle of a transfer at the default pace.
        const QStringList pace = event == "slow" || event == "kill" ? block : QStringList{"--fast"};
        const QStringList portArgs = ports.split(' ');
        const std::function<void()> killMidway = [&] { // once a few frames have passed
            QTRY_VERIFY_WITH_TIMEOUT(kbd.emu.output().count("<- ") >= 5, 10000);
            kbd.ser2net.kill();
        };
        const Run r = kbd.run(QStringList{"download", file, "--verify"} + pace + portArgs,
                              event == "kill" ? killMidway : nullptr);
        QCOMPARE(r.code, code);
        const QString last = QString::fromLocal8Bit(r.err).trimmed().section(QLatin1Char('\n'), -1);
        QVERIFY2(code == 0 || (last.startsWith("zeltra-cli: ") && last.contains(line)),
                 r.err.constData());
        QVERIFY2(code == 0 || r.ms < 8000, qPrintable(QString::number(r.ms)));
        QCOMPARE(readFile(file), layout);
        if (code == 0 && portArgs.size() > 2) // each port with its own line
            QCOMPARE(r.out, (portArgs[1] + ": done\n" + portArgs.last() + ": done\n").toUtf8());
        const QString backup = kbd.file("backup.bin");
        if (code == 0 && portArgs.size() == 2) {
            for (const QStringList& command :
                 {QStringList{"upload", backup, "--kind", "machine", "--exact"} + pace,
                  QStringList{"verify", backup} + block}) {
                const Run again = kbd.run(command + portArgs);
                QVERIFY2(again.code == 0, again.err.constData());
            }
        }
        // Only ports that opened are remembered.
        const QByteArray listed = kbd.run({"ports"}).out;
        QCOMPARE(listed.contains((portArgs.last() + "  network port, used before\n").toUtf8()),
                 code == 0 || code == 4 || event == "kill");
    }
};

QTEST_GUILESS_MAIN(TestCliNetwork)
#include "tst_cli_network.moc"
