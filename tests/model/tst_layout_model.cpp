// The observable layout model: every change is told, with the bytes it touched, and the unsaved
// mark follows the history's clean state alone.
#include "history/LayoutHistory.h"
#include "model/LayoutModel.h"

#include <QSignalSpy>
#include <QTest>

using namespace zeltra;
using Bytes = QList<int>;

class TestLayoutModel : public QObject {
    Q_OBJECT
  private slots:
    void writesTellTheirBytes_data();
    void writesTellTheirBytes();
    void settingsTellWhatChanged();
    void loadTellsInOrder();
    void markFollowsCleanState_data();
    void markFollowsCleanState();
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
    QTest::newRow("offset past the end") << 0 << 500 << Bytes{5} << Bytes{};
    QTest::newRow("kind without image") << 2 << 4 << Bytes{5} << Bytes{};
}

// The bytes written land and no other; the signal names the range from the first to the last
// that changed.
void TestLayoutModel::writesTellTheirBytes() {
    QFETCH(int, kind);
    QFETCH(int, offset);
    QFETCH(Bytes, bytes);
    QFETCH(Bytes, told);
    LayoutModel m;
    m.initDefaults(QStringLiteral("/p/"));
    LayoutData expected = m.data();
    const std::span<std::uint8_t> image = expected.image(kind);
    for (int i = 0; i < bytes.size() && std::size_t(offset + i) < image.size(); ++i)
        image[std::size_t(offset + i)] = std::uint8_t(bytes[i]);
    QSignalSpy spy(&m, &LayoutModel::imageChanged);
    m.writeImage(kind, std::size_t(offset), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    QVERIFY(m.McnImage == expected.McnImage && m.MonImage == expected.MonImage);
    Bytes seen;
    for (const QList<QVariant>& signal : spy)
        seen << signal[0].toInt() << signal[1].toInt() << signal[2].toInt();
    QCOMPARE(seen, told);
}

// A settings record that brings another kind or option tells both; the same record again
// tells nothing.
void TestLayoutModel::settingsTellWhatChanged() {
    LayoutModel m;
    QSignalSpy kinds(&m, &LayoutModel::kindChanged);
    QSignalSpy clips(&m, &LayoutModel::showClipChanged);
    SettingsRecord r = m.Settings;
    r.setKbdType(KbdMonitor);
    r.setShowClip(!r.showClip());
    m.setSettings(r);
    m.setSettings(r);
    QCOMPARE(kinds.size(), 1);
    QCOMPARE(kinds.first().first().toInt(), int(KbdMonitor));
    QCOMPARE(clips.size(), 1);
}

// A loaded layout tells its kind, bytes and file first, then that it replaced the old one, so
// a window that drops its edit on the replacement sees the new layout already.
void TestLayoutModel::loadTellsInOrder() {
    LayoutModel m;
    m.initDefaults(QStringLiteral("/p/"));
    QStringList told;
    connect(&m, &LayoutModel::kindChanged, [&] { told << "kind"; });
    connect(&m, &LayoutModel::imageChanged,
            [&](std::int32_t k) { told << QStringLiteral("image %1").arg(k); });
    connect(&m, &LayoutModel::fileChanged, [&] { told << "file"; });
    connect(&m, &LayoutModel::layoutReplaced, [&] {
        told << (m.MonImage.bytes[mon::OutputTrim] == 7 ? "replaced" : "replaced too early");
    });
    MonitorImage img = m.MonImage;
    img.bytes[mon::OutputTrim] = 7;
    m.load(KbdMonitor, img.bytes, QStringLiteral("/m.bin"));
    QCOMPARE(told, (QStringList{"kind", "image 1", "file", "replaced"}));
}

void TestLayoutModel::markFollowsCleanState_data() {
    // Each step and the mark after it. e: an edit, n: an edit that changes nothing, u: undo,
    // r: redo, s: saved, k: kind switched (a new history, the mark kept), o: a layout opened.
    QTest::addColumn<QString>("steps");
    QTest::newRow("edit, undo, redo") << "e1 u0 r1";
    QTest::newRow("no change, no mark") << "n0 n0";
    QTest::newRow("saved, undone past it and redone") << "e1 s0 u1 u1 r0";
    QTest::newRow("undo past the save") << "e1 e1 s0 u1 u1";
    QTest::newRow("switch keeps changes marked") << "e1 k1 u1 u1";
    QTest::newRow("switch of a saved layout") << "e1 s0 k0 r0";
    QTest::newRow("switch of a clean layout, edit undone") << "k0 e1 u0";
    QTest::newRow("switch with changes, edit undone") << "e1 k1 e1 u1";
    QTest::newRow("open is clean") << "e1 o0 e1";
    QTest::newRow("edit after a save, undone") << "e1 s0 e1 u0";
}

void TestLayoutModel::markFollowsCleanState() {
    QFETCH(QString, steps);
    LayoutModel model;
    LayoutHistory history(model);
    int value = 0;
    const auto edit = [&] {
        return history.editMachine(QStringLiteral("e"),
                                   [&](MachineImage& i) { i.bytes[482] = std::uint8_t(++value); });
    };
    const QMap<QChar, std::function<void()>> step{
        {'e', [&] { QVERIFY(edit()); }},
        {'n', [&] { QVERIFY(!history.editMachine(QStringLiteral("n"), [](MachineImage&) {})); }},
        {'u', [&] { history.undo(); }},
        {'r', [&] { history.redo(); }},
        {'s', [&] { history.markSaved(); }},
        {'k', [&] { history.startNew(LayoutHistory::Start::KeepMark); }},
        {'o', [&] { history.startNew(LayoutHistory::Start::Saved); }}};
    QString expected;
    QString seen;
    for (const QString& s : steps.split(u' ')) {
        step[s[0]]();
        expected += s[1];
        seen += model.LayoutChanged ? u'1' : u'0';
    }
    QCOMPARE(seen, expected);
}

QTEST_GUILESS_MAIN(TestLayoutModel)
#include "tst_layout_model.moc"
