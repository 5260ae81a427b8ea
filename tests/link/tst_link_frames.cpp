// Frames the tool sends, byte for byte, and the receive ring's scan.
#include "link/Frames.h"
#include "link/RxRing.h"

#include <QTest>

using namespace zeltra::link;

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}
} // namespace

class TestLinkFrames : public QObject {
    Q_OBJECT
  private slots:
    void goldenFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("key press 2A") << keyPressFrame(0x2A) << hex("01B82AE3");
        QTest::newRow("jog +5") << jogFrame(5) << hex("21110537");
        QTest::newRow("jog -5") << jogFrame(-5) << hex("21210547");
        QTest::newRow("jog 0 stops") << jogFrame(0) << hex("21210042");
        QTest::newRow("jog +100") << jogFrame(100) << hex("21116496");
        QTest::newRow("jog -100") << jogFrame(-100) << hex("212164A6");
        QTest::newRow("jog low 8 bits") << jogFrame(261) << hex("21110537");
        QTest::newRow("read block 1 at 8") << readRequestFrame(1, 8) << hex("02B20108BD");
        QTest::newRow("write 55 block 2 at 0")
            << writeRequestFrame(2, 0, 0x55) << hex("03B10200550B");
        QTest::newRow("write sum wraps") << writeRequestFrame(8, 0xBF, 0xFF) << hex("03B108BFFF7A");
        QTest::newRow("seal cuts to length") << sealFrame(hex("01B82A9999")) << hex("01B82AE3");
    }
    void goldenFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    void traceLines_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("line");
        QTest::newRow("key press") << keyPressFrame(0x2A) << QStringLiteral(" 01 B8 2A E3");
        QTest::newRow("every digit")
            << hex("0123456789ABCDEF") << QStringLiteral(" 01 23 45 67 89 AB CD EF");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void traceLines()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, line);
        QCOMPARE(traceText(frame), line);
    }

    // Chunks arrive one after the other; the ring is scanned after each.
    void ringScan_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<int>("left");
        const QByteArray ack = hex("100111");
        const QByteArray reply = sealFrame(hex("1AB20110") + hex("0102030405060708"));
        QTest::newRow("one frame") << QList{ack} << QList{ack} << 0;
        QTest::newRow("garbage byte skipped") << QList{hex("00") + ack} << QList{ack} << 0;
        QTest::newRow("bad checksum drops one byte")
            << QList{hex("100110") + ack} << QList{ack} << 0;
        QTest::newRow("two frames in one event") << QList{ack + reply} << QList{ack, reply} << 0;
        QTest::newRow("frame in pieces")
            << QList{reply.left(2), reply.mid(2, 5), reply.mid(7)} << QList{reply} << 0;
        QTest::newRow("piece waits for the rest")
            << QList{reply.left(12)} << QList<QByteArray>{} << 12;
        QTest::newRow("longest frame")
            << QList{sealFrame(hex("0F01") + QByteArray(15, '\x22'))}
            << QList{sealFrame(hex("0F01") + QByteArray(15, '\x22'))} << 0;
        QTest::newRow("overflow keeps the newest bytes")
            << QList{QByteArray(27, '\x80') + reply} << QList{reply} << 0;
    }
    void ringScan()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(int, left);
        RxRing ring;
        QList<QByteArray> seen;
        for (const QByteArray& chunk : chunks) {
            for (char c : chunk)
                ring.push(std::uint8_t(c));
            ring.scan([&](const QByteArray& f) { seen << f; });
        }
        QCOMPARE(seen, frames);
        QCOMPARE(ring.available(), left);
    }
};

QTEST_GUILESS_MAIN(TestLinkFrames)
#include "tst_link_frames.moc"
