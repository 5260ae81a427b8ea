#include "model/Timecode.h"

#include <QTest>

using zeltra::timecode::Bcd;

class TstTimecode : public QObject {
    Q_OBJECT
private slots:
    void bothWays_data();
    void bothWays();
    void fromText_data();
    void fromText();
    void everyDigitRoundTrips();
};

void TstTimecode::bothWays_data()
{
    QTest::addColumn<Bcd>("bcd");
    QTest::addColumn<QString>("text");
    QTest::newRow("01 02 03 04") << Bcd{0x01, 0x02, 0x03, 0x04} << "01:02:03:04";
    QTest::newRow("ten hours") << Bcd{0x10, 0x00, 0x00, 0x00} << "10:00:00:00";
    QTest::newRow("99 minutes kept") << Bcd{0x00, 0x99, 0x00, 0x00} << "00:99:00:00";
    QTest::newRow("all nines") << Bcd{0x99, 0x99, 0x99, 0x99} << "99:99:99:99";
}

void TstTimecode::bothWays()
{
    QFETCH(Bcd, bcd);
    QFETCH(QString, text);
    QCOMPARE(zeltra::timecode::toText(bcd), text);
    QCOMPARE(zeltra::timecode::fromText(text), bcd);
}

void TstTimecode::fromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Bcd>("bcd");
    QTest::newRow("blank edit") << "  :  :  :  " << Bcd{0, 0, 0, 0};
    QTest::newRow("unfilled mask positions") << "1_:__:3_:_4" << Bcd{0x10, 0x00, 0x30, 0x04};
    QTest::newRow("spaces as zero") << "1 :2 : 3: 4" << Bcd{0x10, 0x20, 0x03, 0x04};
    QTest::newRow("short text") << "12:34" << Bcd{0x12, 0x34, 0, 0};
    QTest::newRow("empty") << "" << Bcd{0, 0, 0, 0};
    QTest::newRow("letters never above nine") << "AB:CD:EF:??" << Bcd{0, 0, 0, 0};
    QTest::newRow("longer text cut at 11") << "01:02:03:0456" << Bcd{1, 2, 3, 4};
}

void TstTimecode::fromText()
{
    QFETCH(QString, text);
    QFETCH(Bcd, bcd);
    QCOMPARE(zeltra::timecode::fromText(text), bcd);
}

void TstTimecode::everyDigitRoundTrips()
{
    for (int hi = 0; hi <= 9; ++hi)
        for (int lo = 0; lo <= 9; ++lo) {
            const auto b = std::uint8_t(hi * 16 + lo);
            const Bcd bcd{b, b, b, b};
            QCOMPARE(zeltra::timecode::fromText(zeltra::timecode::toText(bcd)), bcd);
        }
}

QTEST_GUILESS_MAIN(TstTimecode)
#include "tst_timecode.moc"
