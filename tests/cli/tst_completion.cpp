// bash completion of zeltra-cli, driven as bash drives it: COMP_WORDS and COMP_CWORD set, the
// completion function called, COMPREPLY read back. One row per kind of word completed.
#include "TestFiles.h"

#include "link/BlockTables.h"
#include "model/Images.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Where `zeltra-cli ports` finds the network ports used before.
const QTemporaryDir stateDir;

// The words as typed; the last one is being completed.
QStringList complete(const QStringList& words, const QString& inDir)
{
    QProcess bash;
    bash.setWorkingDirectory(inDir);
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZELTRA_COM77"), QStringLiteral("/dev/null"));
    env.insert(QStringLiteral("XDG_STATE_HOME"), stateDir.path());
    bash.setProcessEnvironment(env);
    const QString script = QStringLiteral(
        "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
        "_zeltra_cli \"$1\" \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD - 1]}\"; "
        "printf '%s\\n' \"${COMPREPLY[@]}\"");
    bash.start(QStringLiteral("bash"), QStringList{QStringLiteral("-c"), script, QStringLiteral("bash"),
                                                   QStringLiteral(ZELTRA_COMPLETION)} +
                                           words);
    bash.waitForFinished(30000);
    QStringList out = QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    out.sort();
    return out;
}

// As the shell takes a word back: blanks escaped.
QStringList quoted(QStringList items)
{
    for (QString& item : items)
        item.replace(QLatin1Char(' '), QStringLiteral("\\ "));
    items.sort();
    return items;
}

QStringList blocks(std::int32_t kind)
{
    return quoted(*zeltra::link::blockListItems(kind));
}

QStringList sorted(QStringList items)
{
    items.sort();
    return items;
}

} // namespace

class TestCompletion : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        writeFile(dir_.filePath("studio.bin"), QByteArray(int(zeltra::mcn::Size), '\0'));
        writeFile(dir_.filePath("desk.bin"), QByteArray(int(zeltra::mon::Size), '\1'));
        writeFile(dir_.filePath("studio.json"), "{}");
        writeFile(dir_.filePath("notes.txt"), "x");
        writeFile(dir_.filePath("card.pdf"), "%PDF-");
        QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("shows")));
        QVERIFY(QDir(stateDir.path()).mkpath(QStringLiteral("zeltra")));
        writeFile(stateDir.filePath("zeltra/network-ports"), "rfc2217://127.0.0.1:2001\ntcp://127.0.0.1:4001\n");
    }

    void words_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("expected");
        const QString cli = QStringLiteral(ZELTRA_CLI_PATH);
        QTest::newRow("commands") << QStringList{cli, "d"} << QStringList{"diff", "download"};
        QTest::newRow("options of upload")
            << QStringList{cli, "upload", "studio.bin", "--"}
            << sorted({"--block", "--exact", "--fast", "--help", "--json", "--kind", "--port"});
        QTest::newRow("options of print") << QStringList{cli, "print", "--"}
                                          << QStringList{"--help", "--page"};
        QTest::newRow("kinds") << QStringList{cli, "upload", "x.bin", "--kind", ""}
                               << QStringList{"machine", "monitor"};
        QTest::newRow("pages") << QStringList{cli, "print", "studio.bin", "--page", ""}
                               << QStringList{"A4", "Letter"};
        QTest::newRow("blocks of a machine file")
            << QStringList{cli, "download", "studio.bin", "--block", ""} << blocks(zeltra::KbdMachine);
        QTest::newRow("blocks of a monitor file")
            << QStringList{cli, "verify", "--port", "7", "desk.bin", "--block", ""}
            << blocks(zeltra::KbdMonitor);
        QTest::newRow("blocks of the kind read")
            << QStringList{cli, "upload", "new.bin", "--kind", "monitor", "--block", "Mo"}
            << QStringList{"Monitor\\ Formats"};
        QTest::newRow("blocks with a blank, typed in part")
            << QStringList{cli, "download", "studio.bin", "--block", "Port\\ "}
            << QStringList{"Port\\ A\\ Config", "Port\\ B\\ Config"};
        QTest::newRow("layout files") << QStringList{cli, "download", ""}
                                      << QStringList{"desk.bin", "shows", "studio.bin"};
        QTest::newRow("documents") << QStringList{cli, "import", ""}
                                   << QStringList{"shows", "studio.json"};
        QTest::newRow("layout after the document") << QStringList{cli, "import", "studio.json", "s"}
                                                   << QStringList{"shows", "studio.bin"};
        QTest::newRow("either for diff") << QStringList{cli, "diff", "studio.bin", "st"}
                                         << QStringList{"studio.bin", "studio.json"};
        QTest::newRow("the card's file") << QStringList{cli, "print", "studio.bin", ""}
                                         << QStringList{"card.pdf", "shows"};
        QTest::newRow("ports") << QStringList{cli, "download", "studio.bin", "--port", "COM77"}
                               << QStringList{"COM77"};
        QTest::newRow("port devices") << QStringList{cli, "verify", "--port", "/dev/nul"}
                                      << QStringList{"/dev/null"};
        QTest::newRow("network ports used before") << QStringList{cli, "verify", "--port", "rfc"}
                                                   << QStringList{"rfc2217://127.0.0.1:2001"};
    }
    void words()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, expected);
        QCOMPARE(complete(words, dir_.path()), expected);
    }

  private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"
