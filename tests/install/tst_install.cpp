// The installed program and the Debian package, made from this build folder.
//   installedProgramStarts: cmake --install into a temporary prefix; the files land where the
//     program and the desktop look for them, and the installed program starts, finds its
//     default file, keeps its settings in the user's config folder and ends cleanly.
//   packageBuilds: cpack -G DEB; dpkg-deb shows the files and the computed dependencies
//     (row "contents"), Debian's lintian finds no error and no warning (row "lintian").
#include "ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
constexpr int Patience = 240000;

// Runs a tool to its end; its output and status go to the caller.
QString runTool(const QString& program, const QStringList& args, int* status) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    *status = -1;
    if (!p.waitForFinished(Patience))
        return program + QStringLiteral(" did not finish");
    *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAll());
}

QByteArray head(const QString& path, int bytes) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

bool isScalableIcon(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&f);
    bool root = false, shapes = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!root)
            root = xml.name() == QLatin1String("svg");
        else if (xml.name() == QLatin1String("rect") || xml.name() == QLatin1String("circle"))
            shapes = true;
    }
    return root && shapes && !xml.hasError();
}

const QStringList InstalledFiles{
    QStringLiteral("bin/zeltra"),
    QStringLiteral("bin/zeltra-emu"),
    QStringLiteral("lib/zeltra/zeltra"),
    QStringLiteral("lib/zeltra/zeltra.def"),
    QStringLiteral("lib/zeltra/zeltra.pdf"),
    QStringLiteral("lib/zeltra/monitor.pdf"),
    QStringLiteral("share/applications/zeltra.desktop"),
    QStringLiteral("share/icons/hicolor/scalable/apps/zeltra.svg"),
    QStringLiteral("share/mime/packages/zeltra-layout.xml"),
    QStringLiteral("lib/udev/rules.d/60-zeltra-ftdi-latency.rules"),
    QStringLiteral("share/metainfo/com.example.zeltra.metainfo.xml"),
    QStringLiteral("share/bash-completion/completions/zeltra-cli"),
};
} // namespace

class TestInstall : public QObject {
    Q_OBJECT
  private slots:
    void installedProgramStarts();
    void packageBuilds_data();
    void packageBuilds();
};

void TestInstall::installedProgramStarts() {
    QTemporaryDir root;
    const QString prefix = root.path() + QStringLiteral("/usr");
    int status = 0;
    QString out = runTool(QStringLiteral(ZELTRA_CMAKE),
                          {QStringLiteral("--install"), QStringLiteral(ZELTRA_BUILD_DIR),
                           QStringLiteral("--prefix"), prefix},
                          &status);
    QVERIFY2(status == 0, qPrintable(out));
    for (const QString& file : InstalledFiles)
        QVERIFY2(QFileInfo::exists(prefix + QLatin1Char('/') + file), qPrintable(file));
    const QFileInfo program(prefix + QStringLiteral("/bin/zeltra"));
    QVERIFY(program.isSymLink());
    QCOMPARE(program.canonicalFilePath(),
             QFileInfo(prefix + QStringLiteral("/lib/zeltra/zeltra")).canonicalFilePath());
    QVERIFY(program.isExecutable());
    QCOMPARE(head(prefix + QStringLiteral("/lib/zeltra/zeltra.pdf"), 5), QByteArray("%PDF-"));
    QCOMPARE(head(prefix + QStringLiteral("/lib/zeltra/monitor.pdf"), 5), QByteArray("%PDF-"));
    QVERIFY(
        isScalableIcon(prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/zeltra.svg")));

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is missing: run scripts/install-deps");
    out = runTool(validator, {prefix + QStringLiteral("/share/applications/zeltra.desktop")},
                  &status);
    QVERIFY2(status == 0 && out.trimmed().isEmpty(), qPrintable(out));
    // The file type the menu entry opens is one the type database takes, by extension.
    out = runTool(QStringLiteral("update-mime-database"), {prefix + QStringLiteral("/share/mime")},
                  &status);
    QVERIFY2(status == 0, qPrintable(out));
    QVERIFY(head(prefix + QStringLiteral("/share/mime/globs2"), 1 << 16)
                .contains("application/x-zeltra-layout:*.bin"));
    // Software centres take the metainfo as it is.
    out = runTool("appstreamcli",
                  {"validate", "--no-net", "--pedantic",
                   prefix + "/share/metainfo/com.example.zeltra.metainfo.xml"},
                  &status);
    QVERIFY2(status == 0, qPrintable(out));

    // A system's program folder is not the user's to write: the settings go to the config
    // folder, and the default file is read from where it was installed.
    const QString programDir = prefix + QStringLiteral("/lib/zeltra");
    QVERIFY(QFile::setPermissions(programDir, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
    const QString runtime = root.path() + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ProgramRun run(runtime);
    run.env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.path() + QStringLiteral("/config"));
    const bool started = run.run(program.filePath(), QStringLiteral("title: Splash1k"));
    QFile::setPermissions(programDir, QFile::permissions(programDir) | QFile::WriteOwner);
    QVERIFY2(started, qPrintable(run.err));
    QCOMPARE(run.status, 0); // a termination signal closes it the ordinary way
    QVERIFY2(!run.err.contains(QStringLiteral("zeltra: ")), qPrintable(run.err));
    QVERIFY(QFileInfo::exists(root.path() + QStringLiteral("/config/zeltra/zeltra.ini")));
    QVERIFY(QFileInfo::exists(root.path() + QStringLiteral("/config/zeltra/rs422kbd.ini")));
    QVERIFY(!QFileInfo::exists(programDir + QStringLiteral("/zeltra.ini")));
}

void TestInstall::packageBuilds_data() {
    QTest::addColumn<bool>("lintian");
    QTest::newRow("contents") << false;
    QTest::newRow("lintian") << true;
}

void TestInstall::packageBuilds() {
    QFETCH(bool, lintian);
    QTemporaryDir root;
    int status = 0;
    QString out = runTool(QStringLiteral(ZELTRA_CPACK),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           QStringLiteral(ZELTRA_BUILD_DIR "/CPackConfig.cmake"),
                           QStringLiteral("-B"), root.path()},
                          &status);
    QVERIFY2(status == 0, qPrintable(out));
    const QStringList debs = QDir(root.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = root.path() + QLatin1Char('/') + debs.first();
    if (lintian) { // every tag of error or warning level fails; informational ones pass
        out = runTool("lintian", {"--no-cfg", "--display-info", "--fail-on", "error,warning", deb},
                      &status);
        QVERIFY2(status == 0, qPrintable(out));
        return;
    }

    const QString info =
        runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("--info"), deb}, &status);
    QVERIFY2(status == 0, qPrintable(info));
    QVERIFY(info.contains(QStringLiteral("Package: zeltra")));
    QString depends;
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.trimmed().startsWith(QStringLiteral("Depends:")))
            depends = line;
    // Computed by dpkg-shlibdeps from the programs, with versions.
    for (const char* lib : {"libc6 (>=", "libqt6core6 (>=", "libqt6gui6 (>=", "libqt6widgets6 (>=",
                            "libqt6serialport6 (>="})
        QVERIFY2(depends.contains(QLatin1String(lib)),
                 qPrintable(lib + (QStringLiteral(": ") + info)));

    const QString contents =
        runTool(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb}, &status);
    QVERIFY2(status == 0, qPrintable(contents));
    for (const QString& file : InstalledFiles)
        QVERIFY2(contents.contains(QStringLiteral(" ./usr/") + file), qPrintable(file + contents));
    QVERIFY(contents.contains(QStringLiteral("./usr/bin/zeltra -> ../lib/zeltra/zeltra")));
    QVERIFY2(!contents.contains(QStringLiteral("tst_")) &&
                 !contents.contains(QStringLiteral("mdpdf")),
             qPrintable(contents));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
