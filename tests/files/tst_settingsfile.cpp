#include "kit/TQvSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

namespace {
const QString Web = QStringLiteral("https://www.example.com/zeltra");
const QString Absent = QStringLiteral("<absent>");
const QByteArray Defaults = "; factory\n[APP]\nExe=zeltra\nTheme = dark = yes \n"
                            "[USER\\<FACTORY DEFAULT>]\n<FORM>rs422kbdf_FVisible=1\nEmpty=\n"
                            "[Elsewhere]\nNotCopied=1\n";

struct Run {
    QStringList messages;
    TQvSettingsFile file;
    explicit Run(const QString& program)
        : file(program, Web, [this](const QString& m) { messages << m; })
    {
    }
};

QString iniValue(const QString& path, const char* section, const QString& key)
{
    IniFile ini(path);
    ini.load();
    return ini.value(QLatin1String(section), key).value_or(Absent);
}
} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void fileNames_data();
    void fileNames();
    void startChecks_data();
    void startChecks();
    void firstRunCopiesDefaultSections();
    void shippedDefaultFileIsValid();
    void foreignSettingsKeptAndClaimedAtClose();
    void placement_data();
    void placement();
    void writeFailureReportedOnce();
    void unreadableSettingsLeftAlone_data();
    void unreadableSettingsLeftAlone();
    void closeWritesOnlyChanges();
};

void TestSettingsFile::fileNames_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("def");
    QTest::newRow("no extension") << "/opt/z/zeltra" << "/opt/z/zeltra.ini" << "/opt/z/zeltra.def";
    QTest::newRow("extension replaced") << "/opt/z/zeltra.exe" << "/opt/z/zeltra.ini" << "/opt/z/zeltra.def";
    QTest::newRow("only the last one") << "/opt/z/my.prog.x" << "/opt/z/my.prog.ini" << "/opt/z/my.prog.def";
    QTest::newRow("dot in folder") << "/opt/z.1/zeltra" << "/opt/z.1/zeltra.ini" << "/opt/z.1/zeltra.def";
}

void TestSettingsFile::fileNames()
{
    QFETCH(QString, program);
    QFETCH(QString, ini);
    QFETCH(QString, def);
    Run run(program);
    QCOMPARE(run.file.settingsPath(), ini);
    QCOMPARE(run.file.defaultsPath(), def);
}

void TestSettingsFile::startChecks_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("ini"); // null: no file; "<dir>": a folder in the way
    QTest::addColumn<QByteArray>("def");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("message");
    const QString invalid = QStringLiteral("Default settings file is invalid.\rDownload a replacement from ") + Web;
    const QString missing = QStringLiteral("Default settings file is missing:\rDownload a replacement from ") + Web;
    const QString corrupt = QStringLiteral("Settings file may be corrupted");
    QTest::newRow("first run") << "zeltra" << QByteArray() << Defaults << true << "";
    QTest::newRow("ours, other case") << "zeltra" << QByteArray("[app]\nexe=ZELTRA\n") << Defaults << true << "";
    QTest::newRow("foreign settings") << "zeltra" << QByteArray("[App]\nExe=other\n") << Defaults << true << corrupt;
    QTest::newRow("settings without Exe") << "zeltra" << QByteArray("[App]\n") << Defaults << true << corrupt;
    QTest::newRow("default missing") << "zeltra" << QByteArray() << QByteArray() << false << missing;
    QTest::newRow("default foreign") << "zeltra" << QByteArray() << QByteArray("[App]\nExe=other\n") << false
                                     << invalid;
    QTest::newRow("default without App") << "zeltra" << QByteArray() << QByteArray("[APP]\nX=1\n") << false
                                         << invalid;
    QTest::newRow("default empty") << "zeltra" << QByteArray() << QByteArray("") << false << invalid;
    QTest::newRow("program renamed") << "kbdtool" << QByteArray() << Defaults << false << missing;
    QTest::newRow("settings unreadable") << "zeltra" << QByteArray("<dir>") << Defaults << true
                                         << corrupt + QStringLiteral("\r");
}

void TestSettingsFile::startChecks()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, def);
    QFETCH(bool, goesOn);
    QFETCH(QString, message);
    QTemporaryDir dir;
    // The files are always named after "zeltra"; a renamed program looks for its own.
    if (!def.isNull())
        writeFile(dir.filePath(QStringLiteral("zeltra.def")), def);
    if (ini == "<dir>")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("zeltra.ini")));
    else if (!ini.isNull())
        writeFile(dir.filePath(QStringLiteral("zeltra.ini")), ini);

    Run run(dir.filePath(program));
    QCOMPARE(run.file.open(), goesOn);
    if (message.isEmpty()) {
        QCOMPARE(run.messages, QStringList());
    } else {
        QCOMPARE(run.messages.size(), 1);
        QVERIFY2(run.messages.first().startsWith(message), qPrintable(run.messages.first()));
    }
    if (!goesOn && ini.isNull()) // ending the program leaves no settings file behind
        QVERIFY(!QFileInfo::exists(dir.filePath(program + QStringLiteral(".ini"))));
}

void TestSettingsFile::firstRunCopiesDefaultSections()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("zeltra.def")), Defaults);
    Run run(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(run.file.open());
    const QString ini = dir.filePath(QStringLiteral("zeltra.ini"));
    QCOMPARE(QString::fromUtf8(readFile(ini)),
             QStringLiteral("[APP]\nExe=zeltra\nTheme = dark = yes\n\n"
                            "[USER\\<FACTORY DEFAULT>]\n<FORM>rs422kbdf_FVisible=1\nEmpty=\n"));
    // The next start finds a settings file of its own.
    Run next(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(next.file.open());
    QCOMPARE(next.messages, QStringList());
}

void TestSettingsFile::shippedDefaultFileIsValid()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(ZELTRA_DEF_FILE), dir.filePath(QStringLiteral("zeltra.def"))));
    Run run(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(run.file.open());
    QCOMPARE(run.messages, QStringList());
    IniFile made(run.file.settingsPath());
    QCOMPARE(made.load(), IniFile::Load::Loaded);
    QVERIFY(made.hasSection(QStringLiteral("USER\\<FACTORY DEFAULT>")));
}

void TestSettingsFile::foreignSettingsKeptAndClaimedAtClose()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("zeltra.def")), Defaults);
    const QString ini = dir.filePath(QStringLiteral("zeltra.ini"));
    writeFile(ini, "[App]\nExe=other.exe\n[Mine]\nKeep=me\n");
    Run run(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(run.file.open());
    QCOMPARE(iniValue(ini, "APP", QStringLiteral("Theme")), Absent); // no copy over a kept file
    run.file.closeMain();
    QCOMPARE(iniValue(ini, "app", QStringLiteral("exe")), QStringLiteral("zeltra"));
    QCOMPARE(iniValue(ini, "Mine", QStringLiteral("Keep")), QStringLiteral("me"));
}

void TestSettingsFile::placement_data()
{
    using WS = TQvSettingsFile::WindowState;
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("sizeable");
    QTest::addColumn<QStringList>("written"); // "key=value" under Current, without the prefix
    QTest::addColumn<QStringList>("notWritten");
    const QStringList always{"_FontSize=9", "_FontName=Sans", "_FVisible=1", "_FAutoHideTitleBar=0"};
    QTest::newRow("normal, sizeable") << int(WS::Normal) << true
                                      << QStringList{"_FState=1", "_FLeft=-20", "_FTop=30", "_FWidth=751",
                                                     "_FHeight=397"} + always
                                      << QStringList{};
    QTest::newRow("normal, fixed border") << int(WS::Normal) << false
                                          << QStringList{"_FState=1", "_FLeft=-20", "_FTop=30"} + always
                                          << QStringList{"_FWidth", "_FHeight"};
    QTest::newRow("minimised") << int(WS::Minimised) << true << QStringList{"_FState=2"} + always
                               << QStringList{"_FLeft", "_FTop", "_FWidth", "_FHeight"};
    QTest::newRow("maximised") << int(WS::Maximised) << true << QStringList{"_FState=3"} + always
                               << QStringList{"_FLeft", "_FTop", "_FWidth", "_FHeight"};
}

void TestSettingsFile::placement()
{
    QFETCH(int, state);
    QFETCH(bool, sizeable);
    QFETCH(QStringList, written);
    QFETCH(QStringList, notWritten);
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("zeltra.def")), Defaults);
    Run run(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(run.file.open());
    TQvSettingsFile::Placement p;
    p.state = TQvSettingsFile::WindowState(state);
    p.left = -20;
    p.top = 30;
    p.width = 751;
    p.height = 397;
    p.sizeable = sizeable;
    p.fontSize = 9;
    p.fontName = QStringLiteral("Sans");
    run.file.savePlacement(QStringLiteral("rs422kbdf"), p);

    const QString ini = run.file.settingsPath();
    const QString text = QString::fromUtf8(readFile(ini));
    for (const QString& kv : written)
        QVERIFY2(text.contains(QStringLiteral("\n<FORM>rs422kbdf") + kv + QLatin1Char('\n')), qPrintable(kv));
    for (const QString& k : notWritten)
        QCOMPARE(iniValue(ini, "Current", QStringLiteral("<FORM>rs422kbdf") + k), Absent);
}

void TestSettingsFile::writeFailureReportedOnce()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("zeltra.def")), Defaults);
    Run run(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(run.file.open());
    const QString ini = run.file.settingsPath();
    QVERIFY(QFile::remove(ini));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("zeltra.ini")));
    run.file.savePlacement(QStringLiteral("rs422kbdf"), {});
    run.file.savePlacement(QStringLiteral("rs422kbdf"), {});
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().startsWith(QStringLiteral("Could not write ") + ini));
    QVERIFY(QFileInfo(ini).isDir());
}

void TestSettingsFile::unreadableSettingsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("ini"); // "<dir>": a folder in its place
    QTest::addColumn<QString>("message");
    const QString corrupt = QStringLiteral("Settings file may be corrupted\r");
    QTest::newRow("folder") << QByteArray("<dir>") << corrupt;
    QTest::newRow("too large") << "[App]\nExe=zeltra\n" + QByteArray(IniFile::MaxBytes, ';') << corrupt;
    // Loads, but could not grow by the placement without passing the load limit.
    QTest::newRow("just under the limit")
        << "[App]\nExe=zeltra\n" + QByteArray(IniFile::MaxBytes - 100, ';') + '\n'
        << QStringLiteral("Could not write ");
}

// A settings file the program cannot use is reported, the program goes on, and the file is
// exactly as it was after a whole run; the next start reads it as before.
void TestSettingsFile::unreadableSettingsLeftAlone()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, message);
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("zeltra.def")), Defaults);
    const QString path = dir.filePath(QStringLiteral("zeltra.ini"));
    if (ini == "<dir>")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("zeltra.ini")));
    else
        writeFile(path, ini);
    for (int start = 0; start < 2; ++start) {
        Run run(dir.filePath(QStringLiteral("zeltra")));
        QVERIFY(run.file.open());
        TQvSettingsFile::Placement p;
        p.width = 751;
        run.file.savePlacement(QStringLiteral("rs422kbdf"), p);
        run.file.closeMain();
        QCOMPARE(run.messages.size(), 1);
        QVERIFY2(run.messages.first().startsWith(message), qPrintable(run.messages.first()));
        if (ini == "<dir>")
            QVERIFY(QFileInfo(path).isDir());
        else
            QVERIFY(readFile(path) == ini);
    }
}

void TestSettingsFile::closeWritesOnlyChanges()
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("zeltra.def")), Defaults);
    TQvSettingsFile::Placement p;
    p.left = 40;
    p.width = 751;
    {
        Run first(dir.filePath(QStringLiteral("zeltra")));
        QVERIFY(first.file.open());
        first.file.savePlacement(QStringLiteral("rs422kbdf"), p);
        first.file.closeMain();
    }
    const QString ini = dir.filePath(QStringLiteral("zeltra.ini"));
    const QString written = fileIdentity(ini);
    const QByteArray bytes = readFile(ini);
    Run same(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(same.file.open());
    same.file.savePlacement(QStringLiteral("rs422kbdf"), p);
    same.file.closeMain();
    QCOMPARE(fileIdentity(ini), written);
    QCOMPARE(readFile(ini), bytes);

    p.left = 41;
    Run moved(dir.filePath(QStringLiteral("zeltra")));
    QVERIFY(moved.file.open());
    moved.file.savePlacement(QStringLiteral("rs422kbdf"), p);
    QVERIFY(fileIdentity(ini) != written);
    QCOMPARE(iniValue(ini, "Current", QStringLiteral("<FORM>rs422kbdf_FLeft")), QStringLiteral("41"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
