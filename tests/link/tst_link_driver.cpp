// The transfer driver: its pacing timer runs only while there is work, fast transfer sends
// each frame as soon as the last is answered, and the progress and outcome it reports.
#include "FakeChannel.h"
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "link/TransferDriver.h"
#include "model/LayoutData.h"

#include <QSignalSpy>
#include <QTest>

using namespace zeltra;
using namespace zeltra::link;

namespace {

struct Rig {
    LayoutData model;
    FakeChannel channel;
    LinkEngine engine{model, channel};
    TransferDriver driver{engine};
    QSignalSpy ends{&driver, &TransferDriver::finished};

    explicit Rig(int kind)
    {
        model.initDefaults(QStringLiteral("/nonexistent/"));
        model.setKbdType(kind);
        for (std::size_t i = 4; i < model.McnImage.bytes.size(); ++i)
            model.McnImage.bytes[i] = std::uint8_t(i * 7);
        for (std::size_t i = 4; i < model.MonImage.bytes.size(); ++i)
            model.MonImage.bytes[i] = std::uint8_t(i * 3 % 16);
        channel.autoDeliver = true;
        channel.eeprom = emu::Eeprom(0xEE);
        engine.tryport();
    }
    TransferOutcome outcome() const { return ends.last().first().value<TransferOutcome>(); }
};

} // namespace

class TestLinkDriver : public QObject {
    Q_OBJECT
  private slots:
    // Paced and fast, a whole download leaves the same bytes in the keyboard; fast is many
    // times quicker and never has two requests outstanding.
    void fastGivesTheSameBytes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("machine") << int(KbdMachine);
        QTest::newRow("monitor") << int(KbdMonitor);
    }
    void fastGivesTheSameBytes()
    {
        QFETCH(int, kind);
        Rig paced(kind), fast(kind);
        fast.driver.setFast(true);
        int outstanding = 0, most = 0;
        fast.channel.onWrite = [&] { most = std::max(most, ++outstanding); };
        QObject::connect(&fast.engine, &LinkEngine::answered, [&] { --outstanding; });

        QElapsedTimer clock;
        qint64 fastMs = 0, pacedMs = 0;
        QObject::connect(&fast.driver, &TransferDriver::finished, [&] { fastMs = clock.elapsed(); });
        QObject::connect(&paced.driver, &TransferDriver::finished,
                         [&] { pacedMs = clock.elapsed(); });
        clock.start();
        QVERIFY(fast.driver.start(Direction::Download, 1));
        QTRY_COMPARE_WITH_TIMEOUT(fast.ends.size(), 1, 5000);
        clock.restart();
        QVERIFY(paced.driver.start(Direction::Download, 1));
        QTRY_COMPARE_WITH_TIMEOUT(paced.ends.size(), 1, 10000);

        QCOMPARE(fast.outcome(), TransferOutcome::Finished);
        QCOMPARE(fast.channel.eeprom, paced.channel.eeprom);
        QCOMPARE(fast.channel.sent, paced.channel.sent);
        QCOMPARE(most, 1);
        QVERIFY2(fastMs * 4 < pacedMs, qPrintable(QStringLiteral("%1 ms fast, %2 ms paced")
                                                      .arg(fastMs)
                                                      .arg(pacedMs)));
        QCOMPARE(fast.driver.framesDone(), fast.driver.framesTotal());
        QCOMPARE(fast.driver.framesTotal(), blockEntry(kind, 1)->written);
    }

    // Silence still ends a fast transfer after the reply time-out, with "Abort No Coms".
    void fastSilentKeyboardTimesOut()
    {
        Rig rig(KbdMachine);
        rig.channel.keyboard.reset();
        rig.driver.setFast(true);
        QElapsedTimer clock;
        clock.start();
        rig.driver.start(Direction::Upload, 0);
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends.size(), 1, 3000);
        QVERIFY(clock.elapsed() >= 900);
        QCOMPARE(rig.outcome(), TransferOutcome::NoAnswer);
        QCOMPARE(rig.engine.display().umessage,
                 (LabelState{QStringLiteral("Abort No Coms"), LinkEngine::LabelRed}));
        QCOMPARE(rig.channel.sent.size(), 1);
    }

    // The tick runs only while a step or a countdown needs it, from the first press on.
    void tickOnlyWhileNeeded()
    {
        Rig rig(KbdMachine);
        rig.engine.sendkey(1); // before any press: armed, but nothing counts it
        QVERIFY(!rig.driver.timer().isActive());
        QTest::qWait(100);
        QVERIFY(!rig.driver.timer().isActive());

        rig.driver.start(Direction::Download, 8);
        QVERIFY(rig.driver.timer().isActive());
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends.size(), 1, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.driver.timer().isActive(), 200);

        rig.channel.keyboard.reset(); // a key press now is counted down, and times out
        rig.engine.sendkey(1);
        QVERIFY(rig.driver.timer().isActive());
        QTRY_COMPARE_WITH_TIMEOUT(rig.engine.display().umessage.text,
                                  QStringLiteral("Abort No Coms"), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.driver.timer().isActive(), 200);
        QCOMPARE(rig.ends.size(), 1); // no transfer ran: no second ending
    }

    void progressCounts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("total");
        QTest::newRow("mcn download all") << 0 << int(Direction::Download) << 0 << 475;
        QTest::newRow("mcn upload all") << 0 << int(Direction::Upload) << 0 << 55;
        QTest::newRow("mcn verify all") << 0 << int(Direction::Verify) << 0 << 60;
        QTest::newRow("mon verify formats") << 1 << int(Direction::Verify) << 4 << 30;
        QTest::newRow("mon upload all") << 1 << int(Direction::Upload) << 0 << 11;
        QTest::newRow("mcn upload gpo: nothing") << 0 << int(Direction::Upload) << 7 << 0;
    }
    void progressCounts()
    {
        QFETCH(int, kind);
        QFETCH(int, direction);
        QFETCH(int, index);
        QFETCH(int, total);
        Rig rig(kind);
        rig.driver.setFast(true);
        QSignalSpy progress(&rig.driver, &TransferDriver::progress);
        rig.driver.start(Direction(direction), index);
        QTRY_COMPARE_WITH_TIMEOUT(rig.ends.size(), 1, 5000);
        QCOMPARE(rig.driver.framesTotal(), total);
        QCOMPARE(rig.driver.framesDone(), total);
        QCOMPARE(rig.channel.sent.size(), total);
        QCOMPARE(progress.size(), total + 1);
        QCOMPARE(progress.last().at(0).toInt(), total);
    }
};

QTEST_GUILESS_MAIN(TestLinkDriver)
#include "tst_link_driver.moc"
