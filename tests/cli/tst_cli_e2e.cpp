// zeltra-cli as a user runs it: the program, its exit codes and its output, against zeltra-emu
// on a pseudo-terminal.
#include "CliRun.h"
#include "EmuCore.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

using namespace zeltra;

namespace {

struct Keyboard {
    QTemporaryDir dir;
    QString link = dir.filePath(QStringLiteral("kbd"));
    QString eepromPath = dir.filePath(QStringLiteral("eeprom.bin"));
    EmuProcess emu;
    bool start(const QStringList& extra = {})
    {
        return emu.start(QStringList{"--link", link, "--eeprom", eepromPath} + extra);
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

} // namespace

class TestCliEndToEnd : public QObject {
    Q_OBJECT
  private slots:
    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("line");
        QTest::newRow("nothing") << QStringList{} << 1 << "zeltra-cli: no command given (try 'zeltra-cli --help')";
        QTest::newRow("unknown option") << QStringList{"show", "a.bin", "--colour"} << 1
                                        << "zeltra-cli: unknown option --colour (try 'zeltra-cli --help')";
        QTest::newRow("port number without device") << QStringList{"verify", "a.bin", "--port", "0"} << 1
                                                    << "zeltra-cli: --port takes a COM number 1..999, a "
                                                       "device path or a network port (rfc2217://HOST:PORT, tcp://HOST:PORT), not \"0\" (try 'zeltra-cli --help')";
        QTest::newRow("control characters in an option") << QStringList{"show", "a", "--c\x1b[2J\n"} << 1 << "zeltra-cli: unknown option --c.[2J. (try 'zeltra-cli --help')";
        QTest::newRow("control characters in the port") << QStringList{"verify", "a", "--port", "7\n\x1b"} << 1 << "zeltra-cli: --port takes a COM number 1..999, a device path or a network port (rfc2217://HOST:PORT, tcp://HOST:PORT), not \"7..\" (try 'zeltra-cli --help')";
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, line);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.errLines(), QStringList{line});
        QVERIFY(r.out.isEmpty());
    }

    void help()
    {
        const Run r = cli({"--help"});
        QCOMPARE(r.code, 0);
        for (const char* code : {"0  done", "1  usage", "2  file", "3  port", "4  no answer", "5  verify mismatch"})
            QVERIFY2(r.out.contains(code), code);
    }

    void show_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QString>("expected");
        QTest::newRow("machine") << knownMachineLayout() << "show_machine.txt";
        QTest::newRow("monitor") << knownMonitorLayout() << "show_monitor.txt";
    }
    void show()
    {
        QFETCH(QByteArray, layout);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("known.bin"));
        writeFile(path, layout);
        const Run r = cli({"show", path});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.isEmpty());
        const QByteArray want = readFile(QStringLiteral(ZELTRA_CLI_DATA "/") + expected);
        QVERIFY(!want.isEmpty());
        QCOMPARE(QString::fromUtf8(r.out), QString::fromUtf8(want));
    }

    void fileAndPortFailures()
    {
        QTemporaryDir dir;
        const QString layout = dir.filePath(QStringLiteral("l.bin"));
        writeFile(layout, knownMachineLayout());
        const QString cut = dir.filePath(QStringLiteral("cut.bin"));
        writeFile(cut, knownMachineLayout().left(100));

        Run r = cli({"download", cut, "--port", "7"});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY(r.errLines().first().endsWith("is 100 bytes; a machine layout is 484"));

        const QString missing = dir.filePath(QStringLiteral("no-such-port"));
        r = cli({"download", layout, "--port", missing});
        QCOMPARE(r.code, 3);
        QCOMPARE(r.errLines(), QStringList{"zeltra-cli: " + missing + " does not exist"});

        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZELTRA_COM9"), missing);
        r = cli({"verify", layout, "--port", "COM9"}, env);
        QCOMPARE(r.code, 3);
        QCOMPARE(r.errLines(), QStringList{"zeltra-cli: COM9 (" + missing + ") does not exist"});

        r = cli({"verify", "--port", cut, "--", layout});
        QCOMPARE(r.errLines(), QStringList{"zeltra-cli: " + cut + " does not open: it is a regular file, not a serial device"});
        // An output that cannot be written is refused before the port is opened.
        const QString target = dir.filePath(QStringLiteral("elsewhere/none.bin"));
        QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("dangling.bin"))));
        for (const QString& out : {dir.filePath(QStringLiteral("dangling.bin")), dir.filePath(QString(300, u'n'))}) {
            r = cli({"upload", out, "--port", missing, "--kind", "machine"});
            QVERIFY2(r.code == 2 && r.errLines().first().contains(" cannot be written to: "), r.err.constData());
        }
        QVERIFY(!QFileInfo::exists(target));

        r = cli({"download", layout, "--port", missing, "--block", "Loops2"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.errLines(),
                 QStringList{"zeltra-cli: a machine layout has no block \"Loops2\" (try 'zeltra-cli --help')"});
    }

    // The port is held, by any of its names: the command line says so and leaves it alone.
    void portHeldByAnotherProgram_data()
    {
        QTest::addColumn<QString>("held"); // who holds it by which name
        QTest::newRow("a port of the same name") << "port by link";
        QTest::newRow("a port by the device path") << "port by device";
        QTest::newRow("our transfer by another link") << "transfer by other link";
    }
    void portHeldByAnotherProgram()
    {
        QFETCH(QString, held);
        Keyboard kbd;
        QVERIFY(kbd.start());
        const QString layout = kbd.file("l.bin");
        writeFile(layout, knownMachineLayout());
        QSerialPort port(held == "port by link" ? kbd.link : kbd.emu.ptyPath());
        QProcess transfer;
        if (held.startsWith("port"))
            QVERIFY(port.open(QIODevice::ReadWrite));
        else if (QFile::link(kbd.emu.ptyPath(), kbd.file("other")))
            transfer.start(QStringLiteral(ZELTRA_CLI_PATH), {"download", layout, "--port", kbd.file("other"), "--block", "Locates"});
        QTRY_VERIFY(held.startsWith("port") || kbd.emu.output().contains("<- "));
        const QByteArray before = kbd.emu.output();
        const Run r = cli({"download", layout, "--port", kbd.link, "--block", "Keyboard"});
        QCOMPARE(r.code, 3);
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY2(r.errLines().first().contains("is in use by another program"), r.err.constData());
        QVERIFY(!kbd.emu.output().mid(before.size()).contains(" B1 01 ")); // no key block written
        transfer.kill();
        transfer.waitForFinished();
    }

    void silentKeyboard()
    {
        Keyboard kbd;
        QVERIFY(kbd.start({"--silent"}));
        const QString layout = kbd.file("l.bin");
        writeFile(layout, knownMachineLayout());
        const Run r = cli({"download", layout, "--port", kbd.link, "--block", "Keyboard"});
        QCOMPARE(r.code, 4);
        QVERIFY2(r.errLines().last().startsWith("zeltra-cli: Abort No Coms"), r.err.constData());
    }

    void portANotTakingCommands()
    {
        Keyboard kbd;
        QVERIFY(kbd.start({"--ack-only"}));
        const QString backup = kbd.file("backup.bin");
        writeFile(backup, knownMachineLayout());
        const Run r = cli({"upload", backup, "--port", kbd.link, "--kind", "machine", "--block", "Keyboard"});
        QCOMPARE(r.code, 4);
        QVERIFY2(r.errLines().last().startsWith("zeltra-cli: Set Serial-A to Input"), r.err.constData());
        QCOMPARE(readFile(backup), knownMachineLayout()); // a failed upload writes nothing
        Keyboard slow; // a line that pauses between the bytes of each reply is no such keyboard
        QVERIFY(slow.start({"--split", "1", "--split-gap", "60"}));
        QCOMPARE(cli({"upload", slow.file("b.bin"), "--port", slow.link, "--kind", "machine", "--block", "2"}).code, 0);
    }

    // An erased keyboard is read into a new file, which names the bytes it could not take.
    // Such a backup is incomplete (exit 6) and does not verify; with --exact it does.
    // A layout goes into the keyboard and comes back into a new file of its kind that verifies
    // against the keyboard; a changed EEPROM byte is then found and named.
    void downloadUploadVerify_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refused"); // what the erased keyboard's cues give
        QTest::addColumn<QStringList>("faults");
        const QString cue = "block 5 address 0: the keyboard's FF is not a timecode digit pair; "
                            "cue 1 keeps the new file's default 01";
        QTest::newRow("machine") << knownMachineLayout() << "machine" << cue << QStringList{};
        QTest::newRow("monitor") << knownMonitorLayout() << "monitor" << "" << QStringList{};
        QTest::newRow("noise byte before each reply") << knownMachineLayout() << "machine" << cue << QStringList{"--garbage", "99"};
    }
    void downloadUploadVerify()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, kind);
        QFETCH(QString, refused);
        QFETCH(QStringList, faults);
        Keyboard kbd;
        QVERIFY(kbd.start(faults));
        const QString layout = kbd.file("layout.bin");
        const QString backup = kbd.file("backup.bin");
        writeFile(layout, original);

        const QString erased = kbd.file("erased.bin");
        Run r = cli({"upload", erased, "--port", kbd.link, "--kind", kind, "--fast"});
        QCOMPARE(r.code, refused.isEmpty() ? 0 : 6);
        QVERIFY2(r.err.contains(refused.toLocal8Bit()) && r.err.contains("keyboard's") == !refused.isEmpty(), r.err.constData());
        if (!refused.isEmpty()) {
            QVERIFY2(r.errLines().last().contains(": cue 1-32, GPO 1-12 there hold the new file's defaults"),
                     r.err.constData());
            QCOMPARE(cli({"verify", erased, "--port", kbd.link}).code, 5);
            r = cli({"upload", erased, "--port", kbd.link, "--kind", kind, "--fast", "--exact"});
            QVERIFY2(r.code == 0 && !r.err.contains("keyboard's"), r.err.constData());
        }
        QCOMPARE(cli({"verify", erased, "--port", kbd.link}).code, 0);

        QElapsedTimer clock;
        clock.start();
        r = cli({"download", layout, "--port", kbd.link, "--fast"});
        QCOMPARE(r.code, 0);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(r.errLines().last().startsWith("100%"), r.err.constData());

        r = cli({"upload", backup, "--port", kbd.link, "--kind", kind});
        QCOMPARE(r.code, 0);
        QCOMPARE(readFile(backup).left(4), original.left(4)); // the kind
        for (const QString& file : {layout, backup}) {
            r = cli({"verify", file, "--port", kbd.link});
            QCOMPARE(r.code, 0);
            QVERIFY(r.out.isEmpty());
        }

        kbd.emu.stop();
        QByteArray eeprom = readFile(kbd.eepromPath);
        QCOMPARE(eeprom.size(), qsizetype(emu::BlockCount * emu::BlockBytes));
        eeprom[emu::BlockBytes * 1 + 3] = char(0x5A); // block 1, address 3: key4's code
        writeFile(kbd.eepromPath, eeprom);
        QVERIFY(kbd.start(faults));
        r = cli({"verify", layout, "--port", kbd.link});
        QCOMPARE(r.code, 5);
        QCOMPARE(QString::fromLocal8Bit(r.out),
                 QStringLiteral("block 1 address 3 expected %1 got 5A\n")
                     .arg(QString::number(std::uint8_t(original[4 + 3]), 16).toUpper()));
        QCOMPARE(r.errLines().last(), QStringLiteral("zeltra-cli: 1 bytes differ"));
    }
};

QTEST_GUILESS_MAIN(TestCliEndToEnd)
#include "tst_cli_e2e.moc"
