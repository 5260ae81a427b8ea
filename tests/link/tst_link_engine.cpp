// The transfer steps tick by tick against a fake channel answered by the emulator's core.
#include "FakeChannel.h"
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "link/LinkEngine.h"
#include "model/LayoutData.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace zeltra;
using namespace zeltra::link;

namespace {

struct Rig {
    LayoutData model;
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
    // Frames per block: writes at 0 .. written - 1, reads at 0, 8, .. up to the upload size.
    void singleBlock_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QList<int>>("addresses");
        auto step = [](int last, int by) {
            QList<int> r;
            for (int a = 0; a <= last; a += by)
                r << a;
            return r;
        };
        const int mcn[] = {22, 15, 15, 15, 192, 160, 48, 8};
        for (int b = 1; b <= 8; ++b)
            QTest::addRow("mcn download %d", b) << 0 << b << 0 << step(mcn[b - 1] - 1, 1);
        const int mon[] = {21, 15, 15, 240, 15};
        for (int b = 1; b <= 5; ++b)
            QTest::addRow("mon download %d", b) << 1 << b << 0 << step(mon[b - 1] - 1, 1);
        QTest::newRow("mcn upload keys") << 0 << 1 << 10 << QList{0, 8, 16};
        QTest::newRow("mcn upload unit config") << 0 << 2 << 10 << QList{0, 8};
        QTest::newRow("mcn upload port B") << 0 << 4 << 10 << QList{0, 8};
        QTest::newRow("mcn upload cues") << 0 << 5 << 10 << step(192, 8);
        QTest::newRow("mcn upload loops") << 0 << 6 << 10 << step(160, 8);
        QTest::newRow("mcn upload gpo: none") << 0 << 7 << 10 << QList<int>();
        QTest::newRow("mcn upload macros: none") << 0 << 8 << 10 << QList<int>();
        QTest::newRow("mon upload keys") << 1 << 1 << 10 << QList{0, 8, 16};
        QTest::newRow("mon upload formats") << 1 << 4 << 10 << QList{0, 8};
        QTest::newRow("mon upload pec/dir") << 1 << 5 << 10 << QList{0, 8};
    }
    void singleBlock()
    {
        QFETCH(int, kind);
        QFETCH(int, block);
        QFETCH(int, tag);
        QFETCH(QList<int>, addresses);
        Rig rig(kind);
        QSignalSpy keys(&rig.engine, &LinkEngine::keyBlockUploaded);
        rig.start(block, tag);
        QCOMPARE(rig.runToIdle(1000), addresses.isEmpty() ? 1 : int(addresses.size()) + 1);
        QList<QByteArray> expected;
        for (int a : addresses)
            expected << (tag == 0 ? writeRequestFrame(block, a, rig.imageByte(block, a))
                                  : readRequestFrame(block, a));
        QCOMPARE(rig.channel.sent, expected);
        QCOMPARE(keys.size(), tag == 10 && block == 1 ? 1 : 0);
        if (addresses.isEmpty())
            return;
        const auto& d = rig.engine.display();
        QCOMPARE(d.Label2, (LabelState{QStringLiteral("finished"), LinkEngine::LabelLime}));
        QCOMPARE(d.Label1.text, QString::number(addresses.last()));
        if (tag == 0)
            QCOMPARE(rig.channel.eeprom.at(block, addresses.last() + 1), zeltra::emu::ErasedByte);
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

    // Verify compares only what a download writes, by the download's own address mapping.
    void verifyCountsWrittenBytesOnly_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("differ");
        QTest::newRow("mcn key 22 is written") << 0 << 1 << 21 << 1;
        QTest::newRow("mon key 22 is not written") << 1 << 1 << 21 << 0;
        QTest::newRow("mon key 21") << 1 << 1 << 20 << 1;
        QTest::newRow("mcn unit config byte 16 is not written") << 0 << 2 << 15 << 0;
        QTest::newRow("mcn last cue byte") << 0 << 5 << 191 << 1;
        QTest::newRow("mcn macros") << 0 << 8 << 7 << 1;
        QTest::newRow("mon format row 6") << 1 << 4 << 100 << 1;
        QTest::newRow("mon format row 16 is not written") << 1 << 4 << 245 << 0;
        QTest::newRow("mon dim byte 16 is not written") << 1 << 5 << 15 << 0;
    }
    void verifyCountsWrittenBytesOnly()
    {
        QFETCH(int, kind);
        QFETCH(int, block);
        QFETCH(int, address);
        QFETCH(int, differ);
        Rig rig(kind);
        rig.start(block, DownloadBase);
        QVERIFY(rig.runToIdle(1000) > 0);
        rig.channel.eeprom.store(block, address, std::uint8_t(~rig.channel.eeprom.at(block, address)));
        const auto mcn = rig.model.McnImage;
        const auto mon = rig.model.MonImage;
        QSignalSpy differences(&rig.engine, &LinkEngine::difference);
        rig.start(block, VerifyBase);
        QVERIFY(rig.runToIdle(1000) > 0);
        QCOMPARE(int(differences.size()), differ);
        QCOMPARE(rig.engine.differences(), differ);
        QCOMPARE(rig.engine.display().Label2,
                 differ ? (LabelState{QStringLiteral("1 bytes differ"), LinkEngine::LabelRed})
                        : (LabelState{QStringLiteral("verified"), LinkEngine::LabelLime}));
        if (differ)
            QCOMPARE(differences.first(), (QVariantList{block, address, int(rig.imageByte(block, address)),
                                                        int(std::uint8_t(~rig.imageByte(block, address)))}));
        QVERIFY(rig.model.McnImage.bytes == mcn.bytes);
        QVERIFY(rig.model.MonImage.bytes == mon.bytes);
    }

    // Without a port nothing is read back: a verify never says "verified".
    void withoutPortAbortsAtOnce_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("tag");
        QTest::newRow("download one block") << 1 << DownloadBase;
        QTest::newRow("download all") << 0 << DownloadBase;
        QTest::newRow("upload") << 1 << UploadBase;
        QTest::newRow("verify all") << 0 << VerifyBase;
    }

    // Nothing can reach the keyboard: the transfer never ends "finished" or "verified".
    void withoutPortAbortsAtOnce()
    {
        QFETCH(int, index);
        QFETCH(int, tag);
        Rig rig(0, false);
        QCOMPARE(rig.engine.display().portCaption, QStringLiteral("Com?"));
        QSignalSpy ends(&rig.engine, &LinkEngine::transferEnded);
        rig.start(index, tag);
        rig.tick();
        QCOMPARE(rig.engine.step(), 0);
        QCOMPARE(rig.engine.display().umessage,
                 (LabelState{QStringLiteral("Abort No Coms"), LinkEngine::LabelRed}));
        QVERIFY(rig.engine.display().Label2.text != QStringLiteral("finished"));
        QCOMPARE(ends.size(), 1);
        QCOMPARE(ends.first().first().value<TransferOutcome>(), TransferOutcome::NoAnswer);
        QVERIFY(rig.channel.sent.isEmpty());
    }

    void buttonDuringTransferDoesNotRestart()
    {
        Rig rig(0);
        rig.start(5, 0);
        for (int t = 0; t < 3; ++t)
            rig.tick();
        QSignalSpy cleared(&rig.engine, &LinkEngine::traceCleared);
        rig.engine.setComboIndex(1);
        rig.engine.LoadkeyClick(10);
        QCOMPARE(cleared.size(), 1);
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
        rig.channel.keyboard.reset();
        const auto before = rig.model.McnImage;
        rig.engine.sendcmd(readRequestFrame(1, 0x10));
        rig.channel.receive(hex("00") + sealFrame(hex("1AB20110A1A2A3A4A5A6A7A8")));
        QCOMPARE(rig.engine.countdown(), 0);
        for (int k = 0; k < 22; ++k)
            QCOMPARE(rig.model.McnImage.keyCode(k), k < 16 ? before.keyCode(k) : 0xA1 + k - 16);
        QCOMPARE(rig.model.McnImage.bytes[26], before.bytes[26]);
    }

    // Noise on the line between real replies: a frame made of noise and the start of a real
    // reply can pass the 8-bit checksum. Whatever happens, no byte is ever placed wrongly: an
    // upload either ends with every byte right, or stops visibly before "finished".
    void noisyUploadsNeverPlaceAWrongByte_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("maxNoise");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("strays"); // 0 none, 1 for other addresses, 2 for the one asked
        QTest::newRow("machine, 0 to 2 noise bytes") << 1u << 2 << 0 << 0;
        QTest::newRow("machine, 0 to 2 noise bytes, other seed") << 7u << 2 << 0 << 0;
        QTest::newRow("machine, 0 to 6 noise bytes") << 3u << 6 << 0 << 0;
        QTest::newRow("monitor, 0 to 2 noise bytes") << 5u << 2 << 1 << 0;
        QTest::newRow("monitor, 0 to 12 noise bytes") << 11u << 12 << 1 << 0;
        QTest::newRow("machine, replies for other addresses") << 13u << 2 << 0 << 1;
        QTest::newRow("monitor, replies for other addresses") << 17u << 2 << 1 << 1;
        QTest::newRow("machine, false replies for the address asked") << 19u << 2 << 0 << 2;
    }
    void noisyUploadsNeverPlaceAWrongByte()
    {
        QFETCH(quint32, seed);
        QFETCH(int, maxNoise);
        QFETCH(int, kind);
        QFETCH(int, strays);
        constexpr int Uploads = 200;
        QRandomGenerator random(seed);
        zeltra::emu::Eeprom eeprom;
        for (auto& block : eeprom.blocks)
            for (auto& b : block)
                b = std::uint8_t(random.bounded(10) << 4 | random.bounded(10)); // BCD: all placed

        auto upload = [&](int noise, TransferOutcome& outcome) {
            Rig rig(kind);
            rig.channel.eeprom = eeprom;
            outcome = TransferOutcome::NoAnswer;
            QObject::connect(&rig.engine, &LinkEngine::transferEnded,
                             [&](TransferOutcome o) { outcome = o; });
            rig.start(0, UploadBase);
            for (int t = 0; t < 5000 && rig.engine.step() != 0; ++t) {
                rig.engine.Timer1Timer();
                if (rig.channel.answers.isEmpty())
                    continue;
                QByteArray line;
                const int n = noise ? int(random.bounded(noise + 1)) : 0;
                for (int i = 0; i < n; ++i)
                    line += char(random.bounded(256));
                if (noise && strays && random.bounded(2)) {
                    // A well-formed reply with random data for a block or address not asked.
                    const QByteArray asked = rig.channel.sent.last();
                    QByteArray stray = hex("1AB2") + asked.mid(2, 2);
                    const int at = 2 + int(random.bounded(2)); // the block or the address
                    const int by = at == 2 ? 1 + int(random.bounded(8)) : 8 + 8 * int(random.bounded(8));
                    if (strays == 1)
                        stray[at] = char(asked[at] + by);
                    for (int i = 0; i < ReplyDataBytes; ++i)
                        stray += char(random.bounded(256));
                    line += sealFrame(stray);
                }
                rig.channel.answers.prepend(line);
                rig.channel.deliverAnswers();
            }
            return std::pair{rig.model.McnImage, rig.model.MonImage};
        };
        TransferOutcome outcome{};
        const auto clean = upload(0, outcome);
        QCOMPARE(outcome, TransferOutcome::Finished);
        const auto untouched = Rig(kind);
        int finished = 0;
        for (int run = 0; run < Uploads; ++run) {
            const auto [mcn, mon] = upload(maxNoise, outcome);
            auto check = [&](const auto& got, const auto& right, const auto& before) {
                for (std::size_t i = 0; i < got.bytes.size(); ++i)
                    QVERIFY2(got.bytes[i] == right.bytes[i] || got.bytes[i] == before.bytes[i],
                             qPrintable(QStringLiteral("run %1 offset %2").arg(run).arg(i)));
                if (outcome == TransferOutcome::Finished)
                    QVERIFY(got.bytes == right.bytes);
            };
            check(mcn, clean.first, untouched.model.McnImage);
            check(mon, clean.second, untouched.model.MonImage);
            if (QTest::currentTestFailed())
                return;
            finished += outcome == TransferOutcome::Finished;
            if (outcome != TransferOutcome::Finished)
                QVERIFY(outcome == TransferOutcome::NoAnswer ||
                        outcome == TransferOutcome::NotTakingCommands ||
                        outcome == TransferOutcome::OtherAddress);
        }
        QVERIFY2(strays == 2 || finished > Uploads / 4, qPrintable(QString::number(finished)));
    }

    void staleFrameStartDroppedAfterQuietTick()
    {
        Rig rig(0);
        rig.channel.keyboard.reset();
        rig.engine.sendkey(1);
        rig.channel.receive(hex("1A100111")); // 1A announces 13 bytes that never come
        for (int t = 0; t < LinkEngine::StallTicks; ++t)
            rig.engine.Timer1Timer(); // a slow line may pause this long inside a frame
        QCOMPARE(rig.engine.countdown(), LinkEngine::ReplyTicks - LinkEngine::StallTicks);
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
};

QTEST_GUILESS_MAIN(TestLinkEngine)
#include "tst_link_engine.moc"
