#include "editing/FormatEdit.h"
#include "editing/FormatPresets.h"
#include "model/Levels.h"

#include <QRandomGenerator>
#include <QTest>

using namespace zeltra;
using namespace zeltra::formats;

namespace {
QByteArray hex(const RecordBytes& r) { return QByteArray(reinterpret_cast<const char*>(r.data()), RecordSize).toHex(' '); }
QByteArray dataHex(const RecordBytes& r) { return hex(r).mid(9 * 3); }
QByteArray nameOf(const RecordBytes& r) { return QByteArray(reinterpret_cast<const char*>(r.data() + 1), 8); }

// A record of random bytes that the editor can show as it is: name length 8, and a
// multichannel IMAX format with its sub-woofer on the low-passed sum.
RecordBytes randomRecord(QRandomGenerator& rng)
{
    RecordBytes r{};
    for (auto& b : r)
        b = std::uint8_t(rng.bounded(256));
    r[rec::NameLength] = 8;
    const bool multiImax = (r[rec::Source] & 0x88) == 0x80;
    if (multiImax)
        r[rec::Layout] |= 0x30;
    return r;
}

// Runs "name:value" steps on the editor.
void runSteps(FormatEdit& e, const QString& steps)
{
    for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString what = step.section(QLatin1Char(':'), 0, 0);
        const int v = step.section(QLatin1Char(':'), 1, 1).toInt();
        if (what == QLatin1String("source")) e.chooseSource(v);
        else if (what == QLatin1String("imax")) e.setImax(v);
        else if (what == QLatin1String("tv")) e.setTv(v);
        else if (what == QLatin1String("pair")) e.chooseStereoPair(v);
        else if (what == QLatin1String("type")) e.chooseInputType(v);
        else if (what == QLatin1String("surround")) e.chooseSurround(v);
        else if (what == QLatin1String("preset")) e.choosePreset(v);
        else if (what == QLatin1String("gain")) e.chooseGain(v);
        else QFAIL(qPrintable(step));
    }
}
} // namespace

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void presets_data();
    void presets();
    void presetKeepsInputTrimsAndSpare();
    void openThenOkRewritesTheSameBytes_data();
    void openThenOkRewritesTheSameBytes();
    void nameRule_data();
    void nameRule();
    void nameEditTakes_data();
    void nameEditTakes();
    void inputCaptions_data();
    void inputCaptions();
    void reactions_data();
    void reactions();
    void levelText_data();
    void levelText();
    void gainSteps();
    void gainUses_data();
    void gainUses();
};

void TestFormats::presets_data()
{
    QTest::addColumn<int>("preset");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("bytes"); // 9..16
    QTest::newRow("Mono") << 0 << QByteArray("Mono    ") << QByteArray("08 00 01 04 00 00 1e 00");
    QTest::newRow("Stereo") << 1 << QByteArray("Stereo  ") << QByteArray("08 00 03 03 00 00 1e 00");
    QTest::newRow("LCRS") << 2 << QByteArray("LCRS    ") << QByteArray("30 09 17 f7 00 00 1e 00");
    QTest::newRow("LCRlre") << 3 << QByteArray("LCRlre  ") << QByteArray("30 8a 3f ff 00 00 1e 00");
    QTest::newRow("Dolby") << 4 << QByteArray("Dolby   ") << QByteArray("30 82 3f ff 00 00 1e 00");
    QTest::newRow("DTS") << 5 << QByteArray("DTS     ") << QByteArray("30 82 3f ff 00 00 1e 00");
    QTest::newRow("DolbyEx") << 6 << QByteArray("DolbyEx ") << QByteArray("30 84 ff ff 00 00 1e 00");
    QTest::newRow("DTS ES") << 7 << QByteArray("DTS ES  ") << QByteArray("30 84 ff ff 00 00 1e 00");
    QTest::newRow("Music") << 8 << QByteArray("Music   ") << QByteArray("30 62 33 ff 00 00 1e 00");
    QTest::newRow("SDDS") << 9 << QByteArray("SDDS    ") << QByteArray("70 82 ff ff c0 00 1e 00");
    QTest::newRow("IMAX") << 10 << QByteArray("IMAX    ") << QByteArray("b0 72 ff ff c4 00 1e 00");
    QTest::newRow("LRCS") << 11 << QByteArray("LRCS    ") << QByteArray("30 01 17 f7 00 00 1e 00");
}

// Each preset chosen on entry 1 of the default table, then OK.
void TestFormats::presets()
{
    QFETCH(int, preset);
    MonitorImage img = defaultMonitorImage();
    const MonitorImage before = img;
    FormatEdit e;
    e.open(img, 1);
    e.choosePreset(preset);
    e.store(img);
    const RecordBytes r = readRecord(img, 1);
    QCOMPARE(int(r[0]), 8);
    QTEST(nameOf(r), "name");
    QTEST(dataHex(r), "bytes");
    for (std::size_t i = 0; i < mon::Size; ++i)
        if (i < MonitorImage::formatOffset(1) || i >= MonitorImage::formatOffset(2))
            QCOMPARE(img.bytes[i], before.bytes[i]);
}

void TestFormats::presetKeepsInputTrimsAndSpare()
{
    MonitorImage img = defaultMonitorImage();
    const std::size_t at = MonitorImage::formatOffset(5);
    img.bytes[at + 9] = 0x3D;  // input F, pair 4, stereo
    img.bytes[at + 14] = 0xA5; // spare
    img.bytes[at + 15] = 0x10;
    img.bytes[at + 16] = 0x04;
    FormatEdit e;
    e.open(img, 5);
    e.choosePreset(8); // Music
    e.store(img);
    QCOMPARE(dataHex(readRecord(img, 5)), QByteArray("35 62 33 ff 00 a5 10 04"));
}

void TestFormats::openThenOkRewritesTheSameBytes_data()
{
    QTest::addColumn<QByteArray>("record");
    const MonitorImage img = defaultMonitorImage();
    for (int n = 0; n < 16; ++n) {
        const RecordBytes r = readRecord(img, n);
        QTest::addRow("default %d", n) << QByteArray(reinterpret_cast<const char*>(r.data()), RecordSize);
    }
    QRandomGenerator rng(20261208);
    for (int k = 0; k < 64; ++k) {
        const RecordBytes r = randomRecord(rng);
        QTest::addRow("random %d", k) << QByteArray(reinterpret_cast<const char*>(r.data()), RecordSize);
    }
}

void TestFormats::openThenOkRewritesTheSameBytes()
{
    QFETCH(QByteArray, record);
    for (int n : {0, 7, 15}) {
        MonitorImage img = defaultMonitorImage();
        std::copy(record.begin(), record.end(), img.bytes.begin() + std::ptrdiff_t(MonitorImage::formatOffset(n)));
        const MonitorImage before = img;
        FormatEdit e;
        e.open(img, n);
        e.store(img);
        QCOMPARE(hex(readRecord(img, n)), hex(readRecord(before, n)));
        QVERIFY(img == before);
    }
}

void TestFormats::nameRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("empty, entry 12") << QString() << 12 << QByteArray("format12");
    QTest::newRow("empty, entry 3") << QString() << 3 << QByteArray("format3 ");
    QTest::newRow("short") << QStringLiteral("ab") << 0 << QByteArray("ab      ");
    QTest::newRow("eight") << QStringLiteral("5.1   B ") << 0 << QByteArray("5.1   B ");
    QTest::newRow("nine") << QStringLiteral("ABCDEFGHI") << 0 << QByteArray("ABCDEFGH");
    QTest::newRow("many") << QStringLiteral("Surround Sound") << 0 << QByteArray("Surround");
    QTest::newRow("wide characters left out")
        << QStringLiteral("A\u20ACB\u540DC") << 0 << QByteArray("ABC     ");
    QTest::newRow("only wide characters") << QStringLiteral("\u540D\u524D") << 4 << QByteArray("format4 ");
    QTest::newRow("stored Latin-1 byte kept") << QStringLiteral("Caf\u00E9") << 0 << QByteArray("Caf\xE9    ");
}

void TestFormats::nameRule()
{
    QFETCH(QString, typed);
    QFETCH(int, entry);
    const QByteArray stored = storedName(typed, entry);
    QCOMPARE(stored.size(), 8);
    QTEST(stored, "stored");
}

void TestFormats::nameEditTakes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("takes");
    QTest::newRow("printable") << QStringLiteral("A~ z!09") << QString() << true;
    QTest::newRow("euro") << QStringLiteral("A\u20AC") << QString() << false;
    QTest::newRow("accent") << QStringLiteral("\u00E9") << QString() << false;
    QTest::newRow("tab") << QStringLiteral("A\tB") << QString() << false;
    QTest::newRow("accent already stored") << QStringLiteral("X\u00E9") << QStringLiteral("Caf\u00E9") << true;
}

void TestFormats::nameEditTakes()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QTEST(acceptableName(text, stored), "takes");
}

void TestFormats::inputCaptions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("order");
    QTest::addColumn<int>("surround");
    QTest::addColumn<bool>("lre");
    QTest::addColumn<bool>("imax");
    QTest::addColumn<QString>("captions");
    QTest::newRow("stereo") << 1 << 1 << 4 << true << true
                            << "1:left 1|2:Right 1|3:Left 2|4:Right 2|5:Left 3|6:Right 3|7:Left 4|8:Right 4";
    QTest::newRow("LRC off") << 0 << 0 << 0 << false << false << "1:Left|2:Right|3:Centre|LFE|5:|6:|7:|8:";
    QTest::newRow("LCR mono") << 0 << 1 << 1 << false << false
                              << "1:Left|2:Centre|3:Right|LFE|5: Surround|6:|7:|8:";
    QTest::newRow("stereo surround") << 0 << 0 << 2 << false << false
                                     << "1:Left|2:Right|3:Centre|LFE|5: Left Sur|6: Right Sur|7:|8:";
    QTest::newRow("LBR") << 0 << 0 << 3 << false << false
                         << "1:Left|2:Right|3:Centre|LFE|5: Left Sur|6: Right Sur|7: Sur Back|8:";
    QTest::newRow("LBBR") << 0 << 0 << 4 << false << false
                          << "1:Left|2:Right|3:Centre|LFE|5: Left Sur|6: Right Sur|7: Left Back|8: Right Back";
    QTest::newRow("L&R extra") << 0 << 0 << 4 << true << false
                               << "1:Left|2:Right|3:Centre|LFE|5: Left Sur|6: Right Sur|7: Left Extra|8: Right Extra";
    QTest::newRow("IMAX") << 0 << 1 << 2 << false << true
                          << "1:Left|2:Centre|3:Right|Top|5: Left Sur|6: Right Sur|7:|8:";
    QTest::newRow("surround 6 from a file") << 0 << 0 << 6 << false << false
                                            << "1:Left|2:Right|3:Centre|LFE|5:|6:|7:|8:";
}

void TestFormats::inputCaptions()
{
    FormatFields f;
    QFETCH(int, type);
    QFETCH(int, order);
    QFETCH(int, surround);
    QFETCH(bool, lre);
    QFETCH(bool, imax);
    f.inputType = type;
    f.order = order;
    f.surround = surround;
    f.lrExtra = lre;
    f.imax = imax;
    const InputCaptions c = zeltra::formats::inputCaptions(f);
    QTEST(QStringList(c.begin(), c.end()).join(QLatin1Char('|')), "captions");
}

void TestFormats::reactions_data()
{
    // Entry 2 of the default table: input B, Multi, LRC... 01 0A 3F FF.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("bytes"); // 9..11 after OK
    QTest::newRow("LFE LP sets -10 dB") << "source:1" << QByteArray("01 9a 3f");
    QTest::newRow("Sum sets 0dB") << "source:2" << QByteArray("01 6a 3f");
    QTest::newRow("IMAX forces Sum LP") << "imax:1" << QByteArray("81 3a 3f");
    QTest::newRow("IMAX then LFE stays Sum LP") << "imax:1 source:0" << QByteArray("81 7a 3f");
    QTest::newRow("TV clears IMAX") << "imax:1 tv:1" << QByteArray("01 3a 3f");
    QTest::newRow("TV off applies the gain rule") << "imax:1 tv:1 tv:0" << QByteArray("01 7a 3f");
    QTest::newRow("stereo pair 3 sets the input mask") << "pair:2" << QByteArray("21 0a 30");
    QTest::newRow("stereo pair 4") << "type:1 pair:3" << QByteArray("39 0a c0");
    QTest::newRow("IMAX on a stereo input forces nothing") << "type:1 imax:1" << QByteArray("89 0a 3f");
    QTest::newRow("IMAX preset, then TV") << "preset:10 tv:1" << QByteArray("31 72 ff");
    QTest::newRow("gain alone") << "gain:3" << QByteArray("01 ca 3f");
}

void TestFormats::reactions()
{
    QFETCH(QString, steps);
    MonitorImage img = defaultMonitorImage();
    FormatEdit e;
    e.open(img, 2);
    QCOMPARE(e.caption(), QStringLiteral("Set format 3"));
    runSteps(e, steps);
    e.store(img);
    QTEST(dataHex(readRecord(img, 2)).left(8), "bytes");
}

void TestFormats::levelText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("zero");
    QTest::addColumn<QString>("text");
    QTest::newRow("29 on 30") << 29 << 30 << "-0.5dB";
    QTest::newRow("35 on 30") << 35 << 30 << "+2.5dB";
    QTest::newRow("zero") << 30 << 30 << "+0.0dB";
    QTest::newRow("three down") << 27 << 30 << "-1.5dB";
    QTest::newRow("input trim bottom") << 0 << 30 << "-15.0dB";
    QTest::newRow("input trim top") << 60 << 30 << "+15.0dB";
    QTest::newRow("output trim bottom") << 0 << 8 << "-4.0dB";
    QTest::newRow("stereo trim top") << 12 << 0 << "+6.0dB";
    QTest::newRow("calibrate top") << 240 << 0 << "+120.0dB";
}

void TestFormats::levelText()
{
    QFETCH(int, value);
    QFETCH(int, zero);
    QTEST(zeltra::formats::levelText(value, zero), "text");
}

void TestFormats::gainSteps()
{
    QCOMPARE(gainOnOpen(17, 16, 8), 8);
    QCOMPARE(gainOnOpen(16, 16, 8), 16);
    QCOMPARE(gainOnOpen(255, 60, 30), 30);
    QCOMPARE(gainIncrease(16, 16), 16);
    QCOMPARE(gainIncrease(15, 16), 16);
    QCOMPARE(gainDecrease(0), 0);
    QCOMPARE(gainDecrease(1), 0);
}

void TestFormats::gainUses_data()
{
    QTest::addColumn<int>("use");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("zero");
    QTest::addColumn<int>("maximum");
    QTest::newRow("input") << 0 << "Set Input Trim" << 30 << 60;
    QTest::newRow("stereo") << 1 << "Set Stereo Trim" << 0 << 12;
    QTest::newRow("mono") << 2 << "Set Mono Trim" << 0 << 6;
    QTest::newRow("output") << 3 << "Set Output Trim" << 8 << 16;
    QTest::newRow("dim") << 4 << "Set DIM cut" << 0 << 80;
    QTest::newRow("cal A") << 65 << "Set Calibrate A level" << 0 << 240;
    QTest::newRow("cal D") << 68 << "Set Calibrate D level" << 0 << 240;
}

void TestFormats::gainUses()
{
    QFETCH(int, use);
    const GainUse uses[] = {inputTrimUse(), stereoTrimUse(), monoTrimUse(), outputTrimUse(), dimUse()};
    const GainUse u = use < 5 ? uses[use] : calibrateUse(use);
    QTEST(u.title, "title");
    QTEST(u.zero, "zero");
    QTEST(u.maximum, "maximum");
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
