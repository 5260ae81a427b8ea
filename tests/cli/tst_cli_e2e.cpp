// zeltra-cli as a user runs it: the program, its exit codes and its output, against zeltra-emu
// on a pseudo-terminal.
#include "EmuCore.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"
#include "link/BlockTables.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

using namespace zeltra;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
    QStringList errLines() const
    {
        return QString::fromLocal8Bit(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

Run cli(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELTRA_CLI_PATH), args);
    if (!p.waitForFinished(120000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

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
                                                    << "zeltra-cli: --port takes a COM number 1..999 or a "
                                                       "device path, not \"0\" (try 'zeltra-cli --help')";
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

        r = cli({"download", layout, "--port", missing, "--block", "Loops2"});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.errLines(),
                 QStringList{"zeltra-cli: a machine layout has no block \"Loops2\" (try 'zeltra-cli --help')"});
    }

    // The window program holds the port: the command line says so and leaves it alone.
    void portHeldByAnotherProgram()
    {
        Keyboard kbd;
        QVERIFY(kbd.start());
        QSerialPort holder(kbd.link);
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const QString layout = kbd.file("l.bin");
        writeFile(layout, knownMachineLayout());
        const Run r = cli({"download", layout, "--port", kbd.link, "--block", "Keyboard"});
        QCOMPARE(r.code, 3);
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY2(r.errLines().first().contains("is in use by another program"), r.err.constData());
        QVERIFY(holder.isOpen());
        QVERIFY(!kbd.emu.output().contains("<- "));
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
    }

    // A layout goes into the keyboard, comes back into a new file and verifies; a changed
    // EEPROM byte is then found and named.
    void downloadUploadVerify()
    {
        Keyboard kbd;
        QVERIFY(kbd.start());
        const QString layout = kbd.file("layout.bin");
        const QString backup = kbd.file("backup.bin");
        writeFile(layout, knownMachineLayout());

        Run r = cli({"download", layout, "--port", kbd.link, "--fast"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.errLines().last().startsWith("100%  475/475"), r.err.constData());

        r = cli({"upload", backup, "--port", kbd.link, "--kind", "machine"});
        QCOMPARE(r.code, 0);
        const QByteArray original = knownMachineLayout();
        const QByteArray copy = readFile(backup);
        QCOMPARE(copy.size(), original.size());
        MachineImage a, b;
        std::copy(original.begin(), original.end(), a.bytes.begin());
        std::copy(copy.begin(), copy.end(), b.bytes.begin());
        int compared = 0;
        for (int block = 1; const auto* e = link::blockEntry(KbdMachine, block); ++block) {
            if (!e->uploadCaption)
                continue; // never read back
            for (int address = 0; address < e->written; ++address, ++compared)
                QVERIFY2(link::downloadByte(a, block, address) == link::downloadByte(b, block, address),
                         qPrintable(QStringLiteral("block %1 address %2").arg(block).arg(address)));
        }
        QCOMPARE(compared, 22 + 3 * 15 + 192 + 160);

        r = cli({"verify", layout, "--port", kbd.link});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());

        kbd.emu.stop();
        QByteArray eeprom = readFile(kbd.eepromPath);
        QCOMPARE(eeprom.size(), qsizetype(emu::BlockCount * emu::BlockBytes));
        eeprom[emu::BlockBytes * 1 + 3] = char(0x5A); // block 1, address 3: key4's code
        writeFile(kbd.eepromPath, eeprom);
        QVERIFY(kbd.start());
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
