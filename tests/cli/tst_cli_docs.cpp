// The manual pages against the programs' own --help: the same commands, options and exit
// codes, so neither can change without the other.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QString run(const QString& program)
{
    QProcess p;
    p.start(program, {QStringLiteral("--help")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The page as a reader sees its words: no font changes, "\-" as "-".
QString manPage(const QString& name)
{
    QFile f(QStringLiteral(ZELTRA_MAN_DIR "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

// The lines of a section: from a heading (help: "Commands:", page: ".SH COMMANDS") to the next.
QStringList section(const QString& text, const QString& heading)
{
    QStringList lines;
    bool inside = false;
    const bool page = heading.startsWith(QLatin1String(".SH"));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const bool isHeading = page ? line.startsWith(QLatin1String(".SH"))
                                    : !line.isEmpty() && !line.startsWith(QLatin1Char(' ')) &&
                                          line.endsWith(QLatin1Char(':'));
        if (isHeading)
            inside = line == heading;
        else if (inside)
            lines << line;
    }
    return lines;
}

QSet<QString> matches(const QStringList& lines, const QString& pattern)
{
    QSet<QString> found;
    const QRegularExpression re(pattern);
    for (const QString& line : lines)
        for (auto it = re.globalMatch(line); it.hasNext();)
            found << it.next().captured(1);
    return found;
}

// The entries a page lists under a heading: the first word after each ".TP".
QSet<QString> tagged(const QString& page, const QString& heading, const QString& pattern)
{
    const QStringList lines = section(page, heading);
    QSet<QString> found;
    const QRegularExpression re(pattern);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == QLatin1String(".TP"))
            if (const auto m = re.match(lines[i + 1]); m.hasMatch())
                found << m.captured(1);
    return found;
}

// ".B N" and the words of the next line up to its colon.
QSet<QString> exitCodes(const QStringList& lines)
{
    QSet<QString> found;
    const QRegularExpression number(QStringLiteral("^\\.B (\\d)$"));
    const QRegularExpression words(QStringLiteral("^([a-z ]*[a-z])"));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (const auto n = number.match(lines[i]); n.hasMatch())
            found << n.captured(1) + QStringLiteral("  ") + words.match(lines[i + 1]).captured(1);
    return found;
}

enum Part { Options, Commands, ExitCodes, EmulatorOptions };

} // namespace

class TestCliDocs : public QObject {
    Q_OBJECT
  private slots:
    void agree_data()
    {
        QTest::addColumn<int>("part");
        QTest::newRow("zeltra-cli options") << int(Options);
        QTest::newRow("zeltra-cli commands") << int(Commands);
        QTest::newRow("zeltra-cli exit codes") << int(ExitCodes);
        QTest::newRow("zeltra-emu options") << int(EmulatorOptions);
    }
    void agree()
    {
        QFETCH(int, part);
        const QString help = run(QStringLiteral(ZELTRA_CLI_PATH));
        const QString page = manPage(QStringLiteral("zeltra-cli.1"));
        QVERIFY(!help.isEmpty() && !page.isEmpty());
        const QString option = QStringLiteral("(--[a-z][a-z-]*)");
        QSet<QString> fromHelp, fromPage;
        switch (Part(part)) {
        case Options:
            fromHelp = matches(help.split(QLatin1Char('\n')), option);
            fromPage = matches(section(page, QStringLiteral(".SH OPTIONS")) +
                                   section(page, QStringLiteral(".SH COMMANDS")),
                               option);
            break;
        case Commands:
            fromHelp = matches(section(help, QStringLiteral("Commands:")),
                               QStringLiteral("^  ([a-z]+)( |$)"));
            fromHelp << QStringLiteral("help"); // "help" is --help's other name
            fromPage = tagged(page, QStringLiteral(".SH COMMANDS"), QStringLiteral("^(?:\\.B )?([a-z]+)"));
            break;
        case ExitCodes:
            // "N  meaning": the number and the words before the colon.
            fromHelp = matches(section(help, QStringLiteral("Exit codes:")),
                               QStringLiteral("^  (\\d  [a-z ]*[a-z])"));
            fromPage = exitCodes(section(page, QStringLiteral(".SH EXIT STATUS")));
            break;
        case EmulatorOptions:
            fromHelp = matches(run(QStringLiteral(ZELTRA_EMU_PATH)).split(QLatin1Char('\n')), option);
            fromPage = matches(section(manPage(QStringLiteral("zeltra-emu.1")), QStringLiteral(".SH OPTIONS")),
                               option);
            break;
        }
        QVERIFY(fromHelp.size() >= 3);
        QCOMPARE(fromPage, fromHelp);
    }
};

QTEST_GUILESS_MAIN(TestCliDocs)
#include "tst_cli_docs.moc"
