// Where the settings live: beside a portable copy, in the user's config folder for a copy
// whose folder it may not write. The folder is made read-only by its permission bits, which
// the program honours for root too, so the test means the same as root and as a user.
#include "ProgramRun.h"
#include "kit/IniFile.h"
#include "kit/SettingsLocation.h"
#include "model/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using zeltra::SettingsRecord;

namespace {
constexpr auto ReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
constexpr auto WritableFolder = ReadOnlyFolder | QFile::WriteOwner;

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray record(const QString& lastFile) {
    SettingsRecord r;
    r.setLastFile(lastFile);
    r.setKbdType(0);
    r.setComPort(1);
    return QByteArray(reinterpret_cast<const char*>(r.bytes.data()), int(r.bytes.size()));
}
} // namespace

class TestSettingsLocation : public QObject {
    Q_OBJECT
  private slots:
    void configFolder_data();
    void configFolder();
    void folderWritable();
    void keptAcrossRuns_data();
    void keptAcrossRuns();
};

void TestSettingsLocation::configFolder_data() {
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("expected");
    QTest::newRow("xdg set") << "/cfg"
                             << "/home/u"
                             << "/cfg/zeltra/";
    QTest::newRow("xdg unset") << ""
                               << "/home/u"
                               << "/home/u/.config/zeltra/";
    QTest::newRow("xdg relative is ignored") << "cfg"
                                             << "/home/u"
                                             << "/home/u/.config/zeltra/";
    QTest::newRow("trailing separator") << "/cfg/"
                                        << "/home/u"
                                        << "/cfg/zeltra/";
}

void TestSettingsLocation::configFolder() {
    QFETCH(QString, xdg);
    QFETCH(QString, home);
    QFETCH(QString, expected);
    QProcessEnvironment env;
    if (!xdg.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), xdg);
    env.insert(QStringLiteral("HOME"), home);
    QCOMPARE(SettingsLocation::configFolder(env), expected);
}

void TestSettingsLocation::folderWritable() {
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/prog/");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(SettingsLocation::folderWritable(folder));
    QVERIFY(QFile::setPermissions(folder, ReadOnlyFolder));
    QVERIFY(!SettingsLocation::folderWritable(folder)); // also for root
    QVERIFY(!SettingsLocation::folderWritable(root.path() + QStringLiteral("/missing/")));

    QProcessEnvironment env;
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.path() + QStringLiteral("/cfg"));
    const SettingsLocation installed = SettingsLocation::choose(folder, env);
    QVERIFY(!installed.portable);
    QCOMPARE(installed.folder, root.path() + QStringLiteral("/cfg/zeltra/"));
    QVERIFY(QFileInfo(installed.folder).isDir()); // made on the first start
    QCOMPARE(QFileInfo(installed.folder).permissions() & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
    QVERIFY(QFile::setPermissions(folder, WritableFolder));
    QCOMPARE(SettingsLocation::choose(folder, env).folder, folder);
}

void TestSettingsLocation::keptAcrossRuns_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("portable copy") << false;
    QTest::newRow("installed copy") << true;
}

// Two runs of the built program. The first makes the settings files; the second must read
// what the first left (placement and the record written at close) and the record pointing
// at a layout, from the same place.
void TestSettingsLocation::keptAcrossRuns() {
    QFETCH(bool, readOnly);
    QTemporaryDir root;
    const QString prog = root.path() + QStringLiteral("/prog/");
    const QString config = root.path() + QStringLiteral("/config/");
    const QString runtime = root.path() + QStringLiteral("/run");
    QVERIFY(QDir().mkpath(prog) && QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QFile::copy(QStringLiteral(ZELTRA_BINARY), prog + QStringLiteral("zeltra")));
    QVERIFY(QFile::copy(QStringLiteral(ZELTRA_DEF_FILE), prog + QStringLiteral("zeltra.def")));
    if (readOnly)
        QVERIFY(QFile::setPermissions(prog, ReadOnlyFolder));
    const QString kept = readOnly ? config + QStringLiteral("zeltra/") : prog;
    const QString other = readOnly ? prog : config + QStringLiteral("zeltra/");

    ProgramRun p(runtime);
    p.env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    QVERIFY2(p.run(prog + QStringLiteral("zeltra"), QStringLiteral("title: Splash1k")),
             qPrintable(p.err));
    QCOMPARE(p.status, 0);
    QVERIFY2(!p.err.contains(QStringLiteral("zeltra: ")), qPrintable(p.err)); // no message
    QVERIFY2(p.err.contains(QStringLiteral("Splash1g ") + kept + QStringLiteral("rs422kbd.ini")),
             qPrintable(p.err));
    QCOMPARE(readFile(kept + QStringLiteral("rs422kbd.ini")).size(), 524);
    IniFile ini(kept + QStringLiteral("zeltra.ini"));
    QCOMPARE(ini.load(), IniFile::Load::Loaded);
    QVERIFY(ini.value(QStringLiteral("Current"), QStringLiteral("<FORM>rs422kbdf_FLeft")));
    QVERIFY(!QFileInfo::exists(other + QStringLiteral("rs422kbd.ini")));
    QVERIFY(!QFileInfo::exists(other + QStringLiteral("zeltra.ini")));

    // A value of the user's own in the text settings, and a layout named in the record.
    QVERIFY(ini.setValue(QStringLiteral("USER\\<FACTORY DEFAULT>"), QStringLiteral("Mine"),
                         QStringLiteral("kept")));
    QVERIFY(ini.save());
    const QString layout = root.path() + QStringLiteral("/studio.bin");
    QByteArray image(364, '\0');
    image[0] = 1;
    QVERIFY(writeFile(layout, image));
    QVERIFY(writeFile(kept + QStringLiteral("rs422kbd.ini"), record(layout)));

    QVERIFY2(p.run(prog + QStringLiteral("zeltra"), QStringLiteral("caption: studio.bin")),
             qPrintable(p.err));
    QCOMPARE(p.status, 0);
    SettingsRecord after;
    const QByteArray bytes = readFile(kept + QStringLiteral("rs422kbd.ini"));
    QCOMPARE(bytes.size(), 524);
    std::copy(bytes.begin(), bytes.end(), after.bytes.begin());
    QCOMPARE(after.lastFile(), layout);
    QCOMPARE(after.kbdType(), 1); // the monitor layout was loaded and stored again
    IniFile again(kept + QStringLiteral("zeltra.ini"));
    QCOMPARE(again.load(), IniFile::Load::Loaded);
    QCOMPARE(again.value(QStringLiteral("USER\\<FACTORY DEFAULT>"), QStringLiteral("Mine"))
                 .value_or(QString()),
             QStringLiteral("kept"));
    QVERIFY(!QFileInfo::exists(other + QStringLiteral("zeltra.ini")));
    QFile::setPermissions(prog, WritableFolder); // so the temporary folder can go
}

QTEST_GUILESS_MAIN(TestSettingsLocation)
#include "tst_settings_location.moc"
