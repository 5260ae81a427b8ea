// The side commands' rules without windows: the macro number typed by the user and the
// files looked for beside the program.
#include "TestFiles.h"
#include "model/MacroLabels.h"
#include "program/SideFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zeltra;

class TestSideCore : public QObject {
    Q_OBJECT
private slots:
    void macroEntry_data();
    void macroEntry();
    void jpegPath_data();
    void jpegPath();
    void supportProgram_data();
    void supportProgram();
    void credits();
};

void TestSideCore::macroEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -1: refused
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("locate") << "84" << 84;
    QTest::newRow("largest") << "255" << 255;
    QTest::newRow("blanks around") << "  7 " << 7;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("no such macro is kept as typed") << "99" << 99;
    QTest::newRow("too large") << "300" << -1;
    QTest::newRow("256") << "256" << -1;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("plus sign") << "+5" << -1;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("number then letters") << "12abc" << -1;
    QTest::newRow("hex") << "0x10" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("blanks only") << "   " << -1;
    QTest::newRow("inner blank") << "1 2" << -1;
    QTest::newRow("huge") << "99999999999999999999" << -1;
    QTest::newRow("arabic-indic digits") << QStringLiteral("\u0663") << -1;
}

void TestSideCore::macroEntry()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    const auto parsed = macros::parseEntry(text);
    QCOMPARE(parsed.has_value(), value >= 0);
    if (parsed)
        QCOMPARE(int(*parsed), value);
    else
        QVERIFY(macros::entryRefusal(text).contains(QStringLiteral("0 to 255")));
}

void TestSideCore::jpegPath_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("picture");
    QTest::newRow("bin") << "/home/u/keys.bin" << "/home/u/keys.JPEG";
    QTest::newRow("upper case") << "/home/u/KEYS.BIN" << "/home/u/KEYS.JPEG";
    QTest::newRow("two dots") << "/home/u/a.b.bin" << "/home/u/a.b.JPEG";
    QTest::newRow("no extension") << "/home/u/keys" << "/home/u/keys.JPEG";
    QTest::newRow("dot in folder only") << "/home/u.v/keys" << "/home/u.v/keys.JPEG";
    QTest::newRow("none known") << "" << "";
}

void TestSideCore::jpegPath()
{
    QFETCH(QString, layout);
    QTEST(side::jpegPathFor(layout), "picture");
    QCOMPARE(side::withJpegExtension(QStringLiteral("/x/pic")), QStringLiteral("/x/pic.JPEG"));
    QCOMPARE(side::withJpegExtension(QStringLiteral("/x/pic.jpg")), QStringLiteral("/x/pic.jpg"));
    QCOMPARE(side::withJpegExtension(QStringLiteral("/x/pic.JPEG")), QStringLiteral("/x/pic.JPEG"));
    QCOMPARE(side::withJpegExtension(QStringLiteral("/x/pic.bin")), QStringLiteral("/x/pic.bin.JPEG"));
}

void TestSideCore::supportProgram_data()
{
    QTest::addColumn<bool>("native");
    QTest::addColumn<bool>("nativeExecutable");
    QTest::addColumn<bool>("exe");
    QTest::addColumn<QString>("found");
    QTest::addColumn<bool>("direct");
    QTest::newRow("nothing") << false << false << false << "" << false;
    QTest::newRow("exe only") << false << false << true << "qvhelp2.exe" << false;
    QTest::newRow("native only") << true << true << false << "qvhelp2" << true;
    QTest::newRow("both: native first") << true << true << true << "qvhelp2" << true;
    QTest::newRow("native not executable") << true << false << true << "qvhelp2.exe" << false;
}

void TestSideCore::supportProgram()
{
    QFETCH(bool, native);
    QFETCH(bool, nativeExecutable);
    QFETCH(bool, exe);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    if (native) {
        writeFile(folder + QStringLiteral("qvhelp2"), "#!/bin/sh\n");
        if (nativeExecutable)
            QFile::setPermissions(folder + QStringLiteral("qvhelp2"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    if (exe)
        writeFile(folder + QStringLiteral("qvhelp2.exe"), "MZ");
    const side::SupportProgram p = side::findSupportProgram(folder);
    QFETCH(QString, found);
    QCOMPARE(p.path, found.isEmpty() ? QString() : folder + found);
    QTEST(p.native, "direct");
}

void TestSideCore::credits()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("zeltra"));
    QCOMPARE(side::creditsPath(program), dir.filePath(QStringLiteral("zeltra.crd")));
    QCOMPARE(side::readCredits(side::creditsPath(program)), QString());
    writeFile(dir.filePath(QStringLiteral("zeltra.crd")), QByteArray(side::CreditsLimit + 100, 'x'));
    QCOMPARE(side::readCredits(side::creditsPath(program)).size(), side::CreditsLimit);
}

QTEST_GUILESS_MAIN(TestSideCore)
#include "tst_side_core.moc"
