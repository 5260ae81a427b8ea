// Starting programs: found on the PATH or by path, their end reported once, and a failure
// put into words.
#include "TestFiles.h"
#include "kit/Launcher.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zeltra::launch;
using K = Outcome::Kind;

class TestLaunch : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void openerWords_data();
    void openerWords();
    void argumentsArriveWhole();
};

void TestLaunch::outcomes_data()
{
    QTest::addColumn<QString>("script"); // empty: the program does not exist
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("works") << "exit 0" << int(K::Finished) << 0;
    QTest::newRow("fails") << "exit 3" << int(K::Finished) << 3;
    QTest::newRow("crashes") << "kill -SEGV $$" << int(K::Crashed) << -1;
    QTest::newRow("missing") << "" << int(K::NotFound) << 0;
    QTest::newRow("not executable") << "-" << int(K::NotFound) << 0;
}

void TestLaunch::outcomes()
{
    QFETCH(QString, script);
    QFETCH(int, kind);
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("prog"));
    if (!script.isEmpty()) {
        writeFile(program, "#!/bin/sh\n" + script.toUtf8() + "\n");
        if (script != QLatin1String("-"))
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ProcessLauncher launcher;
    QList<Outcome> seen;
    launcher.start(program, {}, dir.path(), [&seen](const Outcome& o) { seen << o; });
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 1, 10000);
    QTest::qWait(50); // and only once
    QCOMPARE(seen.size(), 1);
    QCOMPARE(int(seen[0].kind), kind);
    QFETCH(int, exitCode);
    if (exitCode >= 0)
        QCOMPARE(seen[0].exitCode, exitCode);
    QCOMPARE(seen[0].ok(), script == QLatin1String("exit 0"));
}

void TestLaunch::openerWords_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("words");
    QTest::newRow("opened") << int(K::Finished) << 0 << "";
    QTest::newRow("syntax") << int(K::Finished) << 1
                            << "xdg-open: the command line was not understood (exit status 1).";
    QTest::newRow("file missing") << int(K::Finished) << 2
                                  << "xdg-open: a file named in it does not exist (exit status 2).";
    QTest::newRow("nothing to open it") << int(K::Finished) << 3
                                        << "xdg-open: no program is set up to open it (exit status 3).";
    QTest::newRow("opening failed") << int(K::Finished) << 4
                                    << "xdg-open: the program that opens it failed (exit status 4).";
    QTest::newRow("unreadable") << int(K::Finished) << 5
                                << "xdg-open: a file named in it may not be read (exit status 5).";
    QTest::newRow("other") << int(K::Finished) << 9 << "xdg-open: it failed (exit status 9).";
    QTest::newRow("not installed") << int(K::NotFound) << 0 << "xdg-open was not found.";
    QTest::newRow("no start") << int(K::FailedToStart) << 0 << "xdg-open could not be started.";
    QTest::newRow("crash") << int(K::Crashed) << 11 << "xdg-open stopped unexpectedly.";
}

void TestLaunch::openerWords()
{
    QFETCH(int, kind);
    QFETCH(int, exitCode);
    QTEST(openerFailure(QStringLiteral("xdg-open"), {K(kind), exitCode}), "words");
}

// The argument list reaches the program as it is: no shell splits or expands it.
void TestLaunch::argumentsArriveWhole()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("prog"));
    const QString out = dir.filePath(QStringLiteral("out"));
    writeFile(program, QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1'\npwd >> '%1'\n").arg(out).toUtf8());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList args{QStringLiteral("/a b/c'd\".pdf"), QStringLiteral("$(touch x); rm -rf y"),
                           QStringLiteral("-x"), QStringLiteral("line\nbreak")};
    ProcessLauncher launcher;
    bool done = false;
    launcher.start(program, args, dir.path(), [&done](const Outcome&) { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
    QByteArray expected;
    for (const QString& a : args)
        expected += a.toUtf8() + '\0';
    expected += QDir(dir.path()).canonicalPath().toUtf8() + '\n';
    QCOMPARE(readFile(out), expected);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x"))));
}

QTEST_GUILESS_MAIN(TestLaunch)
#include "tst_launch.moc"
