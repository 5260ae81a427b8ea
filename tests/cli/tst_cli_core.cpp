// zeltra-cli without the line: command lines, port words, block names, exit codes, progress
// lines and layout files.
#include "CliArgs.h"
#include "ExitCodes.h"
#include "LayoutFile.h"
#include "LayoutText.h"
#include "LeftOut.h"
#include "PortsText.h"
#include "Progress.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zeltra;
using namespace zeltra::cli;

Q_DECLARE_METATYPE(zeltra::cli::Options)
Q_DECLARE_METATYPE(zeltra::link::TransferOutcome)

namespace {

Options opts(Command c, QString file = {}, QString port = {}, QString block = {}, bool verify = false,
             bool fast = false, std::int32_t kind = -1)
{
    const QStringList ports = port.isEmpty() ? QStringList{} : port.split(QLatin1Char(' '));
    return {c, std::move(file), ports, std::move(block), verify, fast, kind, {}};
}

QByteArray image(std::size_t size, std::uint8_t first)
{
    QByteArray b(qsizetype(size), '\0');
    b[0] = char(first);
    return b;
}

} // namespace

class TestCliCore : public QObject {
    Q_OBJECT
  private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Options>("expected");
        QTest::addColumn<QString>("error"); // a part of the error line; empty: parsed

        const auto D = Command::Download;
        QTest::newRow("help anywhere") << QStringList{"download", "--frob", "--help"}
                                       << opts(Command::Help) << "";
        QTest::newRow("help word") << QStringList{"help"} << opts(Command::Help) << "";
        QTest::newRow("ports") << QStringList{"ports"} << opts(Command::Ports) << "";
        QTest::newRow("show") << QStringList{"show", "a.bin"} << opts(Command::Show, "a.bin") << "";
        QTest::newRow("download, options before file")
            << QStringList{"download", "--port", "7", "--fast", "a.bin", "--block=Locates", "--verify"}
            << opts(D, "a.bin", "7", "Locates", true, true) << "";
        QTest::newRow("upload") << QStringList{"upload", "b.bin", "--port=/dev/pts/3", "--kind", "monitor"}
                                << opts(Command::Upload, "b.bin", "/dev/pts/3", {}, false, false, KbdMonitor)
                                << "";
        QTest::newRow("verify") << QStringList{"verify", "a.bin", "--port", "COM2"}
                                << opts(Command::Verify, "a.bin", "COM2") << "";
        QTest::newRow("file names after --") << QStringList{"show", "--", "--help"}
                                             << opts(Command::Show, "--help") << "";
        QTest::newRow("options before --") << QStringList{"verify", "--port", "2", "--", "-a.bin"}
                                           << opts(Command::Verify, "-a.bin", "2") << "";
        QTest::newRow("a paper size of no such name") << QStringList{"print", "a", "b", "--page=A5"} << Options{}
                                                      << "--page takes A4 or Letter, not \"A5\"";
        QTest::newRow("no command") << QStringList{} << Options{} << "no command given";
        QTest::newRow("unknown command") << QStringList{"dwnload"} << Options{} << "unknown command \"dwnload\"";
        QTest::newRow("unknown option") << QStringList{"show", "a", "--colour"} << Options{}
                                        << "unknown option --colour";
        QTest::newRow("short option") << QStringList{"show", "-x", "a"} << Options{} << "unknown option -x";
        QTest::newRow("option of another command") << QStringList{"verify", "a", "--port", "1", "--fast"}
                                                   << Options{} << "verify does not take --fast";
        QTest::newRow("missing file") << QStringList{"download", "--port", "1"} << Options{}
                                      << "download needs a FILE";
        QTest::newRow("two files") << QStringList{"show", "a", "b"} << Options{} << "unexpected word \"b\"";
        QTest::newRow("missing port") << QStringList{"verify", "a"} << Options{} << "verify needs --port";
        QTest::newRow("missing kind") << QStringList{"upload", "a", "--port", "1"} << Options{}
                                      << "upload needs --kind";
        QTest::newRow("port without value") << QStringList{"download", "a", "--port"} << Options{}
                                            << "--port needs a value";
        QTest::newRow("port followed by option") << QStringList{"download", "a", "--port", "--fast"}
                                                 << Options{} << "--port needs a value";
        QTest::newRow("empty value") << QStringList{"download", "a", "--port="} << Options{}
                                     << "--port needs a value";
        QTest::newRow("given twice") << QStringList{"upload", "a", "--port", "1", "--port=2"} << Options{}
                                     << "--port given twice";
        QTest::newRow("several ports") << QStringList{"verify", "a", "--port", "1", "--port=/dev/pts/4"}
                                       << opts(Command::Verify, "a", "1 /dev/pts/4") << "";
        QTest::newRow("one port twice") << QStringList{"download", "a", "--port", "1", "--port=1"}
                                        << Options{} << "--port \"1\" given twice";
        QTest::newRow("flag with value") << QStringList{"download", "a", "--port", "1", "--fast=yes"}
                                         << Options{} << "--fast takes no value";
        QTest::newRow("bad kind") << QStringList{"upload", "a", "--port", "1", "--kind", "Machine"}
                                  << Options{} << "--kind takes machine or monitor";
        QTest::newRow("ports takes nothing") << QStringList{"ports", "x"} << Options{}
                                             << "unexpected word \"x\"";
        QTest::newRow("overlong word") << QStringList{"show", QString(MaxWordLength + 1, u'a')}
                                       << Options{} << "too long";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Options, expected);
        QFETCH(QString, error);
        const Parsed p = parseArguments(args);
        if (error.isEmpty()) {
            QVERIFY2(p.options, qPrintable(p.error));
            QCOMPARE(*p.options, expected);
        } else {
            QVERIFY(!p.options);
            QVERIFY2(p.error.contains(error), qPrintable(p.error));
            QVERIFY(!p.error.contains(QLatin1Char('\n')));
        }
    }

    void port_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("path"); // empty: refused
        QTest::newRow("number") << "1" << "/dev/ttyS0";
        QTest::newRow("USB number") << "34" << "/dev/ttyUSB1";
        QTest::newRow("COM text") << "COM65" << "/dev/ttyACM0";
        QTest::newRow("lower case com") << "com2" << "/dev/ttyS1";
        QTest::newRow("environment") << "7" << "/tmp/kbd";
        QTest::newRow("path") << "/dev/pts/4" << "/dev/pts/4";
        QTest::newRow("relative path") << "./kbd" << "./kbd";
        QTest::newRow("zero") << "0" << "";
        QTest::newRow("negative") << "-3" << "";
        QTest::newRow("number without device") << "200" << "";
        QTest::newRow("too large") << "1000" << "";
        QTest::newRow("word") << "usb" << "";
        QTest::newRow("COM without number") << "COM" << "";
        QTest::newRow("RFC 2217 port") << "rfc2217://studio-a:2000" << "rfc2217://studio-a:2000";
        QTest::newRow("raw port, scheme in capitals") << "TCP://127.0.0.1:4001" << "tcp://127.0.0.1:4001";
        QTest::newRow("IPv6 port") << "tcp://[::1]:4001" << "tcp://[::1]:4001";
        QTest::newRow("another scheme") << "telnet://studio-a:23" << "";
        QTest::newRow("network port without its number") << "rfc2217://studio-a" << "";
    }
    void port()
    {
        QFETCH(QString, word);
        QFETCH(QString, path);
        QProcessEnvironment env;
        env.insert(QStringLiteral("ZELTRA_COM7"), QStringLiteral("/tmp/kbd"));
        QString error;
        const PortChoice p = resolvePort(word, env, &error);
        QCOMPARE(p.address.isNetwork() ? p.name : p.path, path);
        QCOMPARE(error.isEmpty(), !path.isEmpty());
    }

    void block_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index"); // -1: no such block
        QTest::newRow("none is all") << int(KbdMachine) << "" << 0;
        QTest::newRow("all") << int(KbdMachine) << "all" << 0;
        QTest::newRow("name") << int(KbdMachine) << "Locates" << 5;
        QTest::newRow("any case, blanks kept") << int(KbdMachine) << "zq macros" << 8;
        QTest::newRow("number") << int(KbdMachine) << "7" << 7;
        QTest::newRow("number past the list") << int(KbdMachine) << "9" << -1;
        QTest::newRow("number zero") << int(KbdMachine) << "0" << -1;
        QTest::newRow("monitor name") << int(KbdMonitor) << "Dim + Other" << 5;
        QTest::newRow("machine name on monitor") << int(KbdMonitor) << "Locates" << -1;
        QTest::newRow("kind without blocks") << int(KbdFuture) << "" << -1;
    }
    void block()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(int, index);
        QCOMPARE(blockIndex(kind, name).value_or(-1), index);
    }

    void exitCode_data()
    {
        using link::TransferOutcome;
        QTest::addColumn<TransferOutcome>("outcome");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text"); // the start of the line
        QTest::newRow("finished") << TransferOutcome::Finished << 0 << "finished";
        QTest::newRow("verified") << TransferOutcome::Verified << 0 << "verified";
        QTest::newRow("no answer") << TransferOutcome::NoAnswer << 4 << "Abort No Coms";
        QTest::newRow("port A not taking commands") << TransferOutcome::NotTakingCommands << 4
                                                    << "Set Serial-A to Input";
        QTest::newRow("port lost") << TransferOutcome::PortLost << 3 << "the port went away";
        QTest::newRow("verify mismatch") << TransferOutcome::Differ << 5 << "the keyboard holds other bytes";
    }
    void exitCode()
    {
        QFETCH(link::TransferOutcome, outcome);
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(exitCodeFor(outcome), code);
        QVERIFY(outcomeText(outcome).startsWith(text));
    }

    void portFailure_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("line");
        QTest::newRow("held by the window") << "Can't open device COM7: Permission error while locking the device"
                                            << "COM7 is in use by another program";
        QTest::newRow("missing") << "Can't open device COM7: No such file or directory" << "COM7 does not exist";
        QTest::newRow("no rights") << "Can't open device COM7: Permission denied" << "dialout";
        QTest::newRow("other") << "Can't open device COM7: Input/output error" << "Input/output error";
    }
    void portFailure()
    {
        QFETCH(QString, reason);
        QFETCH(QString, line);
        QVERIFY(portOpenFailure(QStringLiteral("COM7"), reason).contains(line));
    }

    // The closing line of an upload that left bytes out names each time once, in runs.
    void incompleteBackup()
    {
        const QList<link::RefusedByte> refused{{5, 0, 0xAB}, {5, 6, 0xAB}, {7, 8, 0x1F},
                                               {5, 0, 0xAC}, {5, 18, 0xFF}, {7, 0, 0xA0}};
        QCOMPARE(incompleteLine(distinctRefused(refused), QStringLiteral("f.bin"), false),
                 "backup incomplete: 5 bytes the keyboard holds are not in f.bin: cue 1-2, cue 4, GPO 1, GPO 3 "
                 "there hold the file's own bytes, not the keyboard's (--exact keeps every byte as read)");
    }

    void bar_data()
    {
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("line");
        QTest::newRow("start") << 0 << 10 << "[..........]   0%  0/10  Go";
        QTest::newRow("half") << 5 << 10 << "[#####.....]  50%  5/10  Go";
        QTest::newRow("more than all") << 12 << 10 << "[##########] 100%  10/10  Go";
        QTest::newRow("nothing to send") << 0 << 0 << "[..........] 100%  0/0  Go";
    }
    void bar()
    {
        QFETCH(int, done);
        QFETCH(int, total);
        QFETCH(QString, line);
        QCOMPARE(barLine(QStringLiteral("Go"), done, total, 10), line);
    }

    void portsList_data()
    {
        QTest::addColumn<QList<PortLine>>("ports");
        QTest::addColumn<QStringList>("used");
        QTest::addColumn<QStringList>("lines");
        const PortLine uart{{1, "COM1", "/dev/ttyS0", "16550A"}, {}};
        const PortLine pty{{7, "COM7", "/dev/pts/3", "bad\x1b[2Jname"}, {}};
        QTest::newRow("serial ports") << QList<PortLine>{uart, pty} << QStringList{}
                                      << QStringList{"COM1   /dev/ttyS0  16550A", "COM7   /dev/pts/3  bad.[2Jname"};
        QTest::newRow("USB adapters: the driver, an FTDI's latency timer")
            << QList<PortLine>{uart, {{33, "COM33", "/dev/ttyUSB0", "FT232R USB UART"}, link::AdapterInfo{"ftdi_sio", 16}},
                               {{34, "COM34", "/dev/ttyUSB1", "CP2102"}, link::AdapterInfo{"cp210x", std::nullopt}}}
            << QStringList{}
            << QStringList{"COM1   /dev/ttyS0    16550A", "COM33  /dev/ttyUSB0  FT232R USB UART  driver ftdi_sio, latency timer 16 ms",
                           "COM34  /dev/ttyUSB1  CP2102           driver cp210x"};
        QTest::newRow("no serial ports, network ports used before")
            << QList<PortLine>{} << QStringList{"rfc2217://studio-a:2000", "tcp://[::1]:4001"}
            << QStringList{"no serial ports found", "rfc2217://studio-a:2000  network port, used before",
                           "tcp://[::1]:4001  network port, used before"};
    }
    void portsList()
    {
        QFETCH(QList<PortLine>, ports);
        QFETCH(QStringList, used);
        QFETCH(QStringList, lines);
        QCOMPARE(portsText(ports, used), lines);
    }

    void loadLayout_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error"); // a part of it; empty: loads
        QTest::newRow("machine") << image(mcn::Size, 0) << "";
        QTest::newRow("monitor") << image(mon::Size, 1) << "";
        QTest::newRow("empty") << QByteArray() << "is empty";
        QTest::newRow("machine cut short") << image(mcn::Size - 1, 0) << "483 bytes; a machine layout is 484";
        QTest::newRow("monitor too long") << image(mon::Size + 1, 1) << "365 bytes; a monitor layout is 364";
        QTest::newRow("kind 2") << image(mcn::Size, 2) << "not a layout file";
        QTest::newRow("other file") << image(mcn::Size, 0x7F) << "not a layout file";
    }
    void loadLayout()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("l.bin"));
        writeFile(path, bytes);
        LayoutData model;
        model.initDefaults({});
        model.setKbdType(KbdMonitor);
        const LayoutData before = model;
        const QString e = zeltra::cli::loadLayout(path, model);
        QVERIFY2(error.isEmpty() ? e.isEmpty() : e.contains(error), qPrintable(e));
        if (!error.isEmpty()) {
            QCOMPARE(model.KbdType(), before.KbdType());
            QVERIFY(model.McnImage == before.McnImage && model.MonImage == before.MonImage);
        } else {
            QCOMPARE(model.KbdType(), std::int32_t(bytes[0]));
        }
    }

    void uploadBaseKeepsFileOfSameKind()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("u.bin"));
        QByteArray mcn = image(mcn::Size, 0);
        mcn[mcn::MacroTable] = char(16);
        writeFile(path, mcn);
        LayoutData model;
        QVERIFY(uploadBase(path, KbdMachine, model).isEmpty());
        QCOMPARE(model.McnImage.bytes[mcn::MacroTable], std::uint8_t(16));
        QVERIFY(uploadBase(path, KbdMonitor, model).contains("holds a machine layout, not a monitor one"));
        QVERIFY(uploadBase(dir.filePath(QStringLiteral("new.bin")), KbdMonitor, model).isEmpty());
        QCOMPARE(model.KbdType(), KbdMonitor);
        MonitorImage newFile = defaultMonitorImage();
        newFile.setKbdType(KbdMonitor);
        QCOMPARE(model.MonImage, newFile);
        QVERIFY(uploadBase(dir.filePath(QStringLiteral("no-folder/new.bin")), KbdMachine, model)
                    .contains("cannot be written to"));
    }

    void failedSaveKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.bin"));
        writeFile(path, "old");
        LayoutData model;
        model.initDefaults({});
        {
            FileSizeLimit limit(100);
            QVERIFY(!saveLayout(path, model).isEmpty());
        }
        QCOMPARE(readFile(path), QByteArray("old"));
        QVERIFY(saveLayout(path, model).isEmpty());
        QCOMPARE(readFile(path).size(), qsizetype(mcn::Size));
    }
};

QTEST_GUILESS_MAIN(TestCliCore)
#include "tst_cli_core.moc"
