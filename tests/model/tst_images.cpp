#include "model/MacroLabels.h"
#include "model/KeyFaces.h"
#include "model/LayoutData.h"

#include <QTest>

using namespace zeltra;

class TestImages : public QObject {
    Q_OBJECT
private slots:
    void machineDefaults();
    void monitorDefaults();
    void nameLengthNeverRunsPastTheRecord();
    void formatCaption_data();
    void formatCaption();
    void settingsStrings();
    void storeKeyCodes_data();
    void storeKeyCodes();
    void macroKeyCaption();
};

void TestImages::machineDefaults()
{
    const MachineImage img = defaultMachineImage();
    for (std::size_t i = 0; i < mcn::Size; ++i) {
        const bool inFirstFourCues = i >= mcn::Cues && i < mcn::Cues + 4 * mcn::CueSize &&
                                     (i - mcn::Cues) % mcn::CueSize < 4;
        QCOMPARE(img.bytes[i], std::uint8_t(inFirstFourCues ? 0x01 : 0x00));
    }
}

void TestImages::monitorDefaults()
{
    const MonitorImage img = defaultMonitorImage();
    QCOMPARE(img.kbdType(), 0);
    QCOMPARE(img.formatName(0), QStringLiteral("StereoA4"));
    QCOMPARE(img.formatName(2), QStringLiteral("5.1   B "));
    QCOMPARE(img.formatName(15), QStringLiteral("StereoA4"));
    const std::size_t r1 = MonitorImage::formatOffset(1);
    QCOMPARE(img.bytes[r1], std::uint8_t(8));
    const std::uint8_t lcrs[8] = {0x00, 0x09, 0x17, 0xF3, 0x00, 0x00, 0x1E, 0x00};
    QVERIFY(std::equal(lcrs, lcrs + 8, img.bytes.begin() + std::ptrdiff_t(r1 + 9)));
    QCOMPARE(img.bytes[MonitorImage::formatOffset(14) + 10], std::uint8_t(0x04));
    for (int j = 0; j < mon::FormatSlots; ++j)
        QCOMPARE(img.formatAssign(j), std::uint8_t(j));
    QCOMPARE(img.bytes[mon::OutputTrim], std::uint8_t(0));
}

void TestImages::nameLengthNeverRunsPastTheRecord()
{
    MonitorImage img = defaultMonitorImage();
    img.bytes[MonitorImage::formatOffset(3)] = 0xFF;
    QCOMPARE(img.formatName(3), QStringLiteral("StereoC1"));
    img.bytes[MonitorImage::formatOffset(15)] = 0xFF; // the last record borders OutputTrim
    QCOMPARE(img.formatName(15).size(), 8);
}

void TestImages::formatCaption_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("shifted");
    QTest::addColumn<int>("assignSlot");
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("caption");
    QTest::newRow("user-a") << 48 << false << 0 << 2 << "5.1   B ";
    QTest::newRow("user-a shifted") << 48 << true << 8 << 1 << "LCRS    ";
    QTest::newRow("user-h shifted") << 55 << true << 15 << 3 << "StereoC1";
    QTest::newRow("user-j unshifted uses slot 9") << 57 << false << 9 << 1 << "LCRS    ";
    QTest::newRow("user-j shifted keeps slot 9") << 57 << true << 9 << 1 << "LCRS    ";
    QTest::newRow("code 63 shifted stays inside") << 63 << true << 15 << 2 << "5.1   B ";
    QTest::newRow("record out of range") << 49 << false << 1 << 200 << "";
    QTest::newRow("no format key") << 47 << false << 0 << 0 << "";
}

void TestImages::formatCaption()
{
    QFETCH(int, code);
    QFETCH(bool, shifted);
    QFETCH(int, assignSlot);
    QFETCH(int, record);
    QFETCH(QString, caption);
    MonitorImage img = defaultMonitorImage();
    img.bytes[mon::FormatAssign + std::size_t(assignSlot)] = std::uint8_t(record);
    const auto got = formatMemoryCaption(img, code, shifted);
    QCOMPARE(got.value_or(QString()), caption);
}

void TestImages::settingsStrings()
{
    SettingsRecord rec;
    const QString folder = QStringLiteral("/tmp/Mischpult Ü/");
    QVERIFY(rec.setLastDir(folder));
    QCOMPARE(rec.lastDir(), folder);
    QCOMPARE(rec.bytes[0], std::uint8_t(QFile::encodeName(folder).size()));
    const QString exact(255, QLatin1Char('a'));
    QVERIFY(rec.setLastFile(exact));
    QCOMPARE(rec.lastFile(), exact);
    QVERIFY(!rec.setLastFile(exact + QLatin1Char('b')));
    QCOMPARE(rec.lastFile(), exact); // refused, not cut
    QVERIFY(!rec.setLastDir(QString(128, QChar(0x00DC)))); // 256 bytes in UTF-8
    QCOMPARE(rec.lastDir(), folder);
    rec.setComPort(-1);
    QCOMPARE(rec.bytes[SettingsRecord::ComPortAt + 3], std::uint8_t(0xFF));
    QCOMPARE(rec.comPort(), -1);
}

void TestImages::storeKeyCodes_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("machine") << 0;
    QTest::newRow("monitor") << 1;
    QTest::newRow("future") << 2;
}

// Key codes live in the image of their kind only; a kind without an image has none.
void TestImages::storeKeyCodes()
{
    QFETCH(int, kind);
    LayoutData m;
    m.initDefaults(QStringLiteral("/opt/zeltra/"));
    m.setKbdType(kind);
    const MachineImage mcnBefore = m.McnImage;
    const MonitorImage monBefore = m.MonImage;
    const std::span<std::uint8_t> image = m.image(kind);
    for (std::size_t i = 0; i < image.size() && i < KeyCount; ++i)
        image[mcn::KeyCodes + i] = std::uint8_t(200 + i);
    QCOMPARE(m.McnImage == mcnBefore, kind != 0);
    QCOMPARE(m.MonImage == monBefore, kind != 1);
    if (kind <= 1) {
        const auto& bytes = kind == 0 ? std::span<const std::uint8_t>(m.McnImage.bytes)
                                      : std::span<const std::uint8_t>(m.MonImage.bytes);
        QCOMPARE(bytes[25], std::uint8_t(221));
        QCOMPARE(bytes[26], std::uint8_t(0)); // the next field is untouched
    } else {
        QVERIFY(image.empty());
    }
}

void TestImages::macroKeyCaption()
{
    MachineImage img = defaultMachineImage();
    QVERIFY(!macros::keyCaption(img, 249)); // slot B empty: the key keeps its caption
    img.bytes[mcn::MacroTable + 1] = 84;
    QCOMPARE(macros::keyCaption(img, 249).value(), QStringLiteral("MB:Locate"));
    QVERIFY(!macros::keyCaption(img, 247));
}

QTEST_GUILESS_MAIN(TestImages)
#include "tst_images.moc"
