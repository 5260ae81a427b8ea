// The manual pages name what --help names, so neither can change without the other; the bash
// completion, driven as bash drives it (COMP_WORDS set, COMPREPLY read back), one row per kind.
#include "CliRun.h"
#include "TestFiles.h"

#include "model/Images.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

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

} // namespace

class TestCliDocs : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QDir::setCurrent(dir_.path());
        qputenv("ZELTRA_COM77", "/dev/null");
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
        writeFile("studio.bin", QByteArray(int(zeltra::mcn::Size), '\0'));
        writeFile("studio.json", "{}");
        QVERIFY(QDir().mkpath("shows") && QDir(state_.path()).mkpath("zeltra"));
        writeFile(state_.filePath("zeltra/network-ports"),
                  "rfc2217://127.0.0.1:2001\ntcp://127.0.0.1:4001\n");
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
        // The page as a reader sees its words: no font changes, "\-" as "-".
        const QString text = QString::fromUtf8(readFile(ZELTRA_MAN_DIR "/" + page[0]))
                                 .replace(QStringLiteral("\\-"), QStringLiteral("-"))
                                 .remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
        const QSet<QString> fromHelp =
            listed(QString::fromUtf8(run(program, {"--help"}).out), help[0], help[1]);
        QVERIFY(fromHelp.size() >= 3);
        QCOMPARE(listed(text, page[1], page[2]), fromHelp);
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
        QTest::newRow("layout files") << "download " << QStringList{"shows", "studio.bin"};
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
            "printf '%s\\n' \"${COMPREPLY[@]}\"");
        const QRegularExpression blank(QStringLiteral(R"((?<!\\) )")); // one that parts words
        const Run bash =
            run("bash", QStringList{"-c", script, "bash", ZELTRA_COMPLETION, ZELTRA_CLI_PATH} +
                            line.split(blank));
        QStringList got = QString::fromUtf8(bash.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        got.sort();
        QCOMPARE(got, expected);
    }

  private:
    QTemporaryDir dir_;
    QTemporaryDir state_; // where `zeltra-cli ports` finds the network ports used before
};

QTEST_GUILESS_MAIN(TestCliDocs)
#include "tst_cli_docs.moc"
