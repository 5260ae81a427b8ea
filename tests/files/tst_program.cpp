// Runs the built program from a program folder of its own, the way a user starts it.
#include "kit/IniFile.h"
#include "model/LayoutFiles.h"
#include "model/SettingsRecord.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zeltra;

namespace {
// Generous: only a hung program ever waits this long.
constexpr int Patience = 60000;

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Inode and change time: both stay only when nothing wrote the file.
QString fileIdentity(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("<none>");
    return QStringLiteral("%1:%2.%3").arg(st.st_ino).arg(st.st_ctim.tv_sec).arg(st.st_ctim.tv_nsec);
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray layout(std::uint8_t kind)
{
    QByteArray b(kind == 1 ? 364 : 484, '\0');
    for (int i = 4; i < b.size(); ++i)
        b[i] = char((i * 53 + 7) & 0xFF);
    b[0] = char(kind);
    return b;
}

// A pseudo-terminal for the program's COM port, so that the start never depends on (or
// waits for a message about) a serial device of the machine the tests run on.
struct FakePort {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QString slave;
    FakePort()
    {
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~FakePort()
    {
        if (master >= 0)
            ::close(master);
    }
};

struct ProgramFolder {
    FakePort port;
    QTemporaryDir root;
    QString folder;
    QString program;

    ProgramFolder(const QString& name, bool withDefaults, const QString& programName = QStringLiteral("zeltra"))
    {
        folder = root.path() + QLatin1Char('/') + name + QLatin1Char('/');
        program = folder + programName;
        QDir().mkpath(folder);
        QDir().mkpath(root.path() + QStringLiteral("/run"));
        QFile::setPermissions(root.path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::copy(QStringLiteral(ZELTRA_BINARY), program);
        if (withDefaults)
            QFile::copy(QStringLiteral(ZELTRA_DEF_FILE), folder + QStringLiteral("zeltra.def"));
    }

    QString record() const { return layoutfiles::settingsRecordPath(folder); }

    void writeRecord(const QString& lastFile, int kind) const
    {
        SettingsRecord r;
        r.setLastDir(folder);
        r.setLastFile(lastFile);
        r.setKbdType(kind);
        r.setComPort(1);
        QVERIFY(writeFile(record(), QByteArray(reinterpret_cast<const char*>(r.bytes.data()), 524)));
    }

    SettingsRecord readRecord() const
    {
        SettingsRecord r;
        const QByteArray b = readFile(record());
        if (b.size() == 524)
            std::copy(b.begin(), b.end(), r.bytes.begin());
        return r;
    }

    // Starts the program, waits until stderr shows `until`, then asks it to close the way a
    // session end does. Returns stderr; `status` gets the exit status, -2 when the program
    // did not end within `endWithin` ms of the signal.
    QString run(const QString& until, int* status, int endWithin = Patience,
                const QStringList& words = {}) {
        *status = -1;
        if (port.slave.isEmpty())
            return QStringLiteral("no pseudo-terminal for the COM port");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.path() + QStringLiteral("/run"));
        env.insert(QStringLiteral("ZELTRA_TRACE_TITLE"), QStringLiteral("1"));
        env.insert(QStringLiteral("ZELTRA_COM1"), port.slave);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.setWorkingDirectory(folder);
        p.start(program, QStringList{QStringLiteral("--no-splash")} + words);
        if (!p.waitForStarted(Patience))
            return QStringLiteral("did not start");
        p.setReadChannel(QProcess::StandardError);
        QByteArray err;
        const QDeadlineTimer deadline(Patience);
        while (!err.contains(until.toUtf8()) && p.state() == QProcess::Running &&
               p.waitForReadyRead(int(deadline.remainingTime())))
            err += p.readAllStandardError();
        if (p.state() == QProcess::Running)
            QTest::qWait(300); // let a message that follows `until` open
        p.terminate();
        const bool ended = p.waitForFinished(endWithin);
        err += p.readAllStandardError();
        *status = !ended ? -2 : p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        if (!ended)
            p.kill();
        p.waitForFinished(Patience);
        return QString::fromUtf8(err);
    }
};
} // namespace

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void lastLayoutReopened_data();
    void lastLayoutReopened();
    void firstRunMakesSettingsFile();
    void defaultsMissingOrForeign_data();
    void defaultsMissingOrForeign();
    void signalEndsWithMessageOpen_data();
    void signalEndsWithMessageOpen();
    void unchangedRunWritesNothing();
    void layoutNamedAtStartJoinsRecent();
};

void TestProgram::lastLayoutReopened_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("layoutName");
    QTest::newRow("ascii") << "prog" << "keys.bin";
    QTest::newRow("non-ascii") << QStringLiteral("Programmé ключ") << QStringLiteral("Läyout ✓.bin");
}

void TestProgram::lastLayoutReopened()
{
    QFETCH(QString, folderName);
    QFETCH(QString, layoutName);
    ProgramFolder f(folderName, true);
    const QString path = f.folder + layoutName;
    QVERIFY(writeFile(path, layout(1)));
    f.writeRecord(path, 0);
    const QString caption = QStringLiteral("caption: ") + layoutName;

    int status = 0;
    QString err = f.run(caption, &status);
    QVERIFY2(err.contains(caption), qPrintable(err));
    QCOMPARE(status, 0);
    QCOMPARE(f.readRecord().kbdType(), 1); // the monitor layout was loaded
    QCOMPARE(f.readRecord().lastFile(), path);
    QCOMPARE(readFile(path), layout(1)); // and left alone

    // The next start reopens the file the first one left in the settings record.
    QVERIFY(writeFile(path, layout(0)));
    err = f.run(caption, &status);
    QVERIFY2(err.contains(caption), qPrintable(err));
    QCOMPARE(status, 0);
    QCOMPARE(f.readRecord().kbdType(), 0);
    QVERIFY(err.contains(QStringLiteral("title: Splash1k")));
}

void TestProgram::firstRunMakesSettingsFile()
{
    ProgramFolder f(QStringLiteral("first"), true);
    int status = 0;
    const QString err = f.run(QStringLiteral("title: Splash1k"), &status);
    QCOMPARE(status, 0);
    IniFile ini(f.folder + QStringLiteral("zeltra.ini"));
    QCOMPARE(ini.load(), IniFile::Load::Loaded);
    QCOMPARE(ini.value(QStringLiteral("App"), QStringLiteral("Exe")).value_or(QString()), QStringLiteral("zeltra"));
    QVERIFY(ini.hasSection(QStringLiteral("USER\\<FACTORY DEFAULT>")));
    // Placement written at the close.
    QCOMPARE(ini.value(QStringLiteral("Current"), QStringLiteral("<FORM>rs422kbdf_FState")).value_or(QString()),
             QStringLiteral("1"));
    QVERIFY(ini.value(QStringLiteral("Current"), QStringLiteral("<FORM>rs422kbdf_FLeft")));
    QVERIFY2(!err.contains(QStringLiteral("zeltra: ")), qPrintable(err)); // no message
}

void TestProgram::defaultsMissingOrForeign_data()
{
    QTest::addColumn<QString>("programName");
    QTest::addColumn<QByteArray>("defaults"); // null: the shipped file
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << "zeltra" << QByteArray("<none>") << "Default settings file is missing:";
    QTest::newRow("foreign") << "zeltra" << QByteArray("[App]\nExe=another\n") << "Default settings file is invalid.";
    QTest::newRow("program renamed") << "kbdsetup" << QByteArray() << "Default settings file is missing:";
}

void TestProgram::defaultsMissingOrForeign()
{
    QFETCH(QString, programName);
    QFETCH(QByteArray, defaults);
    QFETCH(QString, message);
    ProgramFolder f(QStringLiteral("broken"), defaults.isNull(), programName);
    if (!defaults.isNull() && defaults != "<none>")
        QVERIFY(writeFile(f.folder + QStringLiteral("zeltra.def"), defaults));
    int status = 0;
    const QString err = f.run(message, &status);
    QVERIFY2(err.contains(QStringLiteral("zeltra: ") + message + QStringLiteral("\nDownload a replacement from https://")),
             qPrintable(err));
    QVERIFY(status != 0);
    // It ended before its main window was used: no settings were stored.
    QVERIFY(!QFileInfo::exists(f.record()));
    QVERIFY(!QFileInfo::exists(f.folder + programName + QStringLiteral(".ini")));
}

void TestProgram::signalEndsWithMessageOpen_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("open"); // the message on stderr that is open at the signal
    QTest::newRow("kind-2 layout at show") << "kind2"
                                           << "zeltra: Open key definition file: future.bin is for a keyboard kind";
    QTest::newRow("settings file a folder") << "inidir" << "zeltra: Settings file may be corrupted";
}

// SIGTERM while a message is open ends the program at once, cleanly: exit status 0, the
// settings stored on the way out (when the main window was made).
void TestProgram::signalEndsWithMessageOpen()
{
    QFETCH(QString, setup);
    QFETCH(QString, open);
    ProgramFolder f(QStringLiteral("prog"), true);
    const QString future = f.folder + QStringLiteral("future.bin");
    QVERIFY(writeFile(future, layout(0).replace(0, 1, QByteArray(1, '\2'))));
    f.writeRecord(future, 1);
    if (setup == QLatin1String("inidir"))
        QVERIFY(QDir().mkpath(f.folder + QStringLiteral("zeltra.ini")));

    int status = 0;
    const QString err = f.run(open, &status, 10000);
    QVERIFY2(err.contains(open), qPrintable(err));
    QCOMPARE(status, 0);
    QCOMPARE(f.readRecord().kbdType(), 1); // the refused file changed nothing
    if (setup == QLatin1String("kind2")) {
        const QString afterSignal = err.mid(err.indexOf(open));
        QVERIFY2(afterSignal.contains(QStringLiteral("title: Splash1k")), qPrintable(err)); // closed the ordinary way
    }
}

// A start and close that change nothing leave both settings files as they were: not
// rewritten, not even with the same bytes.
void TestProgram::unchangedRunWritesNothing()
{
    ProgramFolder f(QStringLiteral("quiet"), true);
    const QString path = f.folder + QStringLiteral("keys.bin");
    QVERIFY(writeFile(path, layout(0)));
    f.writeRecord(path, 0);
    int status = 0;
    f.run(QStringLiteral("caption: keys.bin"), &status);
    QCOMPARE(status, 0);
    const QString ini = f.folder + QStringLiteral("zeltra.ini");
    const QString iniBefore = fileIdentity(ini), recordBefore = fileIdentity(f.record());
    const QString err = f.run(QStringLiteral("caption: keys.bin"), &status);
    QCOMPARE(status, 0);
    QVERIFY2(err.contains(QStringLiteral("title: Splash1k")), qPrintable(err)); // settings were stored
    QCOMPARE(fileIdentity(ini), iniBefore);
    QCOMPARE(fileIdentity(f.record()), recordBefore);
}

// `zeltra FILE.bin` opens that layout instead of the last one; each run's file heads the
// recent list the next run finds. A file that is no layout is refused, and the last one opens.
void TestProgram::layoutNamedAtStartJoinsRecent() {
    ProgramFolder f(QStringLiteral("desk"), true);
    const QString last = f.folder + QStringLiteral("last.bin"),
                  a = f.folder + QStringLiteral("a.bin"), b = f.folder + QStringLiteral("b.bin"),
                  empty = f.folder + QStringLiteral("empty.bin");
    QVERIFY(writeFile(last, layout(0)) && writeFile(a, layout(1)) && writeFile(b, layout(0)) &&
            writeFile(empty, {}));
    f.writeRecord(last, 0);
    auto recentOf = [&f](int n) {
        IniFile ini(f.folder + QStringLiteral("zeltra.ini"));
        ini.load();
        return ini.value(QStringLiteral("Recent"), QStringLiteral("File%1").arg(n))
            .value_or(QString());
    };
    int status = 0;
    QString err =
        f.run(QStringLiteral("caption: a.bin"), &status, Patience, {QStringLiteral("a.bin")});
    QVERIFY2(err.contains(QStringLiteral("caption: a.bin")), qPrintable(err));
    QCOMPARE(f.readRecord().lastFile(), a);
    QCOMPARE(f.readRecord().kbdType(), 1);
    err = f.run(QStringLiteral("caption: b.bin"), &status, Patience, {QStringLiteral("d"), b});
    QVERIFY2(err.contains(QStringLiteral("caption: b.bin")), qPrintable(err));
    QCOMPARE(recentOf(1), b);
    QCOMPARE(recentOf(2), a);

    err = f.run(QStringLiteral("The file is empty."), &status, Patience, {empty});
    QVERIFY2(err.contains(QStringLiteral("The file is empty.")), qPrintable(err));
    QCOMPARE(f.readRecord().lastFile(), b);
    QCOMPARE(recentOf(1), b);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
