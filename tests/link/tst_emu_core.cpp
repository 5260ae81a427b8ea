// The emulator's answers and its EEPROM file form.
#include "EmuCore.h"
#include "link/Frames.h"

#include <QTest>

using namespace zeltra::emu;
using zeltra::link::sealFrame;

namespace {
QByteArray hex(const char* t)
{
    return QByteArray::fromHex(t);
}
} // namespace

class TestEmuCore : public QObject {
    Q_OBJECT
  private slots:
    void answers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer");
        const int normal = int(AnswerMode::Normal);
        const QByteArray ack = hex("100111");
        QTest::newRow("write acknowledged") << normal << hex("03B10200550B") << ack;
        QTest::newRow("key press acknowledged") << normal << hex("01B82AE3") << ack;
        QTest::newRow("jog acknowledged") << normal << hex("21110537") << ack;
        QTest::newRow("read block 1 at 8")
            << normal << hex("02B20108BD")
            << sealFrame(hex("1AB20108") + hex("0809") + hex("FFFFFFFFFFFF"));
        QTest::newRow("read past the page end")
            << normal << hex("02B202FCB2") << sealFrame(hex("1AB202FC") + hex("FCFDFEFF00000000"));
        QTest::newRow("read unknown block")
            << normal << hex("02B21400C8") << sealFrame(hex("1AB21400") + QByteArray(8, '\0'));
        QTest::newRow("silent") << int(AnswerMode::Silent) << hex("02B20108BD") << QByteArray();
        QTest::newRow("ack only: read acknowledged")
            << int(AnswerMode::AckOnly) << hex("02B20108BD") << ack;
        QTest::newRow("wrong address: read at 0 answered for 8")
            << int(AnswerMode::WrongAddress) << hex("02B20100B5")
            << sealFrame(hex("1AB20108") + hex("0809") + hex("FFFFFFFFFFFF"));
        QTest::newRow("wrong address: writes still acknowledged")
            << int(AnswerMode::WrongAddress) << hex("03B10200550B") << ack;
    }

    // Every Nth write is stored with its bits inverted; the answers stay the same.
    void corruption()
    {
        Eeprom eeprom(0x00);
        Corruption every3{3};
        for (int a = 0; a < 9; ++a)
            QCOMPARE(respond(sealFrame(hex("03B103") + char(a) + char(0x40 + a)), eeprom,
                             AnswerMode::Normal, &every3),
                     QList<QByteArray>{ackFrame()});
        for (int a = 0; a < 9; ++a)
            QCOMPARE(eeprom.at(3, a), a % 3 == 2 ? std::uint8_t(~(0x40 + a)) : 0x40 + a);
    }
    void answers()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        Eeprom eeprom;
        eeprom.store(1, 8, 0x08);
        eeprom.store(1, 9, 0x09);
        for (int a = 0xFC; a < 0x100; ++a)
            eeprom.store(2, a, std::uint8_t(a));
        const auto answers = respond(request, eeprom, AnswerMode(mode));
        QCOMPARE(answers.join().toHex(' '), answer.toHex(' '));
    }

    void fileForm()
    {
        Eeprom eeprom(0x00);
        eeprom.store(15, 255, 0xAB);
        eeprom.store(1, 0, 0xCD);
        const QByteArray bytes = eeprom.toBytes();
        QCOMPARE(bytes.size(), 4096);
        QCOMPARE(std::uint8_t(bytes[256]), 0xCD);
        QCOMPARE(std::uint8_t(bytes[4095]), 0xAB);
        QCOMPARE(Eeprom::fromBytes(bytes), std::optional<Eeprom>(eeprom));
        QVERIFY(!Eeprom::fromBytes(bytes.left(4095)));
        QVERIFY(!Eeprom::fromBytes(bytes + 'x'));
        QVERIFY(!eeprom.store(16, 0, 1));
        QVERIFY(!eeprom.store(0, 256, 1));
    }
};

QTEST_GUILESS_MAIN(TestEmuCore)
#include "tst_emu_core.moc"
