// The transfer steps tick by tick against a fake channel answered by the emulator's core.
#include "FakeChannel.h"
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "link/LinkEngine.h"
#include "model/LayoutModel.h"

#include <QSignalSpy>
#include <QTest>

using namespace zeltra;
using namespace zeltra::link;

namespace {

struct Rig {
    LayoutModel model;
    FakeChannel channel;
    LinkEngine engine{model, channel};

    explicit Rig(int kind, bool portOpens = true)
    {
        model.initDefaults(QStringLiteral("/nonexistent/"));
        model.setKbdType(kind);
        for (std::size_t i = 4; i < model.McnImage.bytes.size(); ++i)
            model.McnImage.bytes[i] = std::uint8_t((i % 100 / 10) << 4 | i % 10); // BCD throughout
        for (std::size_t i = 4; i < model.MonImage.bytes.size(); ++i)
            model.MonImage.bytes[i] = std::uint8_t(i * 3 % 16);
        channel.openSucceeds = portOpens;
        engine.tryport();
    }
    // One tick; the keyboard answers before the next.
    void tick()
    {
        engine.Timer1Timer();
        channel.deliverAnswers();
    }
    int runToIdle(int maxTicks)
    {
        for (int t = 1; t <= maxTicks; ++t) {
            tick();
            if (engine.step() == 0)
                return t;
        }
        return -1;
    }
    void start(int index, int tag)
    {
        engine.setComboIndex(index);
        engine.LoadkeyClick(tag);
    }
    std::uint8_t imageByte(int block, int address) const
    {
        return model.KbdType() == 0 ? *downloadByte(model.McnImage, block, address)
                                    : *downloadByte(model.MonImage, block, address);
    }
};

QByteArray hex(const char* t)
{
    return QByteArray::fromHex(t);
}

} // namespace

class TestLinkEngine : public QObject {
    Q_OBJECT
  private slots:
    void singleDownload_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("frames");
        const int mcn[] = {22, 15, 15, 15, 192, 160, 48, 8};
        for (int b = 1; b <= 8; ++b)
            QTest::addRow("mcn block %d", b) << 0 << b << mcn[b - 1];
        const int mon[] = {21, 15, 15, 240, 15};
        for (int b = 1; b <= 5; ++b)
            QTest::addRow("mon block %d", b) << 1 << b << mon[b - 1];
    }
    void singleDownload()
    {
        QFETCH(int, kind);
        QFETCH(int, block);
        QFETCH(int, frames);
        Rig rig(kind);
        rig.start(block, 0);
        QCOMPARE(rig.runToIdle(1000), frames + 1);
        QCOMPARE(rig.channel.sent.size(), frames);
        for (int a = 0; a < frames; ++a) {
            const auto value = rig.imageByte(block, a);
            QCOMPARE(rig.channel.sent[a],
                     writeRequestFrame(std::uint8_t(block), std::uint8_t(a), value));
            QCOMPARE(rig.channel.eeprom.at(block, a), value);
        }
        QCOMPARE(rig.channel.eeprom.at(block, frames), zeltra::emu::ErasedByte);
        const auto& d = rig.engine.display();
        QCOMPARE(d.Label2, (LabelState{QStringLiteral("finished"), LinkEngine::LabelLime}));
        QCOMPARE(d.umessage.text, QString::fromLatin1(blockEntry(kind, block)->downloadCaption));
        QCOMPARE(d.Label1.text, QString::number(frames - 1));
    }

    void singleUpload_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("block");
        QTest::addColumn<QList<int>>("addresses");
        auto every8 = [](int last) {
            QList<int> r;
            for (int a = 0; a <= last; a += 8)
                r << a;
            return r;
        };
        QTest::newRow("mcn keys") << 0 << 1 << QList{0, 8, 16};
        QTest::newRow("mcn unit config") << 0 << 2 << QList{0, 8};
        QTest::newRow("mcn port B") << 0 << 4 << QList{0, 8};
        QTest::newRow("mcn cues") << 0 << 5 << every8(192);
        QTest::newRow("mcn loops") << 0 << 6 << every8(160);
        QTest::newRow("mcn gpo has no upload") << 0 << 7 << QList<int>();
        QTest::newRow("mcn macros have no upload") << 0 << 8 << QList<int>();
        QTest::newRow("mon keys") << 1 << 1 << QList{0, 8, 16};
        QTest::newRow("mon formats") << 1 << 4 << QList{0, 8};
        QTest::newRow("mon pec/dir") << 1 << 5 << QList{0, 8};
    }
    void singleUpload()
    {
        QFETCH(int, kind);
        QFETCH(int, block);
        QFETCH(QList<int>, addresses);
        Rig rig(kind);
        QSignalSpy keys(&rig.engine, &LinkEngine::keyBlockUploaded);
        rig.start(block, 10);
        QCOMPARE(rig.runToIdle(100), addresses.isEmpty() ? 1 : int(addresses.size()) + 1);
        QList<QByteArray> expected;
        for (int a : addresses)
            expected << readRequestFrame(std::uint8_t(block), std::uint8_t(a));
        QCOMPARE(rig.channel.sent, expected);
        QCOMPARE(keys.size(), block == 1 ? 1 : 0);
    }

    void uploadFillsAllSixteenConfigBytes()
    {
        Rig rig(0);
        for (int a = 0; a < 16; ++a)
            rig.channel.eeprom.store(2, a, std::uint8_t(0x40 + a));
        rig.start(2, 10);
        rig.runToIdle(10);
        for (int a = 0; a < 16; ++a)
            QCOMPARE(rig.model.McnImage.bytes[std::size_t(mcn::UnitConfig + a)], 0x40 + a);
        QCOMPARE(rig.model.McnImage.bytes[mcn::PortAConfig], rig.imageByte(3, 0));
    }

    void allBlocks_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QList<int>>("blocks");
        // Ticks: one per frame, one to finish each block, one for the step past the last.
        QTest::newRow("mcn download") << 0 << 0 << 475 << 484 << QList{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("mon download") << 1 << 0 << 306 << 312 << QList{1, 2, 3, 4, 5};
        QTest::newRow("mcn upload") << 0 << 10 << 55 << 62 << QList{1, 2, 3, 4, 5, 6};
        QTest::newRow("mon upload") << 1 << 10 << 11 << 17 << QList{1, 2, 3, 4, 5};
    }
    void allBlocks()
    {
        QFETCH(int, kind);
        QFETCH(int, tag);
        QFETCH(int, frames);
        QFETCH(int, ticks);
        QFETCH(QList<int>, blocks);
        Rig rig(kind);
        rig.start(0, tag);
        QCOMPARE(rig.runToIdle(1000), ticks);
        QCOMPARE(rig.channel.sent.size(), frames);
        QList<int> seen;
        for (const QByteArray& f : rig.channel.sent)
            if (seen.isEmpty() || seen.last() != f[2])
                seen << f[2];
        QCOMPARE(seen, blocks);
    }

    void stepsWithoutEntry_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("stepAfterTick");
        QTest::newRow("mcn upload GPO: step 17") << 0 << 7 << 10 << 0;
        QTest::newRow("mcn upload macros: step 18") << 0 << 8 << 10 << 0;
        QTest::newRow("mon download 7") << 1 << 7 << 0 << 0;
        QTest::newRow("mon upload 6: step 16") << 1 << 6 << 10 << 0;
        QTest::newRow("no list item: step -1") << 0 << -1 << 0 << 0;
        QTest::newRow("future kind runs no step") << 2 << 1 << 0 << 1;
    }
    void stepsWithoutEntry()
    {
        QFETCH(int, kind);
        QFETCH(int, index);
        QFETCH(int, tag);
        QFETCH(int, stepAfterTick);
        Rig rig(kind);
        rig.start(index, tag);
        rig.tick();
        QCOMPARE(rig.engine.step(), stepAfterTick);
        QVERIFY(rig.channel.sent.isEmpty());
    }

    void noAnswerAbortsAfterTwentyTicks()
    {
        Rig rig(0);
        rig.channel.keyboard.reset();
        rig.start(1, 0);
        rig.tick(); // sends address 0
        for (int t = 0; t < LinkEngine::ReplyTicks - 1; ++t)
            rig.tick();
        QCOMPARE(rig.engine.step(), 1);
        QVERIFY(rig.engine.display().umessage.text != QLatin1String("Abort No Coms"));
        rig.tick();
        QCOMPARE(rig.engine.step(), 0);
        QCOMPARE(rig.engine.display().umessage,
                 (LabelState{QStringLiteral("Abort No Coms"), LinkEngine::LabelRed}));
        QCOMPARE(rig.channel.sent.size(), 1);
    }

    void noPortFinishesAfter23Ticks()
    {
        Rig rig(0, false);
        QCOMPARE(rig.engine.display().portCaption, QStringLiteral("Com?"));
        rig.start(1, 0);
        for (int t = 0; t < 22; ++t)
            rig.tick();
        QCOMPARE(rig.engine.display().Label2.text, QStringLiteral("started"));
        rig.tick();
        QCOMPARE(rig.engine.display().Label2.text, QStringLiteral("finished"));
        QCOMPARE(rig.engine.step(), 0);
        QVERIFY(rig.channel.sent.isEmpty());
    }

    void buttonDuringTransferDoesNotRestart()
    {
        Rig rig(0);
        rig.start(5, 0);
        for (int t = 0; t < 3; ++t)
            rig.tick();
        rig.model.LayoutChanged = false;
        QSignalSpy cleared(&rig.engine, &LinkEngine::traceCleared);
        rig.engine.setComboIndex(1);
        rig.engine.LoadkeyClick(10);
        QCOMPARE(cleared.size(), 1);
        QVERIFY(rig.model.LayoutChanged);
        QCOMPARE(rig.engine.step(), 5);
        QCOMPARE(rig.engine.counter(), 3);
        QVERIFY(!rig.engine.display().umessage.colour.has_value());
        rig.tick();
        QCOMPARE(rig.channel.sent.last(), writeRequestFrame(5, 3, rig.imageByte(5, 3)));
    }

    void receiveEvent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("countdown");
        QTest::addColumn<int>("purges");
        QTest::addColumn<QString>("message");
        const QByteArray ack = hex("100111");
        QTest::newRow("acknowledgement is not a reply") << ack << 0 << 0 << "Set Serial-A to Input";
        QTest::newRow("bad checksum: still waiting") << hex("100112") << 20 << 0 << "";
        QTest::newRow("30 bytes handled") << ack.repeated(10) << 0 << 0 << "Set Serial-A to Input";
        QTest::newRow("31 bytes purged") << ack.repeated(10) + hex("00") << 20 << 1 << "";
    }
    void receiveEvent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, countdown);
        QFETCH(int, purges);
        QFETCH(QString, message);
        Rig rig(0);
        rig.channel.keyboard.reset();
        rig.engine.sendkey(0x2A);
        QCOMPARE(rig.engine.countdown(), 20);
        rig.channel.receivePurges = 0;
        rig.channel.receive(bytes);
        QCOMPARE(rig.engine.countdown(), countdown);
        QCOMPARE(rig.channel.receivePurges, purges);
        QCOMPARE(rig.engine.display().umessage.text, message);
    }

    void replyPlacedByItsOwnBlock()
    {
        Rig rig(0);
        const auto before = rig.model.McnImage;
        rig.channel.receive(hex("00") + sealFrame(hex("1AB20110A1A2A3A4A5A6A7A8")));
        for (int k = 0; k < 22; ++k)
            QCOMPARE(rig.model.McnImage.keyCode(k), k < 16 ? before.keyCode(k) : 0xA1 + k - 16);
        QCOMPARE(rig.model.McnImage.bytes[26], before.bytes[26]);
    }

    void staleFrameStartDroppedAfterQuietTick()
    {
        Rig rig(0);
        rig.channel.keyboard.reset();
        rig.engine.sendkey(1);
        rig.channel.receive(hex("0F100111")); // 0F announces 18 bytes that never come
        rig.engine.Timer1Timer();
        QCOMPARE(rig.engine.countdown(), 19);
        rig.engine.Timer1Timer();
        QCOMPARE(rig.engine.countdown(), 0);
        QCOMPARE(rig.engine.display().umessage.text, QStringLiteral("Set Serial-A to Input"));
    }

    void writeOutcome_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<Colour>("label1");
        QTest::addColumn<bool>("ready");
        QTest::newRow("all") << int(SerialChannel::WriteResult::All) << LinkEngine::LabelLime
                             << true;
        QTest::newRow("partial") << int(SerialChannel::WriteResult::Partial) << LinkEngine::LabelRed
                                 << true;
        QTest::newRow("error") << int(SerialChannel::WriteResult::Error) << LinkEngine::LabelRed
                               << false;
    }
    void writeOutcome()
    {
        QFETCH(int, result);
        QFETCH(Colour, label1);
        QFETCH(bool, ready);
        Rig rig(0);
        rig.channel.result = SerialChannel::WriteResult(result);
        rig.engine.sendjog(5);
        QCOMPARE(rig.engine.display().Label1.colour, std::optional<Colour>(label1));
        QCOMPARE(rig.engine.portReady(), ready);
        QCOMPARE(rig.engine.countdown(), 20);
        rig.engine.sendjog(0);
        QCOMPARE(rig.channel.sent.size(), ready ? 2 : 1);
    }

    void lostDevice_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("idle") << false;
        QTest::newRow("during a transfer") << true;
    }
    void lostDevice()
    {
        QFETCH(bool, running);
        Rig rig(0);
        if (running) {
            rig.start(5, 0);
            rig.tick();
        }
        rig.channel.isOpen = false;
        rig.channel.onLost();
        QCOMPARE(rig.engine.step(), 0);
        QCOMPARE(rig.engine.display().umessage.text,
                 running ? QStringLiteral("Abort No Coms") : QString());
        const auto sent = rig.channel.sent.size();
        rig.engine.sendkey(1);
        QCOMPARE(rig.channel.sent.size(), sent);
        QCOMPARE(rig.engine.countdown(), 0);
        QVERIFY(rig.engine.tryport());
        rig.engine.sendkey(1);
        QCOMPARE(rig.channel.sent.size(), sent + 1);
    }

    void traceLines()
    {
        Rig rig(0);
        QSignalSpy lines(&rig.engine, &LinkEngine::traceAppended);
        rig.engine.sendkey(0x2A);
        QCOMPARE(lines.size(), 0); // trace hidden
        rig.engine.setTraceVisible(true);
        rig.engine.sendkey(0x2A);
        rig.channel.deliverAnswers(); // acknowledgements are not traced
        const QByteArray reply = sealFrame(hex("1AB201000102030405060708"));
        rig.channel.receive(reply);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0][0].toString(), QStringLiteral(" 01 B8 2A E3"));
        QCOMPARE(lines[1][0].toString(), traceText(reply));
    }

    void setupcomOpensStoredPort()
    {
        Rig rig(0);
        rig.model.Settings.setComPort(7);
        QVERIFY(rig.engine.Setupcom());
        QCOMPARE(rig.channel.number, 7);
        QCOMPARE(rig.engine.display().portCaption, QStringLiteral("Com:7"));
        QVERIFY(rig.engine.portReady());
    }
};

QTEST_GUILESS_MAIN(TestLinkEngine)
#include "tst_link_engine.moc"
