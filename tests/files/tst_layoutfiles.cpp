#include "model/LayoutFiles.h"
#include "model/SafeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zeltra;
namespace lf = zeltra::layoutfiles;

namespace {
// Every byte different, odd values in the unused tail, the kind in the first four bytes.
QByteArray unusualImage(int size, std::uint8_t kind)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 37 + 11) & 0xFF);
    b[0] = char(kind);
    b[1] = b[2] = b[3] = '\0';
    b[size - 2] = char(0xFF);
    b[size - 1] = char(0x80);
    return b;
}

QByteArray imageBytes(const auto& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.bytes.data()), qsizetype(image.bytes.size()));
}

LayoutData freshModel()
{
    LayoutData m;
    m.initDefaults(QStringLiteral("/prog/"));
    return m;
}

} // namespace

class TestLayoutFiles : public QObject {
    Q_OBJECT
private slots:
    void partialFiles_data();
    void partialFiles();
    void unreadableFilesLeaveModel_data();
    void unreadableFilesLeaveModel();
    void defaultExtension_data();
    void defaultExtension();
    void settingsRecord_data();
    void settingsRecord();
    void settingsRecordGolden();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void writeFailureSaysWhy_data();
    void writeFailureSaysWhy();
    void staleTemporariesRemoved_data();
    void staleTemporariesRemoved();
};

void TestLayoutFiles::partialFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kind");   // the kind the file loads as
    QTest::addColumn<int>("copied"); // leading image bytes taken from the file
    const QByteArray mcnFile = unusualImage(int(mcn::Size), 0);
    const QByteArray monFile = unusualImage(int(mon::Size), 1);
    QTest::newRow("short machine") << mcnFile.left(50) << 0 << 50;
    QTest::newRow("short monitor") << monFile.left(40) << 1 << 40;
    QTest::newRow("one byte monitor") << QByteArray(1, '\1') << 1 << 1;
    QTest::newRow("long machine") << mcnFile + QByteArray(300, '\x55') << 0 << int(mcn::Size);
    QTest::newRow("monitor of machine length") << unusualImage(int(mcn::Size), 1) << 1 << int(mon::Size);
    QTest::newRow("first byte 7 loads as machine") << unusualImage(int(mcn::Size), 7) << 0 << int(mcn::Size);
    QTest::newRow("first byte FF loads as machine") << unusualImage(100, 0xFF) << 0 << 100;
    QTest::newRow("kind 2 reads nothing") << unusualImage(int(mcn::Size), 2) << 2 << 0;
    QTest::newRow("kind 2, short") << QByteArray(1, '\2') << 2 << 0;
}

void TestLayoutFiles::partialFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(int, kind);
    QFETCH(int, copied);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.bin"));
    writeFile(path, file);

    LayoutData m = freshModel();
    const LayoutData before = m;
    const auto read = lf::readLayout(path);
    QVERIFY(read.ok());
    lf::applyLayout(m, read);
    QCOMPARE(read.kind, kind);
    // A kind without an image leaves the model as it was, its kind included.
    QCOMPARE(m.KbdType(), lf::kindHasImage(kind) ? kind : before.KbdType());

    const QByteArray mcnBefore = imageBytes(before.McnImage), monBefore = imageBytes(before.MonImage);
    const QByteArray loaded = kind == 1 ? imageBytes(m.MonImage) : imageBytes(m.McnImage);
    const QByteArray old = kind == 1 ? monBefore : mcnBefore;
    if (copied > 0) {
        QByteArray kindField(4, '\0');
        kindField[0] = char(kind);
        QCOMPARE(loaded.left(4).toHex(), kindField.toHex());
        if (copied > 4)
            QCOMPARE(loaded.mid(4, copied - 4).toHex(), file.mid(4, copied - 4).toHex());
        QCOMPARE(loaded.mid(std::max(copied, 4)).toHex(), old.mid(std::max(copied, 4)).toHex());
    } else {
        QCOMPARE(loaded.toHex(), old.toHex());
    }
    // The image of the other kind never changes.
    if (kind == 1)
        QCOMPARE(imageBytes(m.McnImage), mcnBefore);
    else
        QCOMPARE(imageBytes(m.MonImage), monBefore);
    if (kind == 2)
        QCOMPARE(imageBytes(m.McnImage), mcnBefore);
}

void TestLayoutFiles::unreadableFilesLeaveModel_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("makeFolder");
    QTest::newRow("empty file") << QStringLiteral("empty.bin") << false;
    QTest::newRow("folder") << QStringLiteral("folder.bin") << true;
    QTest::newRow("missing") << QStringLiteral("missing.bin") << false;
}

void TestLayoutFiles::unreadableFilesLeaveModel()
{
    QFETCH(QString, name);
    QFETCH(bool, makeFolder);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (makeFolder)
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (name != QLatin1String("missing.bin"))
        writeFile(path, {});
    const auto read = lf::readLayout(path);
    QVERIFY(!read.ok());
    QVERIFY(!read.error.isEmpty());
}

void TestLayoutFiles::defaultExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no extension") << "/d/layout" << "/d/layout.bin";
    QTest::newRow("own extension") << "/d/layout.txt" << "/d/layout.txt";
    QTest::newRow("upper case bin") << "/d/LAYOUT.BIN" << "/d/LAYOUT.BIN";
    QTest::newRow("dot in folder only") << "/d.v2/layout" << "/d.v2/layout.bin";
    QTest::newRow("trailing dot") << "/d/layout." << "/d/layout.";
    QTest::newRow("non-ascii") << "/d/Zürich" << "/d/Zürich.bin";
}

void TestLayoutFiles::defaultExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QCOMPARE(lf::withDefaultExtension(typed), saved);
}

void TestLayoutFiles::settingsRecord_data()
{
    QTest::addColumn<int>("size"); // -1: no file
    QTest::addColumn<int>("outcome");
    QTest::addColumn<bool>("taken");
    QTest::newRow("exact") << int(SettingsRecord::Size) << int(lf::RecordRead::Loaded) << true;
    QTest::newRow("longer") << 600 << int(lf::RecordRead::Loaded) << true;
    QTest::newRow("shorter") << 300 << int(lf::RecordRead::Ignored) << false;
    QTest::newRow("empty") << 0 << int(lf::RecordRead::Ignored) << false;
    QTest::newRow("missing") << -1 << int(lf::RecordRead::Missing) << false;
}

void TestLayoutFiles::settingsRecord()
{
    QFETCH(int, size);
    QFETCH(int, outcome);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    const QString path = lf::settingsRecordPath(dir.path() + QLatin1Char('/'));
    QVERIFY(path.endsWith(QLatin1String("/rs422kbd.ini")));
    QByteArray file = unusualImage(std::max(size, 4), 0).left(std::max(size, 0));
    if (size >= 0)
        writeFile(path, file);

    LayoutData m = freshModel();
    const SettingsRecord defaults = m.Settings;
    QCOMPARE(int(lf::readSettingsRecord(path, m.Settings)), outcome);
    const QByteArray now(reinterpret_cast<const char*>(m.Settings.bytes.data()), qsizetype(SettingsRecord::Size));
    if (taken)
        QCOMPARE(now.toHex(), file.left(qsizetype(SettingsRecord::Size)).toHex());
    else
        QVERIFY(m.Settings == defaults);
}

void TestLayoutFiles::settingsRecordGolden()
{
    QTemporaryDir dir;
    const QString path = lf::settingsRecordPath(dir.path() + QLatin1Char('/'));
    SettingsRecord r;
    QVERIFY(r.setLastDir(QStringLiteral("/d/")));
    QVERIFY(r.setLastFile(QStringLiteral("/d/k.bin")));
    r.setKbdType(1);
    r.setComPort(0x0102);
    r.setShowClip(true);
    QCOMPARE(lf::writeSettingsRecord(path, r), QString());
    const QByteArray f = readFile(path);
    QCOMPARE(f.size(), 524);
    QCOMPARE(f.left(4).toHex(), QByteArray("032f642f"));
    QCOMPARE(f.mid(256, 9).toHex(), QByteArray("082f642f6b2e62696e"));
    QCOMPARE(f.mid(512, 12).toHex(), QByteArray("010000000201000001000000"));
}

void TestLayoutFiles::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<bool>("folderInTheWay");
    QTest::newRow("folder in the way") << true;
    QTest::newRow("disk full") << false;
}

void TestLayoutFiles::failedWriteKeepsOldFile()
{
    QFETCH(bool, folderInTheWay);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.bin"));
    const QByteArray old = unusualImage(int(mon::Size), 1);
    QString error;
    if (folderInTheWay) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("old.bin")));
        writeFile(path + QStringLiteral("/inside"), old);
        error = safefile::writeAtomic(path, unusualImage(int(mcn::Size), 0));
        QCOMPARE(readFile(path + QStringLiteral("/inside")), old);
    } else {
        writeFile(path, old);
        {
            FileSizeLimit limit(100);
            error = safefile::writeAtomic(path, unusualImage(int(mcn::Size), 0));
        }
        QCOMPARE(readFile(path).toHex(), old.toHex());
    }
    QVERIFY2(!error.isEmpty() && !error.contains(QLatin1String("Unknown error")), qPrintable(error));
    // No temporary file is left behind either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("old.bin")});
}


void TestLayoutFiles::writeFailureSaysWhy_data()
{
    QTest::addColumn<QString>("folderMode"); // "ro" or "rw"
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("fileReadOnly");
    QTest::addColumn<QString>("reason");    // %1: the folder, %2: the file
    QTest::newRow("new file, read-only folder") << "ro" << false << false << "The folder %1 is not writable.";
    QTest::newRow("old file, read-only folder") << "ro" << true << false << "The folder %1 is not writable.";
    QTest::newRow("read-only file") << "rw" << true << true << "Existing file %2 is not writable";
}

// A save that cannot be made names the true reason, checked as a user without root's rights.
void TestLayoutFiles::writeFailureSaysWhy()
{
    QFETCH(QString, folderMode);
    QFETCH(bool, exists);
    QFETCH(bool, fileReadOnly);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    const QString folder = dir.path() + QStringLiteral("/keys/");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("layout.bin");
    if (exists) {
        writeFile(path, "old");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), fileReadOnly ? 0444 : 0666) == 0);
    }
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), folderMode == "ro" ? 0555 : 0777) == 0);
    const QString error = QString::fromUtf8(
        asUnprivileged([&] { return safefile::writeAtomic(path, "new").toUtf8(); }));
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    QCOMPARE(error, QString(reason).replace(QStringLiteral("%1"), folder).replace(QStringLiteral("%2"), path));
    QCOMPARE(readFile(path), exists ? QByteArray("old") : QByteArray());
}

void TestLayoutFiles::staleTemporariesRemoved_data()
{
    QTest::addColumn<QString>("save"); // how the target is saved
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("leftover");
    QTest::addColumn<int>("ageSecs");
    QTest::addColumn<bool>("removed");
    // Names near the longest a folder takes (250 bytes): their temporaries carry them cut short.
    const QStringList longNames{QString(246, u'n') + ".bin", QString(123, u'\u00e9') + ".bin"};
    for (const QString save : {"replace", "unchanged", "changed", "through a link"}) {
        auto row = [&](const char* name, const QString& target, const QString& file, int age, bool removed) {
            QTest::addRow("%s, %s", qPrintable(save), name) << save << target << file << age << removed;
        };
        row("an interrupted save's", "out.bin", ".out.bin.zeltra-iHawbM", 120, true);
        row("one still being written", "out.bin", ".out.bin.zeltra-iHawbM", 5, false);
        row("another file's", "out.bin", ".other.bin.zeltra-iHawbM", 120, false);
        for (const QString& name : longNames)
            row(name.startsWith(u'n') ? "a long name's" : "a long two-byte name's", name,
                safefile::temporaryPattern(name).replace("??????", "aB3dE6"), 120, true);
        // Names a backup rotation or a user gives: never ours, however random they look.
        for (const char* own : {"out.bin.bak001", "out.bin.Copy01", "out.bin.Jan24a", "out.bin.rev002",
                                "out.bin.iHawbM", ".out.bin.iHawbM", ".out.bin.zeltra-old"})
            row(own, "out.bin", own, 120, false);
    }
}

// A save removes what an interrupted save of the same file left beside it, and nothing else;
// it leaves nothing of its own, and it replaces the file's bytes, not who may read them.
void TestLayoutFiles::staleTemporariesRemoved()
{
    QFETCH(QString, save);
    QFETCH(QString, target);
    QFETCH(QString, leftover);
    QFETCH(int, ageSecs);
    QTemporaryDir dir;
    // Through a link, the file saved (and so its temporaries) is where the link leads.
    const QString folder = save == "through a link" ? dir.filePath("real") : dir.path();
    const QString out = dir.filePath(target), real = folder + '/' + target;
    QVERIFY(QDir().mkpath(folder));
    if (save != "replace") {
        writeFile(real, "old");
        QVERIFY(::chmod(QFile::encodeName(real).constData(), 0640) == 0);
    }
    QVERIFY(save != "through a link" || QFile::link(real, out));
    QFile file(folder + '/' + leftover);
    QVERIFY(file.open(QIODevice::WriteOnly) &&
            file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSecs), QFileDevice::FileModificationTime));
    file.close();
    const mode_t mask = ::umask(022);
    const QString error = save.startsWith("un") ? safefile::writeIfChanged(out, "old")
                          : save == "changed"   ? safefile::writeIfChanged(out, "new")
                                                : safefile::writeAtomic(out, "new");
    ::umask(mask);
    QCOMPARE(error, QString());
    QTEST(!QFileInfo::exists(file.fileName()), "removed");
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), QFileInfo::exists(file.fileName()) ? 2 : 1);
    QCOMPARE(readFile(real), QByteArray(save.startsWith("un") ? "old" : "new"));
    // rw-r--r-- for a new file, as open(2) makes it (not a temporary's rw-------), else rw-r-----
    QCOMPARE(int(QFile::permissions(real)), save == "replace" ? 0x6644 : 0x6640);
    QCOMPARE(QFileInfo(out).isSymLink(), save == "through a link");
}

QTEST_GUILESS_MAIN(TestLayoutFiles)
#include "tst_layoutfiles.moc"
