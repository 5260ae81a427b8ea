// `--json` as a script reads it: one document on stdout, against zeltra-emu where a keyboard is
// needed; every field a document holds is named in the manual page.
#include "CliRun.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The value at a path such as "ports/0/exitCode".
static QJsonValue at(QJsonValue v, const QString& path) {
    for (const QString& part : path.split(QLatin1Char('/'))) {
        bool index = false;
        const int i = part.toInt(&index);
        v = index ? v.toArray().at(i) : v.toObject().value(part);
    }
    return v;
}

class TestCliJson : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        qputenv("ZELTRA_COM77", "/dev/null"); // a port for `ports` to list
        QDir::setCurrent(dir_.path());
        writeFile("studio.bin", knownMachineLayout());
        writeFile("desk.bin", knownMonitorLayout());
        QByteArray other = knownMachineLayout();
        other[4 + 4] = char(160);                     // key 5: "Loc-1"
        other[int(zeltra::mcn::Cues) + 4 * 6] = 0x11; // cue 5's hours
        writeFile("edited.bin", other);
        manPage_ = QString::fromUtf8(readFile(ZELTRA_MAN_PAGE)).remove(QStringLiteral("\\f"));
        QVERIFY(!manPage_.isEmpty());
    }

    void documents_data() {
        QTest::addColumn<QString>("command"); // "{ARGS}": the line of a zeltra-emu run with ARGS
        QTest::addColumn<QString>("fields");  // values by path ("ports/0/exitCode")
        QTest::newRow("ports") << "ports --json"
                               << R"({"exitCode": 0, "command": "ports", "message": "done"})";
        QTest::newRow("download")
            << "download studio.bin --port {--fill 00} --fast --json"
            << R"({"exitCode": 0, "command": "download", "file": "studio.bin", "message": "done",)"
               R"( "ports/0/exitCode": 0, "ports/0/blocksDone": 8, "ports/0/bytesWritten": 475,)"
               R"( "ports/0/bytesRead": 0, "ports/0/mismatches": []})";
        QTest::newRow("download --verify, a keyboard that stores bytes wrongly")
            << "download studio.bin --port {--corrupt 7} --block 5 --fast --verify --json"
            << R"({"exitCode": 5, "ports/0/blocksDone": 2, "ports/0/bytesRead": 192,)"
               R"( "ports/0/mismatches/0": {"block": 5, "address": 6, "fileByte": 1,)"
               R"( "keyboardByte": 254}})";
        QTest::newRow("upload of times that are not timecode digits")
            << "upload backup.bin --port {--fill FF} --kind machine --block 7 --fast --json"
            << R"({"exitCode": 6, "command": "upload", "ports/0/exitCode": 6,)"
               R"( "ports/0/blocksDone": 1, "ports/0/leftOut/0/keyboardByte": 255})";
        QTest::newRow("verify against a keyboard that does not answer")
            << "verify studio.bin --port {--silent} --json"
            << R"({"exitCode": 4, "ports/0/blocksDone": 0, "ports/0/bytesRead": 0})";
        QTest::newRow("two ports, one of them absent")
            << "download studio.bin --port {--fill 00} --port /dev/zeltra-none --block 1 --json"
            << R"({"exitCode": 3, "message": "/dev/zeltra-none does not exist",)"
               R"( "ports/0/exitCode": 0, "ports/0/bytesWritten": 22, "ports/1/exitCode": 3,)"
               R"( "ports/1/address": "/dev/zeltra-none"})";
        QTest::newRow("diff of two layouts")
            << "diff studio.bin edited.bin --json"
            << R"({"exitCode": 5, "differences/0": {"section": "keys", "item": 5,)"
               R"( "field": "function", "from": "4", "to": "Loc-1", "text": "key 5: 4 -> Loc-1"},)"
               R"( "differences/1/section": "cues", "differences/1/to": "11:20:30:40"})";
        QTest::newRow("diff of two kinds") << "diff studio.bin desk.bin --json"
                                           << R"({"exitCode": 2, "differences": []})";
        QTest::newRow("a command line that is wrong")
            << "verify studio.bin --json"
            << R"({"exitCode": 1, "message": "verify needs --port"})";
        QTest::newRow("a file that is not a layout")
            << "download nothing.bin --port 7 --json"
            << R"({"exitCode": 2, "command": "download", "ports": []})";
    }
    void documents() {
        QFETCH(QString, command);
        QFETCH(QString, fields);
        EmuProcess emu;
        const QRegularExpression keyboard(QStringLiteral("\\{([^}]*)\\}"));
        if (const auto m = keyboard.match(command); m.hasMatch()) {
            QVERIFY(emu.start(m.captured(1).split(QLatin1Char(' '))));
            command.replace(m.capturedStart(), m.capturedLength(), emu.ptyPath());
        }
        const Run run = cli(command.split(QLatin1Char(' ')));
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(run.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError && doc.isObject(), run.out.constData());
        const QJsonObject expected = QJsonDocument::fromJson(fields.toUtf8()).object();
        QCOMPARE(run.code, expected["exitCode"].toInt(-1));
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(at(doc.object(), it.key()) == it.value(),
                     qPrintable(it.key() + " in " + run.out));
        QVERIFY(!run.out.contains("[###")); // progress stays on stderr
        const QRegularExpression name(QStringLiteral("\"(\\w+)\": "));
        for (auto it = name.globalMatch(QString::fromUtf8(run.out)); it.hasNext();) {
            const QString field = it.next().captured(1);
            QVERIFY2(manPage_.contains("B" + field + "R"),
                     qPrintable(field + " is not in the manual page"));
        }
    }

  private:
    QTemporaryDir dir_;
    QString manPage_;
};

QTEST_GUILESS_MAIN(TestCliJson)
#include "tst_cli_json.moc"
