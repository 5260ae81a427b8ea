// Where each block's bytes come from on download and where a read reply puts them.
#include "link/BlockTables.h"
#include "link/Frames.h"

#include <QTest>

using namespace zeltra;
using namespace zeltra::link;

using Samples = QList<QPair<int, int>>; // address -> image offset

namespace {

template <class Image> Image patterned()
{
    Image image;
    for (std::size_t i = 0; i < image.bytes.size(); ++i)
        image.bytes[i] = std::uint8_t(i * 7 + 3);
    return image;
}

QByteArray reply(int block, int address, const QByteArray& data)
{
    return sealFrame(QByteArray::fromHex("1AB2") + char(block) + char(address) + data);
}

QList<int> range(int from, int count, QList<int> tail = {})
{
    QList<int> r;
    for (int i = 0; i < count; ++i)
        r << from + i;
    return r + tail;
}

const QList<int> none(8, -1);

} // namespace

class TestLinkBlocks : public QObject {
    Q_OBJECT
  private slots:
    void downloadSource_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("written");
        QTest::addColumn<Samples>("samples");
        QTest::newRow("mcn keys") << 0 << 1 << 22 << Samples{{0, 4}, {21, 25}};
        QTest::newRow("mcn unit config") << 0 << 2 << 15 << Samples{{0, 26}, {14, 40}};
        QTest::newRow("mcn port A") << 0 << 3 << 15 << Samples{{0, 42}, {14, 56}};
        QTest::newRow("mcn port B") << 0 << 4 << 15 << Samples{{0, 58}, {14, 72}};
        QTest::newRow("mcn cues") << 0 << 5 << 192 << Samples{{0, 74}, {191, 265}};
        QTest::newRow("mcn loops") << 0 << 6 << 160 << Samples{{0, 266}, {159, 425}};
        QTest::newRow("mcn gpo") << 0 << 7 << 48 << Samples{{0, 426}, {47, 473}};
        QTest::newRow("mcn macros") << 0 << 8 << 8 << Samples{{0, 474}, {7, 481}};
        QTest::newRow("mon keys") << 1 << 1 << 21 << Samples{{0, 4}, {20, 24}};
        QTest::newRow("mon unit config") << 1 << 2 << 15 << Samples{{0, 26}, {14, 40}};
        QTest::newRow("mon format assign") << 1 << 3 << 15 << Samples{{0, 42}, {14, 56}};
        QTest::newRow("mon formats")
            << 1 << 4 << 240 << Samples{{0, 59}, {7, 66}, {8, 67}, {15, 74}, {16, 76}, {239, 312}};
        QTest::newRow("mon pec/dir") << 1 << 5 << 15 << Samples{{0, 346}, {14, 360}};
    }
    void downloadSource()
    {
        QFETCH(int, kind);
        QFETCH(int, block);
        QFETCH(int, written);
        QFETCH(Samples, samples);
        QCOMPARE(blockEntry(kind, block)->written, written);
        const auto mcn = patterned<MachineImage>();
        const auto mon = patterned<MonitorImage>();
        auto source = [&](int address) {
            return kind == 0 ? downloadByte(mcn, block, address)
                             : downloadByte(mon, block, address);
        };
        for (const auto& [address, offset] : samples)
            QCOMPARE(int(source(address).value()), int(std::uint8_t(offset * 7 + 3)));
        QVERIFY(!source(written).has_value());
        QVERIFY(!source(-1).has_value());
    }

    void blockLists()
    {
        QCOMPARE(blockListItems(0).value(),
                 QStringList({"All", "Keyboard", "Unit Config", "Port A Config", "Port B Config",
                              "Locates", "Loops", "GPO TC", "Zq Macros"}));
        QCOMPARE(blockListItems(1).value(),
                 QStringList({"All", "Keyboard", "Unit Config", "Format Assign", "Monitor Formats",
                              "Dim + Other"}));
        QVERIFY(!blockListItems(2).has_value());
    }

    // targets[i]: image offset that reply data byte i lands on, -1 when it is dropped.
    void placement_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QList<int>>("targets");
        const QByteArray d = QByteArray::fromHex("0102030405060708");
        const QByteArray bcd = QByteArray::fromHex("1234567890012345");
        QTest::newRow("mcn keys at 16: six stored")
            << 0 << reply(1, 16, d) << range(20, 6, {-1, -1});
        QTest::newRow("mcn unit config at 8: all sixteen") << 0 << reply(2, 8, d) << range(34, 8);
        QTest::newRow("mcn port B at 0") << 0 << reply(4, 0, d) << range(58, 8);
        QTest::newRow("mcn cues at 0") << 0 << reply(5, 0, bcd) << range(74, 8);
        QTest::newRow("mcn cue not BCD dropped")
            << 0 << reply(5, 0, QByteArray::fromHex("1A2345F9FFA01234"))
            << QList<int>{-1, 75, 76, -1, 78, 79, 80, 81};
        QTest::newRow("mcn cues at 184, last cue") << 0 << reply(5, 184, bcd) << range(258, 8);
        QTest::newRow("mcn cues at 192 past the end") << 0 << reply(5, 192, bcd) << none;
        QTest::newRow("mcn loops at 152") << 0 << reply(6, 152, d) << range(418, 8);
        QTest::newRow("mcn loops at 160 past the end") << 0 << reply(6, 160, d) << none;
        QTest::newRow("mcn gpo not read back") << 0 << reply(7, 0, bcd) << none;
        QTest::newRow("mcn macros not read back") << 0 << reply(8, 0, d) << none;
        QTest::newRow("mcn unknown block") << 0 << reply(9, 0, d) << none;
        QTest::newRow("mcn short reply ignored")
            << 0 << sealFrame(QByteArray::fromHex("16B20100010203")) << none;
        QTest::newRow("mon keys at 16: key22 too")
            << 1 << reply(1, 16, d) << range(20, 6, {-1, -1});
        QTest::newRow("mon format assign index checked")
            << 1 << reply(3, 8, QByteArray::fromHex("010F10FF02030405"))
            << QList<int>{50, 51, -1, -1, 54, 55, 56, 57};
        QTest::newRow("mon format names of record 0") << 1 << reply(4, 0, d) << range(59, 8);
        QTest::newRow("mon format data of record 0") << 1 << reply(4, 8, d) << range(67, 8);
        QTest::newRow("mon format row 1 skips length byte") << 1 << reply(4, 16, d) << range(76, 8);
        QTest::newRow("mon format record 14 data") << 1 << reply(4, 232, d) << range(305, 8);
        QTest::newRow("mon format record 15 not sent") << 1 << reply(4, 240, d) << none;
        QTest::newRow("mon pec/dir page 0") << 1 << reply(5, 0, d) << range(346, 8);
        QTest::newRow("mon pec/dir page 1") << 1 << reply(5, 1, d) << range(354, 8);
        QTest::newRow("mon pec/dir address 8") << 1 << reply(5, 8, d) << range(354, 8);
        QTest::newRow("mon pec/dir page 2 ignored") << 1 << reply(5, 2, d) << none;
        QTest::newRow("mon unknown block") << 1 << reply(6, 0, d) << none;
    }
    void placement()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, frame);
        QFETCH(QList<int>, targets);
        auto check = [&](auto image) {
            image.bytes.fill(0x11);
            auto expected = image;
            int stores = 0;
            for (int i = 0; i < 8; ++i) {
                if (targets[i] >= 0) {
                    expected.bytes[std::size_t(targets[i])] = std::uint8_t(frame[4 + i]);
                    ++stores;
                }
            }
            QCOMPARE(placeReply(image, frame), stores);
            for (std::size_t i = 0; i < image.bytes.size(); ++i)
                QVERIFY2(image.bytes[i] == expected.bytes[i], qPrintable(QString::number(i)));
        };
        if (kind == 0)
            check(MachineImage{});
        else
            check(MonitorImage{});
    }
};

QTEST_GUILESS_MAIN(TestLinkBlocks)
#include "tst_link_blocks.moc"
