#include "ProgramWindows.h"

#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "model/LayoutFiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace zeltra;
namespace lf = zeltra::layoutfiles;

namespace {
const QString Filter = QStringLiteral("Binary Image File (*.bin *.BIN)");

QByteArray unusualImage(int size, std::uint8_t kind)
{
    QByteArray b(size, '\0');
    for (int i = 4; i < size; ++i)
        b[i] = char((i * 37 + 11) & 0xFF);
    b[0] = char(kind);
    b[size - 1] = char(0xA5);
    return b;
}

// A program folder of its own with every window of the program made in it.
struct Program : ProgramWindows {
    explicit Program(const QByteArray& record = {})
    {
        if (!record.isEmpty())
            writeFile(lf::settingsRecordPath(folder), record);
        create();
    }
    Trs422kbdf& main() { return *w.main; }
    QString path(const QString& name) const { return folder + name; }
    QStringList fileErrors() const { return prompts.errors.filter(QStringLiteral("File error|")); }
};

// Counted by the system's own names: Qt would list two names that decode alike as one.
int filesIn(const QString& folder)
{
    int n = 0;
    if (DIR* d = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* e = ::readdir(d))
            n += e->d_type == DT_REG ? 1 : 0;
        ::closedir(d);
    }
    return n;
}
} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    // Showing the window opens its COM port: never a device of the machine running the tests.
    void initTestCase() { qputenv("ZELTRA_COM1", "/nonexistent/zeltra-test-port"); }
    void openThenSaveIsByteExact_data();
    void openThenSaveIsByteExact();
    void saveAsAddsBinAndAsksBeforeReplacing();
    void showRewritesSettingsUnchanged();
    void openAsksAboutChanges_data();
    void openAsksAboutChanges();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void unreadableFileLeavesEverything();
    void kindWithoutImage();
    void nameNotUtf8Refused();
    void tooLongPathRefused();
    void closeFlow_data();
    void closeFlow();
};

void TestFileCommands::openThenSaveIsByteExact_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("machine") << unusualImage(484, 0);
    QTest::newRow("monitor") << unusualImage(364, 1);
}

void TestFileCommands::openThenSaveIsByteExact()
{
    QFETCH(QByteArray, file);
    Program p;
    const QString path = p.path(QStringLiteral("keys.bin"));
    writeFile(path, file);
    p.prompts.openFiles << path;
    p.main().Open1Click();
    QCOMPARE(p.prompts.dialogs, QStringList{QStringLiteral("open|Open key definition file|") + p.folder +
                                            QLatin1Char('|') + Filter});
    QCOMPARE(p.model.KbdType(), int(file[0]));
    QCOMPARE(p.main().windowTitle(), QStringLiteral("keys.bin[*]"));
    QVERIFY(p.main().action(QStringLiteral("Save1"))->isEnabled());
    QCOMPARE(p.model.Settings.lastFile(), path);
    QCOMPARE(p.model.Settings.lastDir(), p.folder);

    p.markUnsaved();
    QFile::remove(path); // Save must write it anew, not leave the old one alone
    writeFile(path, QByteArray(10, 'x'));
    p.main().Save1Click();
    QCOMPARE(readFile(path).toHex(), file.toHex());
    QVERIFY(!p.model.LayoutChanged);
    QCOMPARE(p.fileErrors(), QStringList());
}

void TestFileCommands::saveAsAddsBinAndAsksBeforeReplacing()
{
    Program p;
    const QString typed = p.path(QStringLiteral("mine"));
    const QString saved = typed + QStringLiteral(".bin");
    p.prompts.saveFiles << typed;
    p.main().SaveAs1Click();
    QCOMPARE(p.prompts.dialogs.last(), QStringLiteral("save||") + p.folder + QStringLiteral("||") + Filter);
    QCOMPARE(readFile(saved).size(), 484);
    QCOMPARE(readFile(saved).left(4).toHex(), QByteArray("00000000"));
    QCOMPARE(p.model.Settings.lastFile(), saved);

    p.change(KbdMachine, 300, p.model.McnImage.bytes[300] ^ 0xFF);
    const QByteArray first = readFile(saved);
    p.prompts.saveFiles << typed; // then the dialog is cancelled
    p.prompts.answers << false;
    p.main().SaveAs1Click();
    QCOMPARE(p.prompts.asked, QStringList{QStringLiteral("Retry|mine.bin exists replace?")});
    QCOMPARE(p.prompts.dialogs.size(), 3); // asked again after "No"
    QCOMPARE(p.prompts.dialogs[1], QStringLiteral("save||") + p.folder + QLatin1Char('|') + saved +
                                       QLatin1Char('|') + Filter);
    QCOMPARE(readFile(saved), first);

    p.prompts.saveFiles << typed;
    p.prompts.answers << true;
    p.main().SaveAs1Click();
    QCOMPARE(std::uint8_t(readFile(saved)[300]), p.model.McnImage.bytes[300]);
    QCOMPARE(QDir(p.folder).entryList({QStringLiteral("mine*")}), QStringList{QStringLiteral("mine.bin")});
}

void TestFileCommands::showRewritesSettingsUnchanged()
{
    SettingsRecord r;
    r.bytes.fill(0x5A); // bytes past the strings' lengths and the unused tail are odd too
    QVERIFY(r.setLastDir(QStringLiteral("/nonexistent/")));
    QVERIFY(r.setLastFile(QStringLiteral("/nonexistent/gone.bin")));
    r.setKbdType(0);
    r.setComPort(1);
    r.setShowClip(true);
    const QByteArray record(reinterpret_cast<const char*>(r.bytes.data()), 524);

    Program p(record);
    QVERIFY(p.model.Settings == r);
    const QString untouched = fileIdentity(lf::settingsRecordPath(p.folder));
    for (int show = 0; show < 2; ++show) {
        p.title.set(QStringLiteral("before"));
        p.main().FormShow();
        QCOMPARE(readFile(lf::settingsRecordPath(p.folder)).toHex(), record.toHex());
        const QStringList steps = p.title.history().mid(p.title.history().lastIndexOf(QStringLiteral("before")) + 1);
        QCOMPARE(steps, (QStringList{"Splash1i", "Splash1j +path_root", "Splash1k"}));
        QCOMPARE(p.main().windowTitle(), QStringLiteral("gone.bin[*]"));
        QCOMPARE(fileIdentity(lf::settingsRecordPath(p.folder)), untouched); // not rewritten
    }
    QVERIFY(p.main().action(QStringLiteral("Showclip1"))->isChecked());
    p.main().action(QStringLiteral("Showclip1"))->trigger();
    QVERIFY(fileIdentity(lf::settingsRecordPath(p.folder)) != untouched); // a change is written
}

void TestFileCommands::openAsksAboutChanges_data()
{
    QTest::addColumn<bool>("lastFileExists");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<bool>("opened");       // the new layout replaced the old one
    QTest::addColumn<bool>("oldRewritten"); // the changes went to the old file first
    QTest::newRow("yes saves, then opens") << true << true << true << true << true;
    QTest::newRow("no opens without saving") << true << false << true << true << false;
    QTest::newRow("yes, save as cancelled: no open") << false << true << true << false << false;
    QTest::newRow("no, open cancelled: changes kept") << true << false << false << false << false;
}

void TestFileCommands::openAsksAboutChanges()
{
    QFETCH(bool, lastFileExists);
    QFETCH(bool, answer);
    QFETCH(bool, chooseFile);
    QFETCH(bool, opened);
    QFETCH(bool, oldRewritten);
    Program p;
    const QString old = p.path(QStringLiteral("old.bin"));
    const QString next = p.path(QStringLiteral("next.bin"));
    writeFile(next, unusualImage(364, 1));
    if (lastFileExists) {
        writeFile(old, QByteArray(484, '\0'));
        p.model.Settings.setLastFile(old);
        p.model.setFile(old);
    }
    p.change(KbdMachine, 200, 0x77);
    p.prompts.answers << answer;
    if (chooseFile)
        p.prompts.openFiles << next;
    p.main().Open1Click();

    QCOMPARE(p.prompts.asked.first(), QStringLiteral("Save Changes?|Layout/Data has changed, Save Changes?"));
    QCOMPARE(p.model.KbdType(), opened ? 1 : 0);
    QCOMPARE(p.model.LayoutChanged, !opened);
    if (lastFileExists)
        QCOMPARE(readFile(old)[200] == '\x77', oldRewritten);
    if (!lastFileExists && answer) // the save went to "Save As", which was cancelled
        QVERIFY(p.prompts.dialogs.filter(QStringLiteral("open|")).isEmpty());
}

void TestFileCommands::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("inTheWay"); // what Save As meets at the name; empty: Save, disk full
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full on Save") << "" << "";
    QTest::newRow("folder in the way of Save As") << "folder" << "It is a folder, not a file.";
    QTest::newRow("pipe in the way of Save As") << "pipe" << "It is not a regular file.";
    QTest::newRow("device in the way of Save As") << "device" << "It is not a regular file.";
}

void TestFileCommands::failedSaveKeepsOldFile()
{
    QFETCH(QString, inTheWay);
    QFETCH(QString, reason);
    Program p;
    const QString target = p.path(QStringLiteral("keep.bin"));
    const QByteArray old = unusualImage(484, 0);
    if (inTheWay.isEmpty()) {
        writeFile(target, old);
        p.model.Settings.setLastFile(target);
        p.model.setFile(target);
    } else if (!makeInTheWay(inTheWay, target)) {
        QSKIP("only root makes a device node");
    }
    const QString before = fileIdentity(target);
    p.change(KbdMachine, 300, 0x11);
    if (inTheWay.isEmpty()) {
        FileSizeLimit limit(100);
        p.main().Save1Click();
    } else {
        p.prompts.saveFiles << target; // then cancelled
        p.prompts.answers << true;
        p.main().SaveAs1Click();
    }
    QCOMPARE(p.fileErrors().size(), 1);
    QVERIFY2(p.fileErrors().first().startsWith(QStringLiteral("File error|Could not save ") + target + ":\n" + reason),
             qPrintable(p.fileErrors().first()));
    QVERIFY(p.model.LayoutChanged);
    QCOMPARE(p.model.McnImage.bytes[300], std::uint8_t(0x11));
    QCOMPARE(fileIdentity(target), before); // not written, not replaced
    QCOMPARE(p.model.Settings.lastFile() == target, inTheWay.isEmpty()); // nor its name taken
}

void TestFileCommands::unreadableFileLeavesEverything()
{
    Program p;
    const QString good = p.path(QStringLiteral("good.bin"));
    const QString empty = p.path(QStringLiteral("empty.bin"));
    writeFile(good, unusualImage(484, 0));
    writeFile(empty, {});
    p.prompts.openFiles << good << empty;
    p.main().Open1Click();
    const auto image = p.model.McnImage;
    p.markUnsaved();
    p.prompts.answers << false;
    p.main().Open1Click();
    QCOMPARE(p.fileErrors().size(), 1);
    QVERIFY(p.fileErrors().first().startsWith(QStringLiteral("File error|Could not read ") + empty));
    QVERIFY(p.model.McnImage == image);
    QVERIFY(p.model.LayoutChanged);
    QCOMPARE(p.model.Settings.lastFile(), good); // so "&Save" never writes over the empty file
}

// A file of a kind that has no image is refused, whether opened or reopened at start: the
// model, the settings record and the file stay as they were.
void TestFileCommands::kindWithoutImage()
{
    Program p;
    const QString good = p.path(QStringLiteral("good.bin"));
    const QString path = p.path(QStringLiteral("future.bin"));
    const QByteArray file = unusualImage(484, 2);
    writeFile(good, unusualImage(364, 1));
    writeFile(path, file);
    p.prompts.openFiles << good << path;
    p.main().Open1Click();
    const auto mcn = p.model.McnImage;
    const auto mon = p.model.MonImage;
    const SettingsRecord before = p.model.Settings;
    const QByteArray stored = readFile(lf::settingsRecordPath(p.folder));
    p.main().Open1Click();
    QCOMPARE(p.model.KbdType(), 1);
    QVERIFY(p.model.McnImage == mcn && p.model.MonImage == mon);
    QVERIFY(p.prompts.asked.last().contains(QStringLiteral("nothing was loaded")));
    QVERIFY(p.model.Settings == before);
    QCOMPARE(readFile(lf::settingsRecordPath(p.folder)).toHex(), stored.toHex());
    QCOMPARE(p.main().windowTitle(), QStringLiteral("good.bin[*]"));
    p.main().Save1Click(); // goes to the file that was loaded
    QCOMPARE(readFile(good), unusualImage(364, 1));
    QCOMPARE(readFile(path), file);

    SettingsRecord r;
    QVERIFY(r.setLastFile(path));
    r.setKbdType(0);
    Program restart(QByteArray(reinterpret_cast<const char*>(r.bytes.data()), 524));
    restart.main().FormShow();
    QVERIFY(restart.prompts.asked.last().contains(QStringLiteral("nothing was loaded")));
    QCOMPARE(restart.model.KbdType(), 0);
    QCOMPARE(lf::readSettingsRecord(lf::settingsRecordPath(restart.folder), r), lf::RecordRead::Loaded);
    QCOMPARE(r.kbdType(), 0);
}

// A layout named by bytes that are not UTF-8 is refused by Open, Save As and the start, with
// the reason; nothing is written to it or to the file its decoded name would give.
void TestFileCommands::nameNotUtf8Refused()
{
    Program p;
    const QByteArray raw = QFile::encodeName(p.folder) + "bad\xff\xfe.bin";
    const QByteArray original = unusualImage(484, 0);
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, original.constData(), std::size_t(original.size())), ssize_t(original.size()));
    ::close(fd);
    const QString decoded = QFile::decodeName(raw); // what a file dialog hands back
    QVERIFY(decoded.contains(QChar::ReplacementCharacter));
    writeFile(decoded, unusualImage(364, 1)); // a stale file under the decoded name
    const auto mcn = p.model.McnImage;
    const SettingsRecord before = p.model.Settings;

    p.prompts.openFiles << decoded;
    p.main().Open1Click();
    QCOMPARE(p.prompts.errors.size(), 1);
    QVERIFY(p.prompts.errors.first().contains(QStringLiteral("Rename the file")));
    QVERIFY(p.model.McnImage == mcn);
    QVERIFY(p.model.Settings == before);
    p.prompts.saveFiles << decoded; // then cancelled
    p.main().SaveAs1Click();
    QCOMPARE(p.prompts.errors.size(), 2);
    QCOMPARE(p.prompts.dialogs.filter(QStringLiteral("save|")).size(), 2);
    QVERIFY(p.model.Settings == before);

    // A record that holds those bytes (written by hand or by another copy) reopens nothing,
    // and "&Save" asks for a name instead of writing to the stale file.
    SettingsRecord r;
    std::copy(raw.begin(), raw.end(), r.bytes.begin() + SettingsRecord::LastFileAt + 1);
    r.bytes[SettingsRecord::LastFileAt] = std::uint8_t(raw.size());
    Program restart(QByteArray(reinterpret_cast<const char*>(r.bytes.data()), 524));
    restart.main().FormShow();
    QCOMPARE(restart.prompts.errors.size(), 1);
    QVERIFY(restart.prompts.errors.first().contains(QStringLiteral("not valid UTF-8")));
    restart.markUnsaved();
    restart.main().Save1Click();
    QCOMPARE(restart.prompts.dialogs.filter(QStringLiteral("save|")).size(), 1);

    QCOMPARE(readFile(QFile::decodeName(raw)), unusualImage(364, 1));
    QFile real;
    const int rfd = ::open(raw.constData(), O_RDONLY);
    QVERIFY(real.open(rfd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    QCOMPARE(real.readAll(), original);
    QCOMPARE(filesIn(p.folder), 2); // nothing new beside them, not even a settings record
}

void TestFileCommands::tooLongPathRefused()
{
    Program p;
    const QString longName = p.path(QString(300 - p.folder.size(), QLatin1Char('n')) + QStringLiteral(".bin"));
    p.prompts.saveFiles << longName; // then cancelled
    p.main().SaveAs1Click();
    QCOMPARE(p.prompts.errors.size(), 1);
    QVERIFY(p.prompts.errors.first().startsWith(QStringLiteral("Save As|")));
    QCOMPARE(p.prompts.dialogs.size(), 2);
    QVERIFY(p.model.Settings.lastFile().isEmpty());
    QVERIFY(!QFileInfo::exists(longName));

    p.prompts.openFiles << longName;
    p.main().Open1Click();
    QCOMPARE(p.prompts.errors.size(), 2);
    QVERIFY(p.model.Settings.lastFile().isEmpty());
}

void TestFileCommands::closeFlow_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("saveEnabled");
    QTest::addColumn<bool>("question");
    QTest::addColumn<bool>("written");     // "&Save" wrote LastFile
    QTest::addColumn<bool>("saveAsShown");
    QTest::newRow("unchanged: no question") << false << true << true << false << false << false;
    QTest::newRow("yes with Save enabled") << true << true << true << true << true << false;
    QTest::newRow("yes with Save disabled") << true << true << false << true << false << true;
    QTest::newRow("no") << true << false << true << true << false << false;
}

void TestFileCommands::closeFlow()
{
    QFETCH(bool, changed);
    QFETCH(bool, answer);
    QFETCH(bool, saveEnabled);
    QFETCH(bool, question);
    QFETCH(bool, written);
    QFETCH(bool, saveAsShown);
    Program p;
    const QString path = p.path(QStringLiteral("k.bin"));
    writeFile(path, QByteArray(484, '\0'));
    p.model.Settings.setLastFile(path);
    p.main().show(); // loads the layout
    if (!saveEnabled) // a kind switch leaves the layout without a file
        p.model.setFile({});
    if (changed)
        p.change(KbdMachine, 400, 0x42);
    p.prompts.answers << answer;
    QFile::remove(lf::settingsRecordPath(p.folder));

    QVERIFY(p.main().close());
    QCOMPARE(p.prompts.asked.contains(QStringLiteral("Save Changes?|Layout/Data has changed, Save Changes?")),
             question);
    QCOMPARE(readFile(path)[400] == '\x42', written);
    QCOMPARE(!p.prompts.dialogs.filter(QStringLiteral("save|")).isEmpty(), saveAsShown);
    QCOMPARE(readFile(lf::settingsRecordPath(p.folder)).size(), 524);
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
