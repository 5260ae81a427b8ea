// A termination request ends the program from every state: a question open, a transfer
// running in the connect window, the main window hidden. The main window closes the ordinary
// way (its close stores the settings) and the message loop ends.
#include "ScriptedPrompts.h"

#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Termination.h"
#include "editor/Trs422kbdf.h"
#include "link/TDownloadf.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

using namespace zeltra;

class TestTermination : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void endsFromEveryState_data();
    void endsFromEveryState();

private:
    int master_ = -1;
};

// The COM port is a pseudo-terminal nobody answers on: a download started on it runs until
// its reply time-out.
void TestTermination::initTestCase()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0);
    qputenv("ZELTRA_COM1", ::ptsname(master_));
}

void TestTermination::cleanupTestCase() { ::close(master_); }

void TestTermination::endsFromEveryState_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("question open") << "question";
    QTest::newRow("transfer running") << "transfer";
    QTest::newRow("main window hidden") << "hidden";
}

void TestTermination::endsFromEveryState()
{
    QFETCH(QString, state);
    QTemporaryDir dir;
    LayoutModel model;
    AppTitle title;
    ScriptedPrompts prompts;
    Windows w = createWindows(model, title, prompts, dir.path() + QLatin1Char('/'), {});
    bool silenced = false;
    Termination end(w.main, [&] { silenced = true; });
    end.setMainWindow(w.main);
    w.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.main));

    bool stateReached = false;
    QTimer::singleShot(0, w.main, [&] {
        if (state == QLatin1String("hidden")) {
            w.main->hide();
            stateReached = true;
        } else if (state == QLatin1String("question")) {
            QTimer::singleShot(100, [&] { stateReached = QApplication::activeModalWidget() != nullptr; });
            QMessageBox::question(w.main, QStringLiteral("Q"), QStringLiteral("Still there?"));
        } else {
            QTimer::singleShot(100, [&] {
                w.download->findChild<QPushButton*>(QStringLiteral("Setkey"))->click();
                QTimer::singleShot(200, [&] { stateReached = w.download->engine().timerEnabled(); });
            });
            w.main->Download1Click();
        }
    });
    QTimer::singleShot(500, &end, &Termination::request);
    const qsizetype closes = title.history().count(QStringLiteral("Splash1k"));
    QElapsedTimer clock;
    clock.start();
    end.setLooping(true);
    QTimer watchdog; // a hang fails the test instead of blocking it
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    const int rc = QCoreApplication::exec();
    QVERIFY(stateReached);
    QCOMPARE(rc, 0);
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(silenced);
    QVERIFY(!w.main->isVisible() && !w.download->isVisible());
    QCOMPARE(title.history().count(QStringLiteral("Splash1k")), closes + 1); // the close stored the settings
    delete w.main;
}

QTEST_MAIN(TestTermination)
#include "tst_termination.moc"
