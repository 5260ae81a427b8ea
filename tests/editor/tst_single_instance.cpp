// Starts the real program: a second start is refused with its message and a failure status,
// and a lock left by a killed instance does not block the next start.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void secondStartIsRefused();
    void killedInstanceLeavesNoLock();
    void lockFailureIsNotAnotherCopy();

private:
    std::unique_ptr<QProcess> start(const QStringList& args = {}, const QString& runtime = {});
    static bool waitForStderr(QProcess& p, const QByteArray& text, QByteArray& seen);

    QTemporaryDir programDir_;
    QTemporaryDir runtimeDir_;
    QString exe_;
};

void TestSingleInstance::initTestCase()
{
    // The program keeps its files beside itself: run a copy in a folder of its own.
    exe_ = programDir_.filePath(QStringLiteral("zeltra"));
    QVERIFY(QFile::copy(QStringLiteral(ZELTRA_EXE), exe_));
    const QString def = QFileInfo(QStringLiteral(ZELTRA_EXE)).dir().filePath("zeltra.def");
    if (QFile::exists(def))
        QVERIFY(QFile::copy(def, programDir_.filePath(QStringLiteral("zeltra.def"))));
}

std::unique_ptr<QProcess> TestSingleInstance::start(const QStringList& args, const QString& runtime)
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.isEmpty() ? runtimeDir_.path() : runtime);
    env.insert(QStringLiteral("ZELTRA_TRACE_TITLE"), QStringLiteral("1"));
    p->setProcessEnvironment(env);
    p->setProgram(exe_);
    p->setArguments(QStringList{QStringLiteral("--no-splash")} + args);
    p->start();
    return p;
}

bool TestSingleInstance::waitForStderr(QProcess& p, const QByteArray& text, QByteArray& seen)
{
    for (int i = 0; i < 200 && !seen.contains(text); ++i) {
        p.waitForReadyRead(100);
        seen += p.readAllStandardError();
        if (p.state() == QProcess::NotRunning)
            break;
    }
    return seen.contains(text);
}

void TestSingleInstance::secondStartIsRefused()
{
    auto first = start();
    QByteArray firstErr;
    QVERIFY2(waitForStderr(*first, "title: Splash11", firstErr), firstErr.constData());

    auto second = start();
    QByteArray secondErr;
    QVERIFY2(waitForStderr(*second, "The Zeltra driver is already running.", secondErr),
             secondErr.constData());
    ::kill(pid_t(second->processId()), SIGTERM); // closes the message box
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QVERIFY(second->exitCode() != 0);
    secondErr += second->readAllStandardError();
    QVERIFY(!secondErr.contains("title: Splash"));

    ::kill(pid_t(first->processId()), SIGTERM);
    QVERIFY(first->waitForFinished(10000));
    QCOMPARE(first->exitCode(), 0);
}

void TestSingleInstance::killedInstanceLeavesNoLock()
{
    auto first = start();
    QByteArray err;
    QVERIFY(waitForStderr(*first, "title: Splash11", err));
    first->kill();
    QVERIFY(first->waitForFinished(10000));

    auto next = start();
    QByteArray nextErr;
    QVERIFY2(waitForStderr(*next, "title: Splash11", nextErr), nextErr.constData());
    ::kill(pid_t(next->processId()), SIGTERM);
    QVERIFY(next->waitForFinished(10000));
    QCOMPARE(next->exitCode(), 0);
}

// A lock file that cannot be made (a folder in its place) is reported with its reason, and the
// program starts: only a lock held by a running copy means "already running".
void TestSingleInstance::lockFailureIsNotAnotherCopy()
{
    QTemporaryDir runtime;
    QVERIFY(QDir(runtime.path()).mkdir(QStringLiteral("zeltra")));
    auto p = start({}, runtime.path());
    QByteArray err;
    QVERIFY2(waitForStderr(*p, "title: Splash11", err), err.constData()); // it starts
    QVERIFY2(err.contains("Is a directory"), err.constData());
    QVERIFY(err.contains("single-instance lock could not be made"));
    QVERIFY(!err.contains("already running"));
    ::kill(pid_t(p->processId()), SIGTERM); // with the report still open
    QVERIFY(p->waitForFinished(10000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
