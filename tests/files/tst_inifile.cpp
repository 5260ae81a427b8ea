#include "kit/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

namespace {
const QString Missing = QStringLiteral("<missing>");

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void setValueKeepsNamesAndLines_data();
    void setValueKeepsNamesAndLines();
    void refusesNamesThatBreakTheFile_data();
    void refusesNamesThatBreakTheFile();
    void entriesSplitAtFirstEquals();
    void unchangedRewriteIsByteExact_data();
    void unchangedRewriteIsByteExact();
    void loadIsBounded();
    void changedFileKeepsOtherBytes_data();
    void changedFileKeepsOtherBytes();
    void neverWritesWhatItWouldRefuse();
    void lookupsFollowInsertsAndSaves();
};

void TestIniFile::lookup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QString app = QStringLiteral("[App]\nExe=zeltra\n");
    QTest::newRow("exact") << app << "App" << "Exe" << "zeltra";
    QTest::newRow("section case") << app << "APP" << "Exe" << "zeltra";
    QTest::newRow("key case") << app << "app" << "EXE" << "zeltra";
    QTest::newRow("odd key") << "[Current]\n<FORM>rs422kbdf_FLeft=12\n" << "current"
                             << "<form>RS422KBDF_fleft" << "12";
    QTest::newRow("backslash section") << "[USER\\<FACTORY DEFAULT>]\nA=1\n" << "user\\<factory default>"
                                       << "a" << "1";
    QTest::newRow("equals in value") << "[S]\nK=a=b\n" << "S" << "K" << "a=b";
    QTest::newRow("blanks around") << "  [ S ]  \n  K  =  v w  \n" << "S" << "K" << "v w";
    QTest::newRow("crlf") << "[S]\r\nK=v\r\n" << "S" << "K" << "v";
    QTest::newRow("first of two wins") << "[S]\nK=1\nk=2\n" << "S" << "K" << "1";
    QTest::newRow("second block of a section") << "[S]\nA=1\n[T]\nB=2\n[s]\nC=3\n" << "S" << "C" << "3";
    QTest::newRow("other section") << "[S]\nK=1\n[T]\n" << "T" << "K" << Missing;
    QTest::newRow("before any section") << "K=1\n[S]\n" << "S" << "K" << Missing;
    QTest::newRow("comment") << "[S]\n;K=1\n" << "S" << "K" << Missing;
    QTest::newRow("garbage lines") << "[S]\n\x01\x02 junk\n=nokey\nK=ok\n" << "S" << "K" << "ok";
    QTest::newRow("unclosed header") << "[S\nK=1\n" << "S" << "K" << "1";
    QTest::newRow("empty value") << "[S]\nK=\n" << "S" << "K" << "";
    QTest::newRow("non-ASCII section in other case")
        << QStringLiteral("[Z\u00fcrich]\nK=1\n") << QStringLiteral("Z\u00dcRICH") << "K" << "1";
    QTest::newRow("one of many small sections")
        << [] {
               QString t;
               for (int i = 0; i < 3000; ++i)
                   t += QStringLiteral("[Extra%1]\nNote=%1\n").arg(i);
               return t + QStringLiteral("[EXTRA17]\nMore=x\n");
           }()
        << "extra17" << "Note" << "17";
    QTest::newRow("look-alike names apart") << "[ab]\nK=1\n[ba]\nK=2\n[AB ]\nL=3\n" << "BA" << "K" << "2";
}

void TestIniFile::lookup()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    IniFile ini;
    ini.parse(text);
    QCOMPARE(ini.value(section, key).value_or(Missing), value);
}

void TestIniFile::setValueKeepsNamesAndLines_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("after");
    QTest::newRow("new file") << "" << "Current" << "<FORM>rs422kbdf_FLeft"
                              << "[Current]\n<FORM>rs422kbdf_FLeft=7\n";
    QTest::newRow("replace in other case") << "[current]\n<form>X_FLEFT=1\nB=2\n" << "Current"
                                           << "<FORM>X_FLeft" << "[current]\n<FORM>X_FLeft=7\nB=2\n";
    QTest::newRow("append to section, keep comment")
        << "; note\n[S]\nA=1\n\n[T]\nB=2\n" << "s" << "C" << "; note\n[S]\nA=1\nC=7\n\n[T]\nB=2\n";
    QTest::newRow("new section after others") << "[S]\nA=1\n" << "USER\\<FACTORY DEFAULT>" << "K"
                                               << "[S]\nA=1\n\n[USER\\<FACTORY DEFAULT>]\nK=7\n";
    QTest::newRow("garbage kept") << "[S]\n???\n" << "S" << "K" << "[S]\n???\nK=7\n";
}

void TestIniFile::setValueKeepsNamesAndLines()
{
    QFETCH(QString, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, after);
    IniFile ini;
    ini.parse(before);
    QVERIFY(ini.setValue(section, key, QStringLiteral("7")));
    QCOMPARE(ini.text(), after);
}

void TestIniFile::refusesNamesThatBreakTheFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("equals in key") << "S" << "a=b" << "v";
    QTest::newRow("newline in key") << "S" << "a\nb" << "v";
    QTest::newRow("newline in value") << "S" << "a" << "v\n[X]";
    QTest::newRow("empty key") << "S" << " " << "v";
    QTest::newRow("comment key") << "S" << ";a" << "v";
    QTest::newRow("bracket in section") << "S]" << "a" << "v";
    QTest::newRow("empty section") << "" << "a" << "v";
}

void TestIniFile::refusesNamesThatBreakTheFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    IniFile ini;
    ini.parse(QStringLiteral("[S]\nA=1\n"));
    QVERIFY(!ini.setValue(section, key, value));
    QCOMPARE(ini.text(), QStringLiteral("[S]\nA=1\n"));
}

void TestIniFile::entriesSplitAtFirstEquals()
{
    IniFile from;
    from.parse(QStringLiteral("[APP]\nExe=zeltra\nPath = a=b \n; c=d\nnoequals\n[Other]\nX=1\n"));
    QCOMPARE(from.entries(QStringLiteral("app")),
             (QStringList{QStringLiteral("Exe=zeltra"), QStringLiteral("Path = a=b")}));
    IniFile to;
    for (const QString& line : from.entries(QStringLiteral("APP")))
        QVERIFY(to.putEntry(QStringLiteral("APP"), line));
    QCOMPARE(to.text(), QStringLiteral("[APP]\nExe=zeltra\nPath = a=b\n"));
    QCOMPARE(to.value(QStringLiteral("App"), QStringLiteral("path")).value_or(Missing), QStringLiteral("a=b"));
}

void TestIniFile::unchangedRewriteIsByteExact_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lf") << QByteArray("[S]\nA=1\n; c\n\nodd line\n");
    QTest::newRow("crlf") << QByteArray("[S]\r\nA=1\r\n");
    QTest::newRow("latin-1") << QByteArray("[S]\nName=Z\xfcrich\n");
    QTest::newRow("utf-8") << QByteArray("[S]\nName=Z\xc3\xbcrich\n");
    QTest::newRow("cr cr lf") << QByteArray("[S]\r\nA=1\r\r\nB=2\r\n");
    QTest::newRow("cut utf-8 at the end") << QByteArray("[S]\nA=\xe6\x97\xa5\nB=\xe6\x97");
    QTest::newRow("no final break") << QByteArray("[S]\nA=1");
    QTest::newRow("stray bytes") << QByteArray("[S]\nA=\x00\x01\xff\r\n\rB=2\n\n\n");
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf[S]\nA=1\n");
}

void TestIniFile::unchangedRewriteIsByteExact()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    writeFile(path, bytes);
    IniFile ini(path);
    QCOMPARE(ini.load(), IniFile::Load::Loaded);
    QVERIFY(ini.save());
    QCOMPARE(readFile(path), bytes);
}

void TestIniFile::loadIsBounded()
{
    QTemporaryDir dir;
    IniFile missing(dir.filePath(QStringLiteral("none.ini")));
    QCOMPARE(missing.load(), IniFile::Load::Missing);

    const QString big = dir.filePath(QStringLiteral("big.ini"));
    writeFile(big, "[S]\nA=1\n" + QByteArray(IniFile::MaxBytes, 'x'));
    IniFile huge(big);
    QCOMPARE(huge.load(), IniFile::Load::Failed);
    QVERIFY(!huge.errorString().isEmpty());
    QVERIFY(!huge.value(QStringLiteral("S"), QStringLiteral("A")));

    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    IniFile folder(dir.filePath(QStringLiteral("folder.ini")));
    QCOMPARE(folder.load(), IniFile::Load::Failed);
    QVERIFY(!folder.save()); // and never replaced by a file
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.ini"))).isDir());
}

void TestIniFile::changedFileKeepsOtherBytes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key"); // set under [S]
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    const QString cjk = QStringLiteral("\u660e\u671d");
    QTest::newRow("cr cr lf kept") << QByteArray("[S]\nA=1\r\r\nB=2\n") << "C" << "7"
                                   << QByteArray("[S]\nA=1\r\r\nB=2\nC=7\n");
    QTest::newRow("crlf file") << QByteArray("[S]\r\nA=1\r\n") << "A" << "2" << QByteArray("[S]\r\nA=2\r\n");
    QTest::newRow("no final break") << QByteArray("[S]\nA=1") << "K" << "7" << QByteArray("[S]\nA=1\nK=7\n");
    QTest::newRow("cut utf-8 at the end") << QByteArray("[S]\nK=1\nB=\xe6\x97") << "K" << "2"
                                          << QByteArray("[S]\nK=2\nB=\xe6\x97");
    QTest::newRow("cut utf-8 turned to utf-8") << QByteArray("[S]\nK=1\nB=\xe6\x97\n") << "K" << cjk
                                    << QByteArray("[S]\nK=\xe6\x98\x8e\xe6\x9c\x9d\nB=\xc3\xa6\xc2\x97\n");
    QTest::newRow("latin-1 value in latin-1 file")
        << QByteArray("[S]\nCity=Z\xfcrich\n") << "Font" << QStringLiteral("F\u00fcr")
        << QByteArray("[S]\nCity=Z\xfcrich\nFont=F\xfcr\n");
    QTest::newRow("cjk value in latin-1 file")
        << QByteArray("[S]\nCity=Z\xfcrich\n") << "Font" << cjk
        << QByteArray("[S]\nCity=Z\xc3\xbcrich\nFont=\xe6\x98\x8e\xe6\x9c\x9d\n");
    QTest::newRow("cjk value in utf-8 file") << QByteArray("[S]\nCity=Z\xc3\xbcrich\n") << "Font" << cjk
                                             << QByteArray("[S]\nCity=Z\xc3\xbcrich\nFont=\xe6\x98\x8e\xe6\x9c\x9d\n");
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf[S]\nA=1\n") << "A" << "2"
                                     << QByteArray("\xef\xbb\xbf[S]\nA=2\n");
    QTest::newRow("same value after cr cr lf") << QByteArray("[S]\r\nExe=zeltra\r\r\n") << "Exe" << "zeltra"
                                               << QByteArray("[S]\r\nExe=zeltra\r\r\n");
    QTest::newRow("same value in blanks") << QByteArray("[S]\nFLeft = -2   \nB=1") << "FLeft" << "-2"
                                          << QByteArray("[S]\nFLeft = -2   \nB=1");
    QTest::newRow("same value, key in other case") << QByteArray("[S]\nexe=zeltra\n") << "Exe" << "zeltra"
                                                   << QByteArray("[S]\nexe=zeltra\n");
}

// Set one value, save, and read the file back: the other lines keep their bytes and the new
// value comes back as it was given.
void TestIniFile::changedFileKeepsOtherBytes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    writeFile(path, before);
    IniFile ini(path);
    QCOMPARE(ini.load(), IniFile::Load::Loaded);
    QVERIFY(ini.setValue(QStringLiteral("S"), key, value));
    QVERIFY(ini.save());
    QCOMPARE(readFile(path), after);
    IniFile again(path);
    QCOMPARE(again.load(), IniFile::Load::Loaded);
    QCOMPARE(again.value(QStringLiteral("S"), key).value_or(Missing), value);
    QVERIFY(again.save()); // a second save changes nothing
    QCOMPARE(readFile(path), after);
}

void TestIniFile::neverWritesWhatItWouldRefuse()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.ini"));
    const QByteArray head("[App]\nExe=zeltra\n[Current]\n");
    const QByteArray full = head + QByteArray(IniFile::MaxBytes - head.size() - 1, ';') + '\n';
    QCOMPARE(full.size(), IniFile::MaxBytes);
    writeFile(path, full);
    IniFile ini(path);
    QCOMPARE(ini.load(), IniFile::Load::Loaded);
    QVERIFY(ini.setValue(QStringLiteral("Current"), QStringLiteral("<FORM>rs422kbdf_FLeft"), QStringLiteral("12")));
    QVERIFY(!ini.save());
    QVERIFY(ini.errorString().contains(QString::number(IniFile::MaxBytes)));
    QCOMPARE(readFile(path), full);
    IniFile next(path);
    QCOMPARE(next.load(), IniFile::Load::Loaded); // the next start still reads it
}

// New lines in the first sections move every later line: each key still reads its own value,
// after the save too, as a fresh read of the same bytes gives it.
void TestIniFile::lookupsFollowInsertsAndSaves()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    writeFile(path, "[A]\nK=a\n\n[B]\nK=b\n[a]\nL=a2\n[C]\nK=c\n");
    IniFile ini(path);
    QCOMPARE(ini.load(), IniFile::Load::Loaded);
    QCOMPARE(ini.value(QStringLiteral("C"), QStringLiteral("K")).value_or(Missing), QStringLiteral("c"));
    QVERIFY(ini.setValue(QStringLiteral("A"), QStringLiteral("New"), QStringLiteral("1")));
    QVERIFY(ini.setValue(QStringLiteral("B"), QStringLiteral("New"), QStringLiteral("2")));
    QVERIFY(ini.setValue(QStringLiteral("D"), QStringLiteral("K"), QStringLiteral("d")));
    for (int round = 0; round < 2; ++round) {
        IniFile fresh;
        fresh.parse(QString::fromUtf8(ini.bytes()));
        for (const char* section : {"A", "B", "C", "D"})
            for (const char* key : {"K", "L", "New"})
                QCOMPARE(ini.value(QLatin1String(section), QLatin1String(key)),
                         fresh.value(QLatin1String(section), QLatin1String(key)));
        QVERIFY(ini.save());
    }
    QCOMPARE(ini.value(QStringLiteral("a"), QStringLiteral("L")).value_or(Missing), QStringLiteral("a2"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
