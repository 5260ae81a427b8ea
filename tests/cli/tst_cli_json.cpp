// `--json` as a script reads it: one document on stdout for each command that takes it,
// against zeltra-emu on a pseudo-terminal where a keyboard is needed. Fields are checked by
// path ("ports/0/exitCode"), and every field a document holds is named in the manual page.
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include "link/BlockTables.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Fields = QList<QPair<QString, QJsonValue>>;

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args)
{
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZELTRA_COM77"), QStringLiteral("/dev/null"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZELTRA_CLI_PATH), args);
    if (!p.waitForFinished(120000))
        p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QJsonValue at(const QJsonValue& root, const QString& path)
{
    QJsonValue v = root;
    for (const QString& part : path.split(QLatin1Char('/'))) {
        bool index = false;
        const int i = part.toInt(&index);
        v = index ? v.toArray().at(i) : v.toObject().value(part);
    }
    return v;
}

// Every member name in a document, at any depth.
void names(const QJsonValue& v, QSet<QString>& out)
{
    if (v.isArray())
        for (const QJsonValue& e : v.toArray())
            names(e, out);
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            out << it.key();
            names(it.value(), out);
        }
    }
}

int written(std::int32_t kind)
{
    return zeltra::link::transferFrames(kind, zeltra::link::DownloadBase, 0);
}

} // namespace

class TestCliJson : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase()
    {
        writeFile(dir_.filePath("studio.bin"), knownMachineLayout());
        writeFile(dir_.filePath("desk.bin"), knownMonitorLayout());
        QByteArray other = knownMachineLayout();
        other[4 + 4] = char(160);                       // key 5: "Loc-1"
        other[int(zeltra::mcn::Cues) + 4 * 6] = 0x11;   // cue 5's hours
        writeFile(dir_.filePath("edited.bin"), other);
        QFile page(QStringLiteral(ZELTRA_MAN_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly));
        manPage_ = QString::fromUtf8(page.readAll()).remove(QStringLiteral("\\f"));
    }

    void documents_data()
    {
        QTest::addColumn<QStringList>("emulator"); // empty: no keyboard needed
        QTest::addColumn<QStringList>("args");     // "{pty}" is the emulator's line
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<Fields>("fields");
        const QStringList none;
        QTest::newRow("ports") << none << QStringList{"ports", "--json"} << 0
                               << Fields{{"command", "ports"}, {"message", "done"}};
        QTest::newRow("download")
            << QStringList{"--fill", "00"} << QStringList{"download", "studio.bin", "--port", "{pty}", "--fast", "--json"}
            << 0
            << Fields{{"command", "download"}, {"file", "studio.bin"}, {"message", "done"},
                      {"ports/0/exitCode", 0}, {"ports/0/blocksDone", 8},
                      {"ports/0/bytesWritten", written(zeltra::KbdMachine)}, {"ports/0/bytesRead", 0},
                      {"ports/0/mismatches", QJsonArray()}};
        QTest::newRow("download --verify, a keyboard that stores bytes wrongly")
            << QStringList{"--corrupt", "100"}
            << QStringList{"download", "desk.bin", "--port", "{pty}", "--fast", "--verify", "--json"} << 5
            << Fields{{"ports/0/exitCode", 5}, {"ports/0/blocksDone", 10},
                      {"ports/0/bytesWritten", written(zeltra::KbdMonitor)}};
        QTest::newRow("upload")
            << QStringList{"--fill", "00"}
            << QStringList{"upload", "backup.bin", "--port", "{pty}", "--kind", "machine", "--fast", "--json"} << 0
            << Fields{{"command", "upload"}, {"ports/0/exitCode", 0}, {"ports/0/bytesWritten", 0},
                      {"ports/0/leftOut", QJsonArray()}};
        QTest::newRow("upload of times that are not timecode digits")
            << QStringList{"--fill", "FF"}
            << QStringList{"upload", "backup.bin", "--port", "{pty}", "--kind", "machine", "--block", "GPO TC",
                           "--fast", "--json"}
            << 6 << Fields{{"exitCode", 6}, {"ports/0/exitCode", 6}, {"ports/0/blocksDone", 1},
                           {"ports/0/leftOut/0/keyboardByte", 255}};
        QTest::newRow("verify against a keyboard that does not answer")
            << QStringList{"--silent"} << QStringList{"verify", "studio.bin", "--port", "{pty}", "--json"} << 4
            << Fields{{"exitCode", 4}, {"ports/0/blocksDone", 0}, {"ports/0/bytesRead", 0}};
        QTest::newRow("two ports, one of them absent")
            << QStringList{"--fill", "00"}
            << QStringList{"download", "studio.bin", "--port", "{pty}", "--port", "/dev/zeltra-none",
                           "--block", "Keyboard", "--fast", "--json"}
            << 3
            << Fields{{"exitCode", 3}, {"ports/0/exitCode", 0}, {"ports/0/bytesWritten", 22},
                      {"ports/1/exitCode", 3}, {"ports/1/address", "/dev/zeltra-none"},
                      {"message", "/dev/zeltra-none does not exist"}};
        QTest::newRow("diff of two layouts")
            << none << QStringList{"diff", "studio.bin", "edited.bin", "--json"} << 5
            << Fields{{"differences/0/section", "keys"}, {"differences/0/item", 5},
                      {"differences/0/field", "function"}, {"differences/0/from", "4"},
                      {"differences/0/to", "Loc-1"}, {"differences/0/text", "key 5: 4 -> Loc-1"},
                      {"differences/1/section", "cues"}, {"differences/1/to", "11:20:30:40"}};
        QTest::newRow("diff of a layout with itself")
            << none << QStringList{"diff", "studio.bin", "studio.bin", "--json"} << 0
            << Fields{{"differences", QJsonArray()}, {"message", "the layouts are equal"}};
        QTest::newRow("diff of two kinds") << none << QStringList{"diff", "studio.bin", "desk.bin", "--json"} << 2
                                           << Fields{{"differences", QJsonArray()}};
        QTest::newRow("a command line that is wrong")
            << none << QStringList{"verify", "studio.bin", "--json"} << 1
            << Fields{{"message", "verify needs --port"}};
        QTest::newRow("a file that is not a layout")
            << none << QStringList{"download", "nothing.bin", "--port", "7", "--json"} << 2
            << Fields{{"command", "download"}, {"ports", QJsonArray()}};
    }
    void documents()
    {
        QFETCH(QStringList, emulator);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(Fields, fields);
        EmuProcess emu;
        if (!emulator.isEmpty()) {
            QVERIFY(emu.start(emulator));
            args.replaceInStrings(QStringLiteral("{pty}"), emu.ptyPath());
        }
        QFile::remove(dir_.filePath("backup.bin"));
        QDir::setCurrent(dir_.path());
        const Run run = cli(args);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError && doc.isObject(), run.out.constData());
        QCOMPARE(run.code, exitCode);
        QCOMPARE(at(doc.object(), QStringLiteral("exitCode")), QJsonValue(exitCode));
        for (const auto& [path, value] : fields)
            QVERIFY2(at(doc.object(), path) == value,
                     qPrintable(path + QStringLiteral(" in ") + QString::fromUtf8(run.out)));
        QVERIFY(!run.out.contains("[###")); // progress stays on stderr
        QSet<QString> fieldNames;
        names(doc.object(), fieldNames);
        for (const QString& name : fieldNames)
            QVERIFY2(manPage_.contains(QStringLiteral("B") + name + QStringLiteral("R")),
                     qPrintable(name + QStringLiteral(" is not in the manual page")));
    }

    // Each byte a verify finds different names its block and address, the file's byte there
    // and the keyboard's.
    void mismatches()
    {
        EmuProcess emu;
        QVERIFY(emu.start({"--corrupt", "7"}));
        QDir::setCurrent(dir_.path());
        const Run run = cli({"download", "studio.bin", "--port", emu.ptyPath(), "--block", "Locates",
                             "--fast", "--verify", "--json"});
        QCOMPARE(run.code, 5);
        const QJsonArray list = at(QJsonDocument::fromJson(run.out).object(), "ports/0/mismatches").toArray();
        QVERIFY(!list.isEmpty());
        zeltra::MachineImage image;
        const QByteArray layout = knownMachineLayout();
        std::copy(layout.begin(), layout.end(), image.bytes.begin());
        for (const QJsonValue& m : list) {
            const int block = m[QLatin1String("block")].toInt();
            const int address = m[QLatin1String("address")].toInt();
            QCOMPARE(block, 5);
            QCOMPARE(m[QLatin1String("fileByte")].toInt(), int(*zeltra::link::downloadByte(image, block, address)));
            QVERIFY(m[QLatin1String("keyboardByte")] != m[QLatin1String("fileByte")]);
        }
    }

  private:
    QTemporaryDir dir_;
    QString manPage_;
};

QTEST_GUILESS_MAIN(TestCliJson)
#include "tst_cli_json.moc"
