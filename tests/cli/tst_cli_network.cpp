// zeltra-cli against keyboards on the network: zeltra-emu's pseudo-terminal served by a real
// ser2net of the test's own on 127.0.0.1, through its RFC 2217 and its raw TCP accepter, and
// small servers of the test's own that misbehave.
#include "EmuCore.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "Ser2netProcess.h"
#include "TestFiles.h"
#include "link/BlockTables.h"
#include "link/ComPortSession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace zeltra;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
    qint64 ms = 0;
    QString lastError() const
    {
        const auto lines = QString::fromLocal8Bit(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last();
    }
};

// zeltra-cli, with the event loop running meanwhile (servers of the test answer in it).
class Cli {
  public:
    explicit Cli(const QString& state) { env_.insert(QStringLiteral("XDG_STATE_HOME"), state); }
    void start(const QStringList& args)
    {
        p_.setProcessEnvironment(env_);
        clock_.start();
        p_.start(QStringLiteral(ZELTRA_CLI_PATH), args);
    }
    Run finish(int timeoutMs = 120000)
    {
        if (p_.state() != QProcess::NotRunning) {
            QSignalSpy done(&p_, &QProcess::finished);
            if (!done.wait(timeoutMs)) {
                p_.kill();
                p_.waitForFinished();
            }
        }
        return {p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1, p_.readAllStandardOutput(),
                p_.readAllStandardError(), clock_.elapsed()};
    }
    Run run(const QStringList& args)
    {
        start(args);
        return finish();
    }

  private:
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    QProcess p_;
    QElapsedTimer clock_;
};

struct Keyboard {
    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("kbd"));
    QString eepromPath = dir.filePath(QStringLiteral("eeprom.bin"));
    EmuProcess emu;
    Ser2netProcess ser2net;
    Cli cli{dir.filePath(QStringLiteral("state"))};
    bool start(bool withServer = true)
    {
        return emu.start({"--link", link, "--eeprom", eepromPath}) &&
               (!withServer || ser2net.start(emu.ptyPath()));
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    emu::Eeprom eeprom() const
    {
        return emu::Eeprom::fromBytes(readFile(eepromPath)).value_or(emu::Eeprom(0));
    }
};

// Every byte a download of the layout writes is in the keyboard.
bool holds(const emu::Eeprom& eeprom, const QByteArray& layout)
{
    MachineImage image;
    std::copy(layout.begin(), layout.end(), image.bytes.begin());
    for (int block = 1; const auto* entry = link::blockEntry(KbdMachine, block); ++block)
        for (int a = 0; a < entry->written; ++a)
            if (eeprom.at(block, a) != *link::downloadByte(image, block, a))
                return false;
    return true;
}

QByteArray layoutOf(std::uint8_t fill)
{
    QByteArray layout = knownMachineLayout();
    if (fill != 0)
        for (qsizetype i = 4; i < layout.size(); ++i)
            layout[i] = char(fill);
    return layout;
}

} // namespace

class TestCliNetwork : public QObject {
    Q_OBJECT
  private slots:
    // Download, verify and upload through each accepter; the keyboard holds every byte sent,
    // and the backup verifies against it.
    void transfer_data()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<QStringList>("pace"); // extra words: --fast, or a block at the default pace
        QTest::addColumn<int>("fill");         // 0: the known layout; else every byte this value
        for (bool rfc : {true, false}) {
            const char* kind = rfc ? "rfc2217" : "tcp";
            QTest::addRow("%s, fast, All", kind) << rfc << QStringList{"--fast"} << 0;
            QTest::addRow("%s, default pace, Unit Config", kind) << rfc << QStringList{"--block", "Unit Config"} << 0;
            QTest::addRow("%s, fast, layout full of FF", kind) << rfc << QStringList{"--fast"} << 0xFF;
        }
    }
    void transfer()
    {
        QFETCH(bool, rfc2217);
        QFETCH(QStringList, pace);
        QFETCH(int, fill);
        Keyboard kbd;
        QVERIFY2(kbd.start(), qPrintable(kbd.ser2net.error()));
        const QString port = rfc2217 ? kbd.ser2net.rfc2217Address() : kbd.ser2net.tcpAddress();
        const QByteArray layout = layoutOf(std::uint8_t(fill));
        const QString file = kbd.file("layout.bin");
        writeFile(file, layout);

        Run r = kbd.cli.run(QStringList{"download", file, "--port", port, "--verify"} + pace);
        QVERIFY2(r.code == 0, r.err.constData());
        if (pace.contains("--fast"))
            QVERIFY(holds(kbd.eeprom(), layout));
        const QString backup = kbd.file("backup.bin");
        r = kbd.cli.run(QStringList{"upload", backup, "--port", port, "--kind", "machine", "--exact"} + pace);
        QVERIFY2(r.code == 0, r.err.constData());
        const QStringList block = pace.contains("--block") ? pace.mid(pace.indexOf("--block")) : QStringList{};
        r = kbd.cli.run(QStringList{"verify", backup, "--port", port} + block);
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(readFile(file), layout);

        r = kbd.cli.run({"ports"});
        QVERIFY2(r.out.contains((port + "  network port, used before\n").toLatin1()), r.out.constData());
    }

    // ser2net takes the line settings the program asks for: its parity answer is 103 2 (odd).
    // A pseudo-terminal cannot show parity, so the answer is all there is to check.
    void ser2netAnswersOddParity()
    {
        Keyboard kbd;
        QVERIFY2(kbd.start(), qPrintable(kbd.ser2net.error()));
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, kbd.ser2net.rfc2217Port());
        QVERIFY(s.waitForConnected(5000));
        link::ComPortSession session;
        s.write(session.start());
        QByteArray seen;
        QElapsedTimer clock;
        clock.start();
        while (session.state() == link::ComPortSession::State::Negotiating && clock.elapsed() < 5000) {
            s.waitForReadyRead(100);
            const QByteArray in = s.readAll();
            seen += in;
            QByteArray reply;
            session.receive(in, reply);
            s.write(reply);
        }
        QCOMPARE(session.state(), link::ComPortSession::State::Ready);
        QVERIFY(seen.contains(QByteArray::fromHex("FFFA2C6702FFF0")));
    }

    // Failures as for an unplugged adapter: one line, exit code 3, no file changed.
    void failure_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<QString>("line"); // a part of the last line on stderr
        for (bool rfc : {true, false}) {
            const char* kind = rfc ? "rfc2217" : "tcp";
            QTest::addRow("%s: ser2net killed during a download", kind)
                << "killed download" << rfc << "the port went away during the transfer: the server closed";
            QTest::addRow("%s: ser2net killed during an upload", kind)
                << "killed upload" << rfc << "the port went away during the transfer: the server closed";
            QTest::addRow("%s: nothing listens", kind) << "refused" << rfc << "the connection was refused";
        }
        QTest::newRow("rfc2217: another client holds the port")
            << "held" << true << "in use by another program: the server says \"Port already in use\"";
        QTest::newRow("tcp: another client holds the device")
            << "held" << false << "in use by another program: the server says \"Port's device already in use\"";
        QTest::newRow("a server that never acknowledges")
            << "never acks" << true << "the server did not acknowledge 38400 baud";
        QTest::newRow("a server that sends garbage") << "garbage" << true << "(it sent ";
        QTest::newRow("host unknown") << "unknown" << true << "the host no-such-host.invalid is not known";
    }
    void failure()
    {
        QFETCH(QString, what);
        QFETCH(bool, rfc2217);
        QFETCH(QString, line);
        Keyboard kbd;
        const bool killed = what.startsWith("killed");
        QVERIFY2(kbd.start(killed || what == "held"), qPrintable(kbd.ser2net.error()));
        QTcpServer fake; // the test's own server
        QTcpSocket holder;
        QString port = rfc2217 ? kbd.ser2net.rfc2217Address() : kbd.ser2net.tcpAddress();
        if (what == "held") {
            holder.connectToHost(QHostAddress::LocalHost, kbd.ser2net.rfc2217Port());
            QVERIFY(holder.waitForConnected(5000) && holder.waitForReadyRead(5000));
        } else if (what == "refused" || what == "never acks" || what == "garbage") {
            QVERIFY(fake.listen(QHostAddress::LocalHost));
            port = QStringLiteral("%1://127.0.0.1:%2").arg(rfc2217 ? "rfc2217" : "tcp").arg(fake.serverPort());
            if (what == "refused")
                fake.close();
            QObject::connect(&fake, &QTcpServer::newConnection, &fake, [&] {
                QTcpSocket* s = fake.nextPendingConnection();
                s->write(what == "garbage" ? QByteArray(1 << 20, '\x5A') : QByteArray::fromHex("FFFD2C"));
            });
        } else if (what == "unknown") {
            port = QStringLiteral("rfc2217://no-such-host.invalid:2000");
        }
        const QString layout = kbd.file("layout.bin");
        writeFile(layout, knownMachineLayout());
        const QString backup = kbd.file("backup.bin");
        writeFile(backup, knownMonitorLayout());
        const bool upload = what == "killed upload";
        kbd.cli.start(upload ? QStringList{"upload", backup, "--port", port, "--kind", "monitor"}
                             : QStringList{"download", layout, "--port", port});
        if (killed) {
            QTRY_VERIFY_WITH_TIMEOUT(kbd.emu.output().count("<- ") >= 5, 10000);
            kbd.ser2net.kill();
        }
        const Run r = kbd.cli.finish();
        QCOMPARE(r.code, 3);
        QVERIFY2(r.lastError().startsWith("zeltra-cli: ") && r.lastError().contains(line), r.err.constData());
        QVERIFY2(r.ms < 8000, qPrintable(QString::number(r.ms)));
        QCOMPARE(readFile(layout), knownMachineLayout());
        QCOMPARE(readFile(backup), knownMonitorLayout());
        // Only ports that opened are remembered.
        QCOMPARE(kbd.cli.run({"ports"}).out.contains("network port"), killed);
    }

    // A network port and a pseudo-terminal at once, each with its own line at the end.
    void localAndNetworkTogether()
    {
        Keyboard near;
        Keyboard far;
        QVERIFY(near.start(false));
        QVERIFY2(far.start(), qPrintable(far.ser2net.error()));
        const QString layout = near.file("layout.bin");
        writeFile(layout, knownMachineLayout());
        const QString address = far.ser2net.rfc2217Address();
        const Run r = near.cli.run({"download", layout, "--fast", "--port", near.link, "--port", address});
        QVERIFY2(r.code == 0, r.err.constData());
        QCOMPARE(QString::fromLocal8Bit(r.out), near.link + ": done\n" + address + ": done\n");
        QVERIFY(holds(near.eeprom(), knownMachineLayout()));
        QVERIFY(holds(far.eeprom(), knownMachineLayout()));
        // One server port given twice, by both kinds of address, is refused before anything opens.
        const QString twice = QStringLiteral("tcp://127.0.0.1:%1").arg(far.ser2net.rfc2217Port());
        QCOMPARE(near.cli.run({"download", layout, "--port", address, "--port", twice}).code, 1);
    }
};

QTEST_GUILESS_MAIN(TestCliNetwork)
#include "tst_cli_network.moc"
