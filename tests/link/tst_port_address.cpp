// Port addresses as typed, what sysfs tells of a USB adapter, and the list of network ports
// used before.
#include "link/PortAddress.h"
#include "link/UsbSerial.h"
#include "link/UsedNetworkPorts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zeltra::link;

class TestPortAddress : public QObject {
    Q_OBJECT
  private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address"); // as written back; empty: refused
        QTest::addColumn<QString>("error");   // a part of the reason
        QTest::newRow("RFC 2217 by name") << "rfc2217://studio-a.example:2000" << "rfc2217://studio-a.example:2000" << "";
        QTest::newRow("raw by IPv4") << "tcp://127.0.0.1:4001" << "tcp://127.0.0.1:4001" << "";
        QTest::newRow("IPv6 in brackets") << "tcp://[::1]:4001" << "tcp://[::1]:4001" << "";
        QTest::newRow("scheme in capitals") << "RFC2217://host:1" << "rfc2217://host:1" << "";
        QTest::newRow("highest port") << "tcp://h:65535" << "tcp://h:65535" << "";
        QTest::newRow("another scheme") << "telnet://h:23" << "" << "rfc2217://HOST:PORT or tcp://HOST:PORT";
        QTest::newRow("no port") << "tcp://h" << "" << "port number is missing";
        QTest::newRow("empty port") << "tcp://h:" << "" << "must be 1..65535";
        QTest::newRow("port 0") << "tcp://h:0" << "" << "must be 1..65535";
        QTest::newRow("port too large") << "tcp://h:65536" << "" << "must be 1..65535";
        QTest::newRow("signed port") << "tcp://h:+80" << "" << "must be 1..65535";
        QTest::newRow("path after the port") << "tcp://h:80/x" << "" << "must be 1..65535";
        QTest::newRow("no host") << "tcp://:80" << "" << "host is missing";
        QTest::newRow("IPv6 without brackets") << "tcp://::1:80" << "" << "goes in brackets";
        QTest::newRow("bracket not closed") << "tcp://[::1:80" << "" << "not closed";
        QTest::newRow("IPv4 in brackets") << "tcp://[127.0.0.1]:80" << "" << "no IPv6 address";
        QTest::newRow("IPv4 with three parts") << "tcp://10.1.2:80" << "" << "no IPv4 address";
        QTest::newRow("IPv4 out of range") << "tcp://10.1.2.300:80" << "" << "no IPv4 address";
        QTest::newRow("user in the host") << "tcp://me@h:80" << "" << "no host name";
        QTest::newRow("blank in the host") << "tcp://a b:80" << "" << "no host name";
        QTest::newRow("control character") << "tcp://a\x1b[2J:80" << "" << "no host name";
        QTest::newRow("label of 64") << "tcp://" + QString(64, u'a') + ":80" << "" << "no host name";
        QTest::newRow("hyphen at the end of a label") << "tcp://a-.b:80" << "" << "no host name";
        QTest::newRow("too long") << "tcp://" + QString(400, u'a') + ":80" << "" << "longer than 300";
        // No scheme: no network port and no error; a COM number or a path is the caller's.
        QTest::newRow("COM number") << "COM7" << "" << "";
        QTest::newRow("device path") << "/dev/ttyUSB0" << "" << "";
        QTest::newRow("relative path with a colon") << "./tcp:x" << "" << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(QString, error);
        const ParsedAddress p = parseNetworkAddress(text);
        QCOMPARE(p.address ? p.address->text() : QString(), address);
        QVERIFY2(p.error.contains(error) && p.error.isEmpty() == error.isEmpty(), qPrintable(p.error));
    }

    void sameServerPort()
    {
        const auto a = *parseNetworkAddress(QStringLiteral("rfc2217://Studio:2000")).address;
        QVERIFY(a.sameServerPort(*parseNetworkAddress(QStringLiteral("tcp://studio:2000")).address));
        QVERIFY(!a.sameServerPort(*parseNetworkAddress(QStringLiteral("tcp://studio:2001")).address));
        QVERIFY(!a.sameServerPort(PortAddress::device(QStringLiteral("/dev/ttyS0"))));
    }

    // A fake sysfs tree: ttyUSB0 on ftdi_sio (with its latency timer), ttyUSB1 on cp210x,
    // ttyS0 with no driver link, and a latency timer that holds no number.
    void adapter_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<int>("latency"); // -1: none shown
        QTest::addColumn<bool>("lowLatency");
        QTest::newRow("FTDI") << "ttyUSB0" << "ftdi_sio" << 16 << true;
        QTest::newRow("CP210x ignores the flag") << "ttyUSB1" << "cp210x" << -1 << false;
        QTest::newRow("PL2303 ignores the flag") << "ttyUSB2" << "pl2303" << -1 << false;
        QTest::newRow("CH341 ignores the flag") << "ttyUSB3" << "ch341-uart" << -1 << false;
        QTest::newRow("FTDI with a bad timer file") << "ttyUSB4" << "ftdi_sio" << -1 << true;
        QTest::newRow("no driver link") << "ttyS0" << "" << -1 << false;
        QTest::newRow("no such device") << "ttyACM9" << "" << -1 << false;
    }
    void adapter()
    {
        QFETCH(QString, device);
        QFETCH(QString, driver);
        QFETCH(int, latency);
        QFETCH(bool, lowLatency);
        QTemporaryDir sys;
        QTemporaryDir dev; // stands in for /dev: the names are looked up by their file name
        auto tty = [&](const QString& name, const QString& drv, const QByteArray& timer) {
            const QString d = sys.filePath(QStringLiteral("class/tty/%1/device").arg(name));
            QVERIFY(QDir().mkpath(d));
            if (!drv.isEmpty()) {
                const QString target = sys.filePath(QStringLiteral("bus/usb-serial/drivers/") + drv);
                QVERIFY(QDir().mkpath(target));
                QVERIFY(QFile::link(target, d + QStringLiteral("/driver")));
            }
            if (!timer.isEmpty()) {
                QFile f(d + QStringLiteral("/latency_timer"));
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write(timer) == timer.size());
            }
        };
        tty(QStringLiteral("ttyUSB0"), QStringLiteral("ftdi_sio"), "16\n");
        tty(QStringLiteral("ttyUSB1"), QStringLiteral("cp210x"), "16\n");
        tty(QStringLiteral("ttyUSB2"), QStringLiteral("pl2303"), {});
        tty(QStringLiteral("ttyUSB3"), QStringLiteral("ch341-uart"), {});
        tty(QStringLiteral("ttyUSB4"), QStringLiteral("ftdi_sio"), "many");
        tty(QStringLiteral("ttyS0"), {}, {});
        QFile node(dev.filePath(device));
        QVERIFY(node.open(QIODevice::WriteOnly));
        const AdapterInfo info = adapterInfo(sys.path(), node.fileName());
        QCOMPARE(info.driver, driver);
        QCOMPARE(info.latencyTimer.value_or(-1), latency);
        QCOMPARE(takesLowLatency(info.driver), lowLatency);
    }

    void usedPorts()
    {
        QTemporaryDir home;
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home.path());
        const QString file = usedports::filePath(env);
        QCOMPARE(file, home.path() + QStringLiteral("/.local/state/zeltra/network-ports"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), QStringLiteral("relative"));
        QCOMPARE(usedports::filePath(env), file); // a relative folder is not taken
        QVERIFY(usedports::filePath({}).isEmpty());

        QVERIFY(usedports::remember(file, QStringLiteral("tcp://a:1")).isEmpty());
        QVERIFY(usedports::remember(file, QStringLiteral("rfc2217://b:2")).isEmpty());
        QVERIFY(usedports::remember(file, QStringLiteral("tcp://a:1")).isEmpty());
        QCOMPARE(usedports::read(file), QStringList({"tcp://a:1", "rfc2217://b:2"}));
        for (int i = 0; i < 20; ++i)
            QVERIFY(usedports::remember(file, QStringLiteral("tcp://h:%1").arg(i + 10)).isEmpty());
        QCOMPARE(usedports::read(file).size(), usedports::MaxPorts);
        QCOMPARE(usedports::read(file).first(), QStringLiteral("tcp://h:29"));

        // A file edited by hand: lines that are no network port are dropped, repeats once.
        QCOMPARE(usedports::parse("tcp://x:1\n/dev/ttyS0\n\ntcp://x:1\r\nrfc2217://[::1]:7\ngarbage\x1b\n"),
                 QStringList({"tcp://x:1", "rfc2217://[::1]:7"}));
    }
};

QTEST_GUILESS_MAIN(TestPortAddress)
#include "tst_port_address.moc"
