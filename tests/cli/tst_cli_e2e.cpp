// zeltra-cli as a user runs it: the program, its exit codes and its output, against zeltra-emu
// on a pseudo-terminal.
#include "EmuCore.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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
        QTest::newRow("control characters in an option") << QStringList{"show", "a.bin", "--col\x1b[2J\nour"} << 1
                                                         << "zeltra-cli: unknown option --col.[2J.our (try 'zeltra-cli --help')";
        QTest::newRow("control characters in the port") << QStringList{"verify", "a.bin", "--port", "7\n\x1b"} << 1
                                                        << "zeltra-cli: --port takes a COM number 1..999 or a "
                                                           "device path, not \"7..\" (try 'zeltra-cli --help')";
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

        const QString regular = dir.filePath(QStringLiteral("regular.txt"));
        writeFile(regular, "text");
        r = cli({"verify", "--port", regular, "--", layout});
        QCOMPARE(r.code, 3);
        QCOMPARE(r.errLines(), QStringList{"zeltra-cli: " + regular +
                                           " does not open: it is a regular file, not a serial device"});

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
        const QString otherLink = kbd.file("other");
        QVERIFY(QFile::link(kbd.emu.ptyPath(), otherLink));
        const QString layout = kbd.file("l.bin");
        writeFile(layout, knownMachineLayout());
        QSerialPort port(held == "port by link" ? kbd.link : kbd.emu.ptyPath());
        QProcess transfer;
        if (held.startsWith("port")) {
            QVERIFY(port.open(QIODevice::ReadWrite));
        } else {
            transfer.start(QStringLiteral(ZELTRA_CLI_PATH), {"download", layout, "--port", otherLink, "--block", "Locates"});
            QTRY_VERIFY(kbd.emu.output().contains("<- "));
        }
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
    }

    // An erased keyboard is read into a new file, which says which bytes it could not take.
    // A layout goes into the keyboard and comes back into a new file of its kind that verifies
    // against the keyboard; a changed EEPROM byte is then found and named.
    void downloadUploadVerify_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("lastProgress");
        QTest::addColumn<QString>("erasedBlock");
        QTest::addColumn<QString>("refused");
        QTest::newRow("machine") << knownMachineLayout() << "machine" << "100%  475/475" << "Locates"
                                 << "block 5 address 0: the keyboard's FF is not a timecode digit pair";
        QTest::newRow("monitor") << knownMonitorLayout() << "monitor" << "100%  306/306" << "Format Assign" << "";
    }
    void downloadUploadVerify()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, kind);
        QFETCH(QString, lastProgress);
        QFETCH(QString, erasedBlock);
        QFETCH(QString, refused);
        Keyboard kbd;
        QVERIFY(kbd.start());
        const QString layout = kbd.file("layout.bin");
        const QString backup = kbd.file("backup.bin");
        writeFile(layout, original);

        Run r = cli({"upload", kbd.file("erased.bin"), "--port", kbd.link, "--kind", kind, "--block", erasedBlock});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(refused.toLocal8Bit()) && r.err.contains("keyboard's") == !refused.isEmpty(),
                 r.err.constData());

        r = cli({"download", layout, "--port", kbd.link, "--fast"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.errLines().last().startsWith(lastProgress), r.err.constData());

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
        QVERIFY(kbd.start());
        r = cli({"verify", layout, "--port", kbd.link});
        QCOMPARE(r.code, 5);
        QCOMPARE(QString::fromLocal8Bit(r.out),
                 QStringLiteral("block 1 address 3 expected %1 got 5A\n")
                     .arg(QString::number(std::uint8_t(original[4 + 3]), 16).toUpper()));
        QCOMPARE(r.errLines().last(), QStringLiteral("zeltra-cli: 1 bytes differ"));
    }

    // A line that adds a byte or pauses inside every reply still carries the transfer in time.
    void faultyLine_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QList<QStringList>>("commands"); // L: the layout, P: the port
        QTest::newRow("noise byte before each reply")
            << QStringList{"--garbage", "99"}
            << QList<QStringList>{{"download", "L", "--port", "P", "--fast"}, {"verify", "L", "--port", "P"}};
        QTest::newRow("a pause between reply bytes")
            << QStringList{"--split", "1", "--split-gap", "60"}
            << QList<QStringList>{{"download", "L", "--port", "P", "--block", "Unit Config"},
                                  {"upload", "L", "--port", "P", "--kind", "machine", "--block", "Unit Config"}};
    }
    void faultyLine()
    {
        QFETCH(QStringList, faults);
        QFETCH(QList<QStringList>, commands);
        Keyboard kbd;
        QVERIFY(kbd.start(faults));
        const QString layout = kbd.file("layout.bin");
        writeFile(layout, knownMachineLayout());
        QElapsedTimer clock;
        clock.start();
        for (QStringList args : commands) {
            args.replaceInStrings(QRegularExpression("^L$"), layout).replaceInStrings(QRegularExpression("^P$"), kbd.link);
            const Run r = cli(args);
            QVERIFY2(r.code == 0, r.err.constData());
        }
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
    }

    // An output that cannot be written is refused before the keyboard is asked anything.
    void outputCheckedFirst_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("reason");
        QTest::newRow("link to nothing") << "link.bin" << "It is a link to %1, which does not exist.";
        QTest::newRow("name too long") << QString(300, QLatin1Char('n')) << "The file name is too long.";
    }
    void outputCheckedFirst()
    {
        QFETCH(QString, output);
        QFETCH(QString, reason);
        Keyboard kbd;
        QVERIFY(kbd.start());
        const QString target = kbd.file("elsewhere/none.bin");
        QVERIFY(QDir(kbd.dir.path()).mkdir(QStringLiteral("elsewhere")));
        QVERIFY(QFile::link(target, kbd.file("link.bin")));
        const QString path = kbd.dir.filePath(output);
        const Run r = cli({"upload", path, "--port", kbd.link, "--kind", "machine"});
        QCOMPARE(r.code, 2);
        QCOMPARE(r.errLines(), QStringList{"zeltra-cli: " + path + " cannot be written to: " + reason.arg(target)});
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(!kbd.emu.output().contains("<- "));
    }
};

QTEST_GUILESS_MAIN(TestCliEndToEnd)
#include "tst_cli_e2e.moc"
