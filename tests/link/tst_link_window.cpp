// The connect window and port picker: captions, messages, block list, trace and timer.
#include "FakeChannel.h"
#include "ScriptedPrompts.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/LayoutModel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
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
    int keyRefreshes = 0;

    Window()
    {
        model.initDefaults(QStringLiteral("/nonexistent/"));
        dl.saveconfig = [this] { ++saves; };
        dl.setkbdval = [this] { ++keyRefreshes; };
    }
    template <class T> T* child(const char* name) { return dl.findChild<T*>(QLatin1String(name)); }
    QAction* action(const char* name) { return child<QAction>(name); }
    QColor background(const char* label)
    {
        return child<QLabel>(label)->palette().color(QPalette::Window);
    }
};

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
        QCOMPARE(w.prompts.messages, messages);
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
        QCOMPARE(w.prompts.messages, opened ? QStringList() : QStringList{"Com Port Invalid"});
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
        QVERIFY(w.model.LayoutChanged);
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
};

QTEST_MAIN(TestLinkWindow)
#include "tst_link_window.moc"
