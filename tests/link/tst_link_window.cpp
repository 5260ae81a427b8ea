// The connect window and port picker: captions, messages, block list, trace and timer.
#include "FakeChannel.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "kit/TQvSettingsFile.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/LayoutModel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace zeltra;

namespace {

struct Window {
    LayoutModel model;
    ScriptedPrompts prompts;
    TComNumberF picker;
    FakeChannel* channel = new FakeChannel;
    TDownloadf dl{model, picker, prompts, std::unique_ptr<link::SerialChannel>(channel)};
    int saves = 0;

    Window()
    {
        model.initDefaults(QStringLiteral("/nonexistent/"));
        dl.saveconfig = [this] { ++saves; };
    }
    // The window makes its controls when it is first shown.
    template <class T> T* child(const char* name)
    {
        if (!dl.findChild<QMenuBar*>()) {
            dl.show();
            dl.hide();
        }
        return dl.findChild<T*>(QLatin1String(name));
    }
    QAction* action(const char* name) { return child<QAction>(name); }
    QColor background(const char* label)
    {
        return child<QLabel>(label)->palette().color(QPalette::Window);
    }
};

// "Com Port Invalid" comes first; the reason follows on its own line.
QStringList firstLines(const QStringList& messages)
{
    QStringList lines;
    for (const QString& m : messages)
        lines << m.section(QLatin1Char('\n'), 0, 0);
    return lines;
}

} // namespace

class TestLinkWindow : public QObject {
    Q_OBJECT
  private slots:
    void setupcom_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("opens") << 3 << "Com:3" << QStringList();
        QTest::newRow("port 0 fails") << 0 << "Com?" << QStringList{"Com Port Invalid"};
    }
    void setupcom()
    {
        QFETCH(int, port);
        QFETCH(QString, caption);
        QFETCH(QStringList, messages);
        Window w;
        w.model.Settings.setComPort(port);
        w.dl.Setupcom();
        QCOMPARE(w.dl.portCaption(), caption);
        QCOMPARE(w.action("Port1")->text(), caption);
        QCOMPARE(firstLines(w.prompts.messages), messages);
        QCOMPARE(w.picker.Tag(), port);
    }

    void portChoice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("opened");
        QTest::newRow("COM4 with OK") << "COM4" << false << 4 << true;
        QTest::newRow("close box keeps the edit") << "COM12" << true << 12 << true;
        QTest::newRow("Com alone is port 0") << "Com" << false << 0 << false;
    }
    void portChoice()
    {
        QFETCH(QString, typed);
        QFETCH(bool, closeBox);
        QFETCH(int, port);
        QFETCH(bool, opened);
        Window w;
        w.model.Settings.setComPort(1);
        QTimer::singleShot(0, &w.picker, [&] {
            w.picker.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(typed);
            if (closeBox)
                w.picker.close();
            else
                w.picker.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        w.dl.Port1Click();
        QCOMPARE(w.model.Settings.comPort(), port);
        QCOMPARE(w.picker.comboText(), typed);
        QCOMPARE(w.saves, 1);
        QCOMPARE(w.channel->number, port);
        QCOMPARE(w.action("Port1")->isChecked(), opened);
        QCOMPARE(w.dl.portCaption(), opened ? typed : QStringLiteral("Com?"));
        QCOMPARE(firstLines(w.prompts.messages), opened ? QStringList() : QStringList{"Com Port Invalid"});
    }

    // The picker's network field: an address there is the port, kept in zeltra.ini and opened
    // again at the next start; text that names no network port is refused with its reason, and
    // a serial port picked from the list empties the field.
    void networkPortChoice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("picked"); // COM4 picked from the list after the address
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("reason"); // the second line of "Com Port Invalid"; empty: opens
        const QString rfc = "rfc2217://studio-a:2000";
        QTest::newRow("RFC 2217 port") << rfc << false << rfc << QString();
        QTest::newRow("blanks around")
            << " tcp://[::1]:4001 " << false << "tcp://[::1]:4001" << QString();
        QTest::newRow("no scheme")
            << "studio-a:2000" << false << "Com?"
            << "\"studio-a:2000\": a network port is rfc2217://HOST:PORT or tcp://HOST:PORT";
        QTest::newRow("COM4 picked from the list") << rfc << true << "COM4" << QString();
    }
    void networkPortChoice()
    {
        QFETCH(QString, typed);
        QFETCH(bool, picked);
        QFETCH(QString, caption);
        QFETCH(QString, reason);
        const QString kept = picked ? QString() : typed.trimmed();
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("zeltra.def")), "[APP]\nExe=zeltra\n");
        for (bool nextStart : {false, true}) { // the same port again, from zeltra.ini
            TQvSettingsFile settings(dir.filePath(QStringLiteral("zeltra")), {}, {});
            QVERIFY(settings.open());
            Window w;
            w.dl.attachSettings(&settings);
            w.model.Settings.setComPort(nextStart ? 4 : 1);
            if (nextStart) {
                w.dl.Setupcom();
            } else {
                QTimer::singleShot(0, &w.picker, [&] {
                    auto* combo = w.picker.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
                    combo->setEditText(QStringLiteral("COM4"));
                    w.picker.findChild<QLineEdit*>(QStringLiteral("NetAddress"))->setText(typed);
                    if (picked)
                        emit combo->activated(0);
                    w.picker.accept();
                });
                w.dl.Port1Click();
            }
            QCOMPARE(w.prompts.messages,
                     reason.isEmpty() ? QStringList() : QStringList{"Com Port Invalid\n" + reason});
            QCOMPARE(w.model.Settings.comPort(), 4); // the settings record keeps its COM number
            QCOMPARE(w.dl.portCaption(), nextStart && kept.isEmpty() ? "Com:4" : caption);
            QCOMPARE(w.channel->isOpen, reason.isEmpty());
            QCOMPARE(w.channel->address.isNetwork(), reason.isEmpty() && !kept.isEmpty());
            QCOMPARE(w.picker.networkAddress(), kept);
        }
    }

    // A network port opens later; when it does not, "Com Port Invalid" names the address and
    // the reason, and the port shows as closed.
    void networkPortThatDoesNotOpen()
    {
        const QString address = QStringLiteral("rfc2217://studio-a:2000");
        Window w;
        w.channel->openSucceeds = false;
        QTimer::singleShot(0, &w.picker, [&] {
            w.picker.findChild<QLineEdit*>(QStringLiteral("NetAddress"))->setText(address);
            w.picker.accept();
        });
        w.dl.Port1Click();
        QVERIFY(w.prompts.messages.isEmpty()); // nothing is known yet, and nothing waits
        QCOMPARE(w.dl.portCaption(), address);
        QTRY_COMPARE(w.prompts.messages, QStringList{"Com Port Invalid\n" + address + ": fake"});
        QCOMPARE(w.dl.portCaption(), QStringLiteral("Com?"));
        QVERIFY(!w.action("Port1")->isChecked());
    }

    void blockListFollowsKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("lastItem");
        QTest::newRow("machine") << 0 << 9 << "Zq Macros";
        QTest::newRow("monitor") << 1 << 6 << "Dim + Other";
        QTest::newRow("future: list kept") << 2 << 9 << "macro's";
    }
    void blockListFollowsKind()
    {
        QFETCH(int, kind);
        QFETCH(int, count);
        QFETCH(QString, lastItem);
        Window w;
        w.model.setKbdType(kind);
        w.dl.selectBlock(3);
        w.dl.show();
        auto* list = w.child<QComboBox>("ComboBox1");
        QCOMPARE(list->count(), count);
        QCOMPARE(list->itemText(count - 1), lastItem);
        QCOMPARE(list->currentIndex(), 3);
    }

    void timerAndColours()
    {
        Window w;
        w.model.Settings.setComPort(1);
        w.dl.Setupcom();
        auto* timer = w.dl.findChild<QTimer*>(QStringLiteral("Timer1"));
        QCOMPARE(timer->interval(), 50);
        QCOMPARE(timer->timerType(), Qt::PreciseTimer);
        QVERIFY(w.child<QPushButton>("verifykey")->isEnabled());
        w.dl.sendkey(0x2A); // arms the countdown, but nothing counts it yet
        QVERIFY(!timer->isActive());
        w.dl.selectBlock(2);
        w.child<QPushButton>("Setkey")->click();
        QVERIFY(timer->isActive());
        QCOMPARE(w.background("umessage"), QColor(0, 128, 0));
        QCOMPARE(w.background("Label2"), QApplication::palette().color(QPalette::Button));
        QVERIFY(!w.model.LayoutChanged); // a download changes nothing of the layout
    }

    void traceShowsFrames()
    {
        Window w;
        w.model.Settings.setComPort(1);
        w.dl.Setupcom();
        auto* memo = w.child<QPlainTextEdit>("Memo1");
        QVERIFY(!w.dl.traceVisible());
        w.action("Check1")->trigger();
        QVERIFY(w.dl.traceVisible());
        w.dl.sendkey(0x2A);
        QCOMPARE(memo->toPlainText(), QStringLiteral(" 01 B8 2A E3"));
        w.child<QPushButton>("Loadkey")->click();
        QCOMPARE(memo->toPlainText(), QString());
        w.action("Check1")->trigger();
        QVERIFY(!w.dl.traceVisible());
    }

    // "Fast transfer" is off by default, kept in zeltra.ini, and read back at the next start.
    void fastTransferKeptInSettings()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("zeltra.def")), "[APP]\nExe=zeltra\n");
        const QString program = dir.filePath(QStringLiteral("zeltra"));
        const QString ini = dir.filePath(QStringLiteral("zeltra.ini"));
        {
            TQvSettingsFile settings(program, {}, {});
            QVERIFY(settings.open());
            const QByteArray fresh = readFile(ini);
            Window w;
            w.dl.attachSettings(&settings);
            QVERIFY(!w.dl.fastTransfer());
            QVERIFY(!w.child<QCheckBox>("FastTransfer")->isChecked());
            QCOMPARE(readFile(ini), fresh); // nothing to store while nothing changed
            w.child<QCheckBox>("FastTransfer")->click();
            QVERIFY(w.dl.fastTransfer() && w.dl.driver().fast());
            QVERIFY(readFile(ini).contains("LinkFastTransfer=1"));
        }
        TQvSettingsFile settings(program, {}, {});
        QVERIFY(settings.open());
        Window w;
        w.dl.attachSettings(&settings);
        QVERIFY(w.dl.fastTransfer());
        QVERIFY(w.child<QCheckBox>("FastTransfer")->isChecked());
        w.dl.setFastTransfer(false);
        QVERIFY(readFile(ini).contains("LinkFastTransfer=0"));
    }

    // Frames done out of the frames of the chosen item; the next transfer starts from 0.
    void progressBar()
    {
        Window w;
        w.model.Settings.setComPort(1);
        w.dl.Setupcom();
        w.channel->autoDeliver = true;
        w.dl.setFastTransfer(true);
        auto* bar = w.child<QProgressBar>("ProgressBar1");
        w.dl.selectBlock(2);
        w.child<QPushButton>("Setkey")->click();
        QCOMPARE(bar->maximum(), 15);
        QCOMPARE(bar->value(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(w.dl.engine().step(), 0, 3000);
        QCOMPARE(bar->value(), 15);
        QCOMPARE(bar->format(), QStringLiteral("15 of 15 frames"));
        w.dl.selectBlock(1);
        w.child<QPushButton>("Loadkey")->click();
        QCOMPARE(bar->maximum(), 3);
        QCOMPARE(bar->value(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(w.dl.engine().step(), 0, 3000);
        QCOMPARE(bar->value(), 3);
    }

    // The main window shows a transfer that goes on behind a hidden connect window, and a
    // port that went away.
    void mainWindowFollowsTheLink()
    {
        QTemporaryDir dir;
        qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
        LayoutModel model;
        AppTitle title;
        ScriptedPrompts prompts;
        const Windows w = createWindows(model, title, prompts, dir.path() + QLatin1Char('/'), {});
        std::unique_ptr<Trs422kbdf> main(w.main);
        auto* bar = main->statusBar()->findChild<QProgressBar*>(QStringLiteral("LinkProgress"));
        QVERIFY(bar);
        main->show();
        emit w.download->transferProgress(5, 20, 750);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), 5);
        QCOMPARE(main->statusBar()->currentMessage(), QStringLiteral("5 of 20 frames, 1 s left"));
        emit w.download->transferEnded();
        QVERIFY(!bar->isVisible());
        QVERIFY(main->statusBar()->currentMessage().isEmpty());
        w.download->show();
        emit w.download->transferProgress(6, 20, 700);
        QVERIFY(!bar->isVisible()); // the connect window shows it itself
        w.download->hide();
        emit w.download->portClosed(QStringLiteral("Com?"));
        QCOMPARE(main->action(QStringLiteral("Com1"))->text(), QStringLiteral("Com?"));
    }

    // A device that goes away while nothing runs: the port shows closed.
    void portLostWhileIdle()
    {
        Window w;
        w.model.Settings.setComPort(4);
        QTimer::singleShot(0, &w.picker, [&] {
            w.picker.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        w.dl.Port1Click();
        QVERIFY(w.action("Port1")->isChecked());
        QSignalSpy closed(&w.dl, &TDownloadf::portClosed);
        w.channel->isOpen = false;
        w.channel->onLost();
        QCOMPARE(w.action("Port1")->text(), QStringLiteral("Com?"));
        QVERIFY(!w.action("Port1")->isChecked());
        QCOMPARE(closed.size(), 1);
        QVERIFY(w.dl.engine().display().umessage.text.isEmpty());
    }
};

QTEST_MAIN(TestLinkWindow)
#include "tst_link_window.moc"
