// What scripts, shells and readers take from zeltra-cli: the manual pages name what --help
// names; the bash completion as bash drives it (COMP_WORDS set, COMPREPLY read back); --json,
// one document on stdout, every field of it named in the manual page (zeltra-emu as keyboard).
#include "CliRun.h"
#include "EmuProcess.h"
#include "KnownLayouts.h"
#include "TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A manual page as a reader sees its words: no font changes, "\-" as "-".
QString manPage(const QString& name) {
    return QString::fromUtf8(readFile(ZELTRA_MAN_DIR "/" + name))
        .replace(QStringLiteral("\\-"), QStringLiteral("-"))
        .remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
}

// The groups `pattern` captures in the section under `heading` ("Options:" in --help, ".SH
// OPTIONS" in a page, up to the next heading), each match's groups joined by a blank.
QSet<QString> listed(const QString& text, const QString& heading, const QString& pattern) {
    const QString next = heading.startsWith(QLatin1Char('.')) ? R"(\n\.SH)" : R"(\n\S)";
    const QRegularExpression part(QRegularExpression::escape(heading) + "\n(.*?)(?=" + next + "|$)",
                                  QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression entry(pattern, QRegularExpression::MultilineOption);
    QSet<QString> found;
    for (auto it = entry.globalMatch(part.match(text).captured(1)); it.hasNext();)
        found << it.next().capturedTexts().mid(1).join(QLatin1Char(' '));
    return found;
}

// The value at a path such as "ports/0/exitCode".
QJsonValue at(QJsonValue v, const QString& path) {
    for (const QString& part : path.split(QLatin1Char('/')))
        v = v.isArray() ? v.toArray().at(part.toInt()) : v.toObject().value(part);
    return v;
}

} // namespace

class TestCliDocs : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QDir::setCurrent(dir_.path());
        qputenv("ZELTRA_COM77", "/dev/null"); // a port for `ports` to list
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
        writeFile("studio.bin", knownMachineLayout());
        writeFile("desk.bin", knownMonitorLayout());
        QByteArray other = knownMachineLayout();
        other[4 + 4] = char(160); // key 5: "Loc-1"
        writeFile("edited.bin", other);
        writeFile("studio.json", "{}");
        QVERIFY(QDir().mkpath("shows") && QDir(state_.path()).mkpath("zeltra"));
        writeFile(state_.filePath("zeltra/network-ports"),
                  "rfc2217://127.0.0.1:2001\ntcp://127.0.0.1:4001\n");
        jsonFields_ = listed(manPage("zeltra-cli.1"), ".SH JSON RESULTS", R"((\w+))");
    }

    void agree_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("help"); // heading and pattern in --help
        QTest::addColumn<QStringList>("page"); // the page, heading and pattern in it
        const QString option = QStringLiteral("(--[a-z][a-z-]*)");
        QTest::newRow("zeltra-cli options") << ZELTRA_CLI_PATH << QStringList{"Options:", option}
                                            << QStringList{"zeltra-cli.1", ".SH OPTIONS", option};
        QTest::newRow("zeltra-cli commands") // but "help", the page's name for --help
            << ZELTRA_CLI_PATH << QStringList{"Commands:", R"(^  ([a-z]+))"}
            << QStringList{"zeltra-cli.1", ".SH COMMANDS", R"(^\.TP\n(?:\.B )?(?!help$)([a-z]+))"};
        QTest::newRow("zeltra-cli exit codes")
            << ZELTRA_CLI_PATH << QStringList{"Exit codes:", R"(^  (\d)  ([a-z ]*[a-z]))"}
            << QStringList{"zeltra-cli.1", ".SH EXIT STATUS", R"(^\.B (\d)\n([a-z ]*[a-z]))"};
        QTest::newRow("zeltra-emu options") << ZELTRA_EMU_PATH << QStringList{"Options:", option}
                                            << QStringList{"zeltra-emu.1", ".SH OPTIONS", option};
    }
    void agree() {
        QFETCH(QString, program);
        QFETCH(QStringList, help);
        QFETCH(QStringList, page);
        const QSet<QString> fromHelp =
            listed(QString::fromUtf8(run(program, {"--help"}).out), help[0], help[1]);
        QVERIFY(fromHelp.size() >= 3);
        QCOMPARE(listed(manPage(page[0]), page[1], page[2]), fromHelp);
    }

    void completion_data() {
        QTest::addColumn<QString>("line"); // the words as typed; the last one is completed
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("commands") << "d" << QStringList{"diff", "download"};
        QTest::newRow("options of a command")
            << "upload studio.bin --"
            << QStringList{"--block", "--exact", "--fast", "--help", "--json", "--kind", "--port"};
        QTest::newRow("kinds") << "upload x.bin --kind " << QStringList{"machine", "monitor"};
        QTest::newRow("blocks of the kind read")
            << "upload new.bin --kind monitor --block Mo" << QStringList{"Monitor\\ Formats"};
        QTest::newRow("blocks of the file's kind, with a blank, typed in part")
            << "download studio.bin --block Port\\ "
            << QStringList{"Port\\ A\\ Config", "Port\\ B\\ Config"};
        QTest::newRow("layout files")
            << "download " << QStringList{"desk.bin", "edited.bin", "shows", "studio.bin"};
        QTest::newRow("documents") << "import " << QStringList{"shows", "studio.json"};
        QTest::newRow("ports") << "verify --port COM77" << QStringList{"COM77"};
        QTest::newRow("network ports used before")
            << "verify --port rfc" << QStringList{"rfc2217://127.0.0.1:2001"};
    }
    void completion() {
        QFETCH(QString, line);
        QFETCH(QStringList, expected);
        const QString script = QStringLiteral(
            "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
            "_zeltra_cli \"$1\" \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD - 1]}\"; "
            "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort");
        const QRegularExpression blank(QStringLiteral(R"((?<!\\) )")); // one that parts words
        const Run bash =
            run("bash", QStringList{"-c", script, "bash", ZELTRA_COMPLETION, ZELTRA_CLI_PATH} +
                            line.split(blank));
        QCOMPARE(QString::fromUtf8(bash.out).split(u'\n', Qt::SkipEmptyParts), expected);
    }

    void documents_data() {
        QTest::addColumn<QString>("command"); // "{ARGS}": the line of a zeltra-emu run with ARGS
        QTest::addColumn<QString>("fields");  // values by path ("ports/0/exitCode")
        QTest::newRow("ports") << "ports --json"
                               << R"({"exitCode": 0, "command": "ports", "message": "done"})";
        QTest::newRow("download --verify, a keyboard that stores bytes wrongly")
            << "download studio.bin --port {--corrupt 7} --block 5 --fast --verify --json"
            << R"({"exitCode": 5, "command": "download", "file": "studio.bin",)"
               R"( "ports/0/blocksDone": 2, "ports/0/bytesWritten": 192, "ports/0/bytesRead": 192,)"
               R"( "ports/0/mismatches/0": {"block": 5, "address": 6, "fileByte": 1,)"
               R"( "keyboardByte": 254}})";
        QTest::newRow("upload of times that are not timecode digits")
            << "upload backup.bin --port {--fill FF} --kind machine --block 7 --fast --json"
            << R"({"exitCode": 6, "command": "upload", "ports/0/exitCode": 6,)"
               R"( "ports/0/blocksDone": 1, "ports/0/leftOut/0/keyboardByte": 255})";
        QTest::newRow("verify against a keyboard that answers for another address")
            << "verify studio.bin --port {--wrong-address} --json"
            << R"({"exitCode": 4, "ports/0/blocksDone": 0, "ports/0/bytesRead": 0,)"
               R"( "ports/0/message": "Abort No Coms: the keyboard answered for another address"})";
        QTest::newRow("two ports, one of them absent")
            << "download studio.bin --port {--fill 00} --port /dev/zeltra-none --block 1 --json"
            << R"({"exitCode": 3, "message": "/dev/zeltra-none does not exist",)"
               R"( "ports/0/exitCode": 0, "ports/0/bytesWritten": 22, "ports/1/exitCode": 3,)"
               R"( "ports/1/address": "/dev/zeltra-none"})";
        QTest::newRow("diff of two layouts")
            << "diff studio.bin edited.bin --json"
            << R"({"exitCode": 5, "differences/0": {"section": "keys", "item": 5,)"
               R"( "field": "function", "from": "4", "to": "Loc-1", "text": "key 5: 4 -> Loc-1"}})";
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
        const QJsonDocument doc = QJsonDocument::fromJson(run.out); // progress stays on stderr
        QVERIFY2(doc.isObject(), run.out.constData());
        const QJsonObject expected = QJsonDocument::fromJson(fields.toUtf8()).object();
        QCOMPARE(run.code, expected["exitCode"].toInt(-1));
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(at(doc.object(), it.key()) == it.value(),
                     qPrintable(it.key() + " in " + run.out));
        const QRegularExpression name(QStringLiteral("\"(\\w+)\": "));
        for (auto it = name.globalMatch(QString::fromUtf8(run.out)); it.hasNext();) {
            const QString field = it.next().captured(1);
            QVERIFY2(jsonFields_.contains(field), qPrintable(field + " is not in the manual page"));
        }
    }

  private:
    QTemporaryDir dir_;
    QTemporaryDir state_;      // where `zeltra-cli ports` finds the network ports used before
    QSet<QString> jsonFields_; // the words of the manual page's JSON RESULTS
};

QTEST_GUILESS_MAIN(TestCliDocs)
#include "tst_cli_docs.moc"
