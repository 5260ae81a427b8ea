// The observable layout model and the record views over the images: every change is told, with
// the bytes it touched, and a view reads and writes its own record and nothing else.
#include "model/LayoutModel.h"
#include "model/Records.h"

#include <QSignalSpy>
#include <QTest>

using namespace zeltra;
using Bytes = QList<int>;

namespace {
std::vector<std::uint8_t> toVector(const Bytes& b) {
    return std::vector<std::uint8_t>(b.begin(), b.end());
}

QList<int> changed(const std::span<const std::uint8_t> a, const std::span<const std::uint8_t> b) {
    QList<int> at;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            at << int(i);
    return at;
}
} // namespace

class TestLayoutModel : public QObject {
    Q_OBJECT
  private slots:
    void writesTellTheirBytes_data();
    void writesTellTheirBytes();
    void stateSignals();
    void loadTellsInOrder();
    void viewsTouchTheirRecordOnly_data();
    void viewsTouchTheirRecordOnly();
};

void TestLayoutModel::writesTellTheirBytes_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("offset");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<Bytes>("told"); // kind, offset, count; empty: nothing told
    QTest::newRow("same bytes: nothing") << 0 << 74 << Bytes{1, 1, 1, 1} << Bytes{};
    QTest::newRow("one byte") << 0 << 4 << Bytes{9} << Bytes{0, 4, 1};
    QTest::newRow("from first to last that differ")
        << 0 << 73 << Bytes{0, 1, 7, 1, 8} << Bytes{0, 75, 3};
    QTest::newRow("monitor image") << 1 << 330 << Bytes{3, 0, 4} << Bytes{1, 330, 3};
    QTest::newRow("past the end left out") << 1 << 362 << Bytes{5, 6, 7, 8} << Bytes{1, 362, 2};
    QTest::newRow("offset past the end") << 0 << 484 << Bytes{5} << Bytes{};
    QTest::newRow("kind without image") << 2 << 4 << Bytes{5} << Bytes{};
}

void TestLayoutModel::writesTellTheirBytes() {
    QFETCH(int, kind);
    QFETCH(int, offset);
    QFETCH(Bytes, bytes);
    QFETCH(Bytes, told);
    LayoutModel m;
    m.initDefaults(QStringLiteral("/p/"));
    const LayoutData before = m.data();
    QSignalSpy spy(&m, &LayoutModel::imageChanged);
    const auto b = toVector(bytes);
    m.writeImage(kind, std::size_t(offset), b);
    QCOMPARE(spy.size(), told.isEmpty() ? 0 : 1);
    if (told.isEmpty()) {
        QVERIFY(m.McnImage == before.McnImage && m.MonImage == before.MonImage);
        return;
    }
    QCOMPARE((Bytes{spy[0][0].toInt(), spy[0][1].toInt(), spy[0][2].toInt()}), told);
    const auto now = m.data().image(kind);
    for (int i = 0; i < told[2]; ++i)
        QCOMPARE(int(now[std::size_t(told[1] + i)]), bytes[told[1] - offset + i]);
    const auto other = m.data().image(1 - kind);
    QVERIFY(std::equal(other.begin(), other.end(), before.image(1 - kind).begin()));
}

// Kind, file, option and mark are told when, and only when, they change.
void TestLayoutModel::stateSignals() {
    LayoutModel m;
    QSignalSpy kinds(&m, &LayoutModel::kindChanged);
    QSignalSpy files(&m, &LayoutModel::fileChanged);
    QSignalSpy clips(&m, &LayoutModel::showClipChanged);
    QSignalSpy marks(&m, &LayoutModel::unsavedChanged);
    m.setKbdType(KbdMachine);
    m.setKbdType(KbdMonitor);
    m.setKbdType(KbdMonitor);
    m.setFile(QStringLiteral("/a.bin"));
    m.setFile(QStringLiteral("/a.bin"));
    m.setShowClip(true);
    m.setUnsaved(true);
    m.setUnsaved(true);
    SettingsRecord r = m.Settings;
    r.setKbdType(KbdMachine);
    r.setShowClip(false);
    r.setComPort(7);
    m.setSettings(r);
    QCOMPARE(kinds.size(), 2);
    QCOMPARE(kinds.last().first().toInt(), int(KbdMachine));
    QCOMPARE(files.size(), 1);
    QCOMPARE(clips.size(), 2);
    QCOMPARE(marks.size(), 1);
    QVERIFY(m.LayoutChanged);
    QCOMPARE(m.Settings.comPort(), 7);
}

// A loaded layout tells its kind, bytes and file first, then that it replaced the old one, so
// a window that drops its edit on the replacement sees the new layout already.
void TestLayoutModel::loadTellsInOrder() {
    LayoutModel m;
    m.initDefaults(QStringLiteral("/p/"));
    QStringList told;
    connect(&m, &LayoutModel::kindChanged, [&] { told << "kind"; });
    connect(&m, &LayoutModel::imageChanged, [&](std::int32_t k) { told << QStringLiteral("image %1").arg(k); });
    connect(&m, &LayoutModel::fileChanged, [&] { told << "file"; });
    connect(&m, &LayoutModel::layoutReplaced, [&] {
        told << (m.MonImage.bytes[mon::OutputTrim] == 7 ? "replaced" : "replaced too early");
    });
    MonitorImage img = m.MonImage;
    img.bytes[mon::OutputTrim] = 7;
    m.load(KbdMonitor, img.bytes, QStringLiteral("/m.bin"));
    QCOMPARE(told, (QStringList{"kind", "image 1", "file", "replaced"}));
}

void TestLayoutModel::viewsTouchTheirRecordOnly_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<Bytes>("offsets"); // the bytes the write must change
    QTest::newRow("cue 31 number") << "cue" << Bytes{74 + 6 * 31 + 4, 74 + 6 * 31 + 5};
    QTest::newRow("loop 15 out") << "loop out" << Bytes{266 + 150 + 4, 266 + 150 + 7};
    QTest::newRow("loop 3 end action keeps destination") << "loop action" << Bytes{266 + 30 + 9};
    QTest::newRow("loop 3 clip is bytes 8 and 9") << "loop clip" << Bytes{266 + 30 + 8, 266 + 30 + 9};
    QTest::newRow("GPO 11") << "gpo" << Bytes{426 + 44, 426 + 47};
    QTest::newRow("macro H") << "macro" << Bytes{481};
    QTest::newRow("format memory 15") << "memory" << Bytes{57};
    QTest::newRow("trim 15") << "trim" << Bytes{345};
    QTest::newRow("format 15 trims") << "format" << Bytes{58 + 17 * 15 + 15, 58 + 17 * 15 + 16};
}

void TestLayoutModel::viewsTouchTheirRecordOnly() {
    QFETCH(QString, record);
    QFETCH(Bytes, offsets);
    MachineImage mcn = defaultMachineImage();
    MonitorImage mon = defaultMonitorImage();
    for (std::size_t i = 0; i < mcn.bytes.size(); ++i)
        mcn.bytes[i] = std::uint8_t(i * 7 + 3);
    for (std::size_t i = 0; i < mon.bytes.size(); ++i)
        mon.bytes[i] = std::uint8_t(i * 5 + 1);
    const MachineImage mcnBefore = mcn;
    const MonitorImage monBefore = mon;
    const timecode::Bcd tc{0x23, 0x59, 0x59, 0x29};
    bool readBack = false;
    if (record == "cue") {
        records::cue(mcn, 31).setNumber(0xBEEF);
        readBack = records::cue(std::as_const(mcn), 31).number() == 0xBEEF;
    } else if (record == "loop out") {
        records::loop(mcn, 15).setOut(tc);
        readBack = records::loop(mcn, 15).out() == tc && records::loop(mcn, 15).in() == records::loop(mcnBefore, 15).in();
    } else if (record == "loop action") {
        const int destination = records::loop(mcn, 3).endDestination();
        records::loop(mcn, 3).setEndAction(records::loop(mcn, 3).endAction() ^ 3);
        readBack = records::loop(mcn, 3).endDestination() == destination;
    } else if (record == "loop clip") {
        records::loop(mcn, 3).setClip(0x0241);
        readBack = records::loop(mcn, 3).machine() == 2 && records::loop(mcn, 3).endAction() == 1 &&
                   records::loop(mcn, 3).endDestination() == 4;
    } else if (record == "gpo") {
        records::gpo(mcn, 11).setTimecode(tc);
        readBack = records::gpo(mcn, 11).timecode() == tc;
    } else if (record == "macro") {
        records::macro(mcn, 7).setCode(0xA5);
        readBack = records::macro(mcn, 7).code() == 0xA5;
    } else if (record == "memory") {
        records::formatMemory(mon, 15).setFormat(9);
        readBack = records::formatMemory(mon, 15).format() == 9;
    } else if (record == "trim") {
        records::trim(mon, 15).setStep(16);
        readBack = records::trim(mon, 15).step() == 16;
    } else {
        formats::RecordBytes r = records::format(mon, 15).record();
        r[formats::rec::InputTrim] = 0;
        r[formats::rec::StereoTrim] = 12;
        records::format(mon, 15).setRecord(r);
        readBack = records::format(mon, 15).inputTrim() == 0 && records::format(mon, 15).stereoTrim() == 12;
    }
    QVERIFY(readBack);
    QList<int> at = changed(mcn.bytes, mcnBefore.bytes);
    for (int i : changed(mon.bytes, monBefore.bytes))
        at << i;
    QCOMPARE(at.first(), offsets.first());
    QCOMPARE(at.last(), offsets.last());
}

QTEST_GUILESS_MAIN(TestLayoutModel)
#include "tst_layout_model.moc"
