// Port addresses as typed, what sysfs tells of a USB adapter, and the list of network ports
// used before.
#include "TestFiles.h"
#include "link/PortAddress.h"
#include "link/UsbSerial.h"
#include "link/UsedNetworkPorts.h"

#include <QDir>
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
        auto row = [](const char* name, const QString& text, const char* address,
                      const char* error) {
            QTest::newRow(name) << text << QString(address) << QString(error);
        };
        const char* const badPort = "must be 1..65535";
        const char* const badName = "no host name";
        row("RFC 2217, capitals", "RFC2217://Studio-A:2000", "rfc2217://Studio-A:2000", "");
        row("IPv6 in brackets", "tcp://[::1]:65535", "tcp://[::1]:65535", "");
        row("another scheme", "telnet://h:23", "", "or tcp://HOST:PORT");
        row("no port", "tcp://h", "", "port number is missing");
        row("port 0", "tcp://h:0", "", badPort);
        row("port too large", "tcp://h:65536", "", badPort);
        row("signed port", "tcp://h:+80", "", badPort);
        row("no host", "tcp://:80", "", "host is missing");
        row("IPv6 without brackets", "tcp://::1:80", "", "goes in brackets");
        row("bracket not closed", "tcp://[::1:80", "", "not closed");
        row("IPv4 in brackets", "tcp://[127.0.0.1]:80", "", "no IPv6 address");
        row("IPv4 with three parts", "tcp://10.1.2:80", "", "no IPv4 address");
        row("control character", "tcp://a\x1b[2J:80", "", badName);
        row("label of 64", "tcp://" + QString(64, u'a') + ":80", "", badName);
        row("hyphen at a label's end", "tcp://a-.b:80", "", badName);
        row("too long", "tcp://" + QString(400, u'a') + ":80", "", "longer than");
        // No scheme: no network port and no error; a COM number or a path is the caller's.
        row("COM number", "COM7", "", "");
        row("relative path with a colon", "./tcp:x", "", "");
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QFETCH(QString, error);
        const ParsedAddress p = parseNetworkAddress(text);
        QCOMPARE(p.address ? p.address->text() : QString(), address);
        QVERIFY2(p.error.contains(error) && p.error.isEmpty() == error.isEmpty(),
                 qPrintable(p.error));
    }

    // A sysfs tree of the test's own with one tty, ttyUSB0, on the driver (none: no link).
    void adapter_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QByteArray>("timer"); // the latency_timer file
        QTest::addColumn<int>("latency");      // -1: none shown
        QTest::addColumn<bool>("lowLatency");
        QTest::newRow("FTDI") << "ftdi_sio" << QByteArray("16\n") << 16 << true;
        QTest::newRow("CP210x, as others, ignores the flag")
            << "cp210x" << QByteArray("16\n") << -1 << false;
        QTest::newRow("FTDI, a timer of no number")
            << "ftdi_sio" << QByteArray("many") << -1 << true;
        QTest::newRow("no driver link") << "" << QByteArray() << -1 << false;
    }
    void adapter()
    {
        QFETCH(QString, driver);
        QFETCH(QByteArray, timer);
        QFETCH(int, latency);
        QFETCH(bool, lowLatency);
        QTemporaryDir sys; // its ttyUSB0 stands in for /dev's: the device is found by its name
        const QString device = sys.filePath(QStringLiteral("class/tty/ttyUSB0/device"));
        const QString target = sys.filePath(QStringLiteral("bus/usb-serial/drivers/") + driver);
        QVERIFY(QDir().mkpath(device) && QDir().mkpath(target));
        QVERIFY(driver.isEmpty() || QFile::link(target, device + QStringLiteral("/driver")));
        writeFile(device + QStringLiteral("/latency_timer"), timer);
        writeFile(sys.filePath(QStringLiteral("ttyUSB0")), {});
        const AdapterInfo info = adapterInfo(sys.path(), sys.filePath(QStringLiteral("ttyUSB0")));
        QCOMPARE(info.driver, driver);
        QCOMPARE(info.latencyTimer.value_or(-1), latency);
        QCOMPARE(takesLowLatency(info.driver), lowLatency);
    }

    void usedPorts()
    {
        QTemporaryDir home;
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_STATE_HOME"), QStringLiteral("relative")); // not taken
        const QString file = usedports::filePath(env);
        QCOMPARE(file, home.path() + QStringLiteral("/.local/state/zeltra/network-ports"));
        QVERIFY(usedports::filePath({}).isEmpty());
        // Newest first, each once, at most MaxPorts.
        for (const char* address : {"tcp://a:1", "rfc2217://b:2", "tcp://a:1"})
            QVERIFY(usedports::remember(file, QLatin1String(address)).isEmpty());
        QCOMPARE(usedports::read(file), QStringList({"tcp://a:1", "rfc2217://b:2"}));
        for (int i = 0; i < 20; ++i)
            QVERIFY(usedports::remember(file, QStringLiteral("tcp://h:%1").arg(i + 10)).isEmpty());
        QCOMPARE(usedports::read(file).size(), usedports::MaxPorts);
        QCOMPARE(usedports::read(file).first(), QStringLiteral("tcp://h:29"));
        // A file edited by hand: lines that are no network port are dropped, repeats once.
        QCOMPARE(
            usedports::parse("tcp://x:1\n/dev/ttyS0\n\ntcp://x:1\r\nrfc2217://[::1]:7\nbad\x1b\n"),
            QStringList({"tcp://x:1", "rfc2217://[::1]:7"}));
    }
};

QTEST_GUILESS_MAIN(TestPortAddress)
#include "tst_port_address.moc"
