// zeltra-cli as a user runs it beyond the link of one keyboard: a layout out to a document,
// edited by hand, back in and told apart from the original in words; several keyboards at once
// against zeltra-emu on pseudo-terminals.
#include "CliRun.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestCliFlows : public QObject {
    Q_OBJECT
  private slots:
    void editedLayout_data()
    {
        QTest::addColumn<QByteArray>("layout");
        QTest::addColumn<QList<QByteArrayList>>("edits"); // text replaced in the document
        QTest::addColumn<QString>("golden");
        QTest::newRow("machine")
            << knownMachineLayout()
            << QList<QByteArrayList>{{"\"code\": 195,\n      \"function\": \"4\",", "\"code\": 160,"},
                                     {"\"10:20:30:40\"", "\"10:20:30:41\""},
                                     {"\"clip\": 275,\n", ""},
                                     {"\"endAction\": \"Locate and Play\"", "\"endAction\": \"Stop\""},
                                     {"\"function\": \"Mark In\",\n", ""},
                                     {"\"code\": 16,", "\"code\": 17,"}}
            << "diff_machine.txt";
        QTest::newRow("monitor") << knownMonitorLayout()
                                 << QList<QByteArrayList>{{"\"LCRS    \"", "\"Dialog\""},
                                                          {"\"step\": 10", "\"step\": 12"},
                                                          {"\"level\": \"+1.0dB\",\n", ""},
                                                          {"\"format\": 3,", "\"format\": 4,"}}
                                 << "diff_monitor.txt";
    }
    void editedLayout()
    {
        QFETCH(QByteArray, layout);
        QFETCH(QList<QByteArrayList>, edits);
        QFETCH(QString, golden);
        QTemporaryDir dir;
        const QString bin = dir.filePath("a.bin");
        const QString json = dir.filePath("a.json");
        const QString edited = dir.filePath("b.bin");
        writeFile(bin, layout);

        const Run exported = cli({"export", bin});
        QCOMPARE(exported.code, 0);
        QByteArray doc = exported.out;
        QCOMPARE(cli({"export", bin, json}).code, 0);
        QCOMPARE(readFile(json), doc);
        QCOMPARE(cli({"import", json, edited}).code, 0);
        QCOMPARE(readFile(edited), layout);
        QCOMPARE(cli({"diff", bin, json}).code, 0);

        for (const QByteArrayList& e : edits) {
            QVERIFY2(doc.contains(e[0]), e[0].constData());
            doc.replace(doc.indexOf(e[0]), e[0].size(), e[1]);
        }
        writeFile(json, doc);
        const Run imported = cli({"import", json, edited});
        QVERIFY2(imported.code == 0, imported.err.constData());
        const Run diff = cli({"diff", bin, edited});
        QCOMPARE(diff.code, 5);
        QCOMPARE(QString::fromUtf8(diff.out),
                 QString::fromUtf8(readFile(QStringLiteral(ZELTRA_CLI_DATA "/") + golden)));
        QCOMPARE(cli({"diff", bin, json}).out, diff.out);

        // A fault leaves the layout as it was, and the kinds of layout never compare.
        writeFile(json, doc.replace("\"code\": ", "\"code\": 300"));
        const QString before = fileIdentity(edited);
        const Run refused = cli({"import", json, edited});
        QCOMPARE(refused.code, 2);
        QVERIFY2(refused.err.contains(": keys[0].code: 300") && refused.err.endsWith(" is not a byte\n"),
                 refused.err.constData());
        QCOMPARE(fileIdentity(edited), before);
        writeFile(edited, layout.size() == 484 ? knownMonitorLayout() : knownMachineLayout());
        const Run kinds = cli({"diff", bin, edited});
        QVERIFY2(kinds.code == 2 && kinds.err.contains("different kinds"), kinds.err.constData());
    }

    // An output is a regular file or a new one: a pipe, a device or a folder at its name is
    // left as it is. A file beside it that only looks like a leftover is the user's own.
    void outputsAreFiles_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("inTheWay"); // empty: only a backup beside the output
        QTest::addColumn<QString>("reason");
        for (const QString command : {"import", "export"}) {
            QTest::addRow("%s beside a backup", qPrintable(command)) << command << "" << "";
            QTest::addRow("%s over a pipe", qPrintable(command)) << command << "pipe" << "It is not a regular file.";
            QTest::addRow("%s over a device", qPrintable(command)) << command << "device" << "It is not a regular file.";
            QTest::addRow("%s over a folder", qPrintable(command)) << command << "folder" << "It is a folder, not a file.";
        }
    }
    void outputsAreFiles()
    {
        QFETCH(QString, command);
        QFETCH(QString, inTheWay);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString bin = dir.filePath("kbd1.bin"), json = dir.filePath("kbd1.json");
        writeFile(bin, knownMachineLayout());
        QCOMPARE(cli({"export", bin, json}).code, 0);
        const QString out = dir.filePath(command == "import" ? "out.bin" : "out.json");
        QFile backup(out + ".bak001"); // a rotation script's name, older than any save
        QVERIFY(backup.open(QIODevice::WriteOnly) &&
                backup.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        if (!inTheWay.isEmpty() && !makeInTheWay(inTheWay, out))
            QSKIP("only root makes a device node");
        const QString before = fileIdentity(out);
        const Run r = cli({command, command == "import" ? json : bin, out});
        QCOMPARE(r.code, reason.isEmpty() ? 0 : 2);
        QCOMPARE(QString::fromLocal8Bit(r.err), reason.isEmpty() ? "" : "zeltra-cli: " + out + ": " + reason + "\n");
        QCOMPARE(fileIdentity(out) == before, !reason.isEmpty());
        QVERIFY(backup.exists());
    }

    // Three keyboards take the layout while the fourth stays silent, in about the time one
    // takes alone.
    void fourKeyboardsOneSilent()
    {
        QTemporaryDir dir;
        const QString layout = dir.filePath("l.bin");
        writeFile(layout, knownMachineLayout());
        std::vector<std::unique_ptr<EmuProcess>> keyboards;
        QStringList args{"download", layout, "--block", "Keyboard", "--verify"};
        for (int k = 0; k < 4; ++k) {
            const QString link = dir.filePath(QStringLiteral("kbd%1").arg(k));
            keyboards.push_back(std::make_unique<EmuProcess>());
            QStringList emu{"--link", link, "--eeprom", dir.filePath(QStringLiteral("ee%1.bin").arg(k))};
            if (k == 2)
                emu << "--silent";
            QVERIFY(keyboards.back()->start(emu));
            args << "--port" << link;
        }
        const Run alone = cli({"download", layout, "--block", "Keyboard", "--verify", "--port", args[6]});
        QCOMPARE(alone.code, 0);
        const Run twice = cli({"verify", layout, "--port", args[6], "--port", dir.filePath("./kbd0")});
        QVERIFY2(twice.code == 1 && twice.err.contains("are the same device"), twice.err.constData());

        const Run all = cli(args);
        QCOMPARE(all.code, 4);
        const QStringList out = QString::fromLocal8Bit(all.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(out.size(), 4);
        for (int k = 0; k < 4; ++k) {
            const QString name = dir.filePath(QStringLiteral("kbd%1").arg(k));
            const QString expected = k == 2 ? name + ": Abort No Coms" : name + ": done";
            QVERIFY2(out[k].startsWith(expected), all.out.constData());
        }
        QVERIFY2(all.ms < 2 * alone.ms + 1000,
                 qPrintable(QStringLiteral("%1 ms, alone %2 ms").arg(all.ms).arg(alone.ms)));
    }
};

QTEST_GUILESS_MAIN(TestCliFlows)
#include "tst_cli_flows.moc"
