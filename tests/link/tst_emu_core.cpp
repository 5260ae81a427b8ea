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

    void writeStores_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("stored");
        QTest::newRow("normal") << int(AnswerMode::Normal) << true;
        QTest::newRow("ack only still stores") << int(AnswerMode::AckOnly) << true;
        QTest::newRow("silent stores nothing") << int(AnswerMode::Silent) << false;
    }
    void writeStores()
    {
        QFETCH(int, mode);
        QFETCH(bool, stored);
        Eeprom eeprom;
        respond(hex("03B10200550B"), eeprom, AnswerMode(mode));
        QCOMPARE(eeprom.at(2, 0), stored ? 0x55 : ErasedByte);
        QCOMPARE(eeprom.at(2, 1), ErasedByte);
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

    void hexWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one") << "0F" << true << hex("0F");
        QTest::newRow("blanks") << "0f 00 a1" << true << hex("0F00A1");
        QTest::newRow("odd digits") << "0F0" << false << QByteArray();
        QTest::newRow("not hex") << "0G" << false << QByteArray();
        QTest::newRow("sign") << "+1" << false << QByteArray();
    }
    void hexWords()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);
        const auto parsed = parseHexBytes(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, bytes);
    }

    void pieces()
    {
        const QByteArray reply = hex("1AB2010001020304050607080D");
        QCOMPARE(splitBytes(reply, 0), QList<QByteArray>{reply});
        QCOMPARE(splitBytes(reply, 5),
                 (QList<QByteArray>{reply.left(5), reply.mid(5, 5), reply.mid(10)}));
        QCOMPARE(splitBytes(reply, 13), QList<QByteArray>{reply});
    }
};

QTEST_GUILESS_MAIN(TestEmuCore)
#include "tst_emu_core.moc"
