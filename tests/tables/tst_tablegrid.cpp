// The GPO, cue and loop tables as grids: where each entry stands, what the cells show, and
// the bytes writing them back gives.
#include "editing/LoopDetails.h"
#include "editing/TableGrid.h"

#include <QTest>

using namespace zeltra;
using namespace zeltra::tables;
using Bytes = QList<int>;

namespace {
// Every byte different, so a write to the wrong place shows.
MachineImage patterned() {
    MachineImage img;
    for (std::size_t i = 0; i < img.bytes.size(); ++i)
        img.bytes[i] = std::uint8_t((i * 37 + 11) & 0xFF);
    return img;
}

void put(MachineImage& img, std::size_t at, const Bytes& b) {
    for (int i = 0; i < b.size(); ++i)
        img.bytes[at + std::size_t(i)] = std::uint8_t(b[i]);
}

Cell& at(Grids& g, Place p) {
    return g[std::size_t(p.grid)][std::size_t(p.row - 1)];
}

std::size_t entryOffset(const MachineImage& img, int mode, int k) {
    return mode == Cues ? img.cueOffset(k) : mode == Loops ? img.loopOffset(k) : img.gpoOffset(k);
}
Place placeOf(int mode, int k) {
    return mode == Cues ? cuePlace(k) : mode == Loops ? loopPlace(k) : gpoPlace(k);
}
int countOf(int mode) {
    return mode == Cues ? mcn::CueCount : mode == Loops ? mcn::LoopCount : mcn::GpoCount;
}
} // namespace

class TstTableGrid : public QObject {
    Q_OBJECT
  private slots:
    void layouts_data();
    void layouts();
    void fillPlacesEntries_data();
    void fillPlacesEntries();
    void writeBackBytes_data();
    void writeBackBytes();
    void untouchedTablesRoundTrip_data();
    void untouchedTablesRoundTrip();
    void resetAll_data();
    void resetAll();
    void oneToAll_data();
    void oneToAll();
    void nextRow_data();
    void nextRow();
    void clipText_data();
    void clipText();
    void loopDetails_data();
    void loopDetails();
};

void TstTableGrid::layouts_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("showClip");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("columns"); // first grid's, then the second grid's second title
    QTest::addColumn<QStringList>("labels");  // first and last label of each visible grid
    QTest::addColumn<int>("clipWidth");
    QTest::newRow("gpo, clip option on")
        << 1 << true << "GPO Setup" << QStringList{"Absolute", "Relative to Rec In"}
        << QList<int>{9, 5, 0, 0} << QStringList{"Output", "Timecode", "Before In"}
        << QStringList{"GPO-1", "GPO-8", "GPO-9", "GPO-12"} << 0;
    QTest::newRow("cues, clip shown")
        << 2 << true << "Cue Setup"
        << QStringList{"Locates 1-8", "Locates 9-16", "Locates 17-24", "Locates 25-32"}
        << QList<int>{9, 9, 9, 9} << QStringList{"Locate", "Timecode", "Timecode"}
        << QStringList{"Cue 1", "Cue 8", "Cue 9", "Cue 16", "Cue 17", "Cue 24", "Cue 25", "Cue 32"}
        << 22;
    QTest::newRow("cues, clip hidden")
        << 2 << false << "Cue Setup"
        << QStringList{"Locates 1-8", "Locates 9-16", "Locates 17-24", "Locates 25-32"}
        << QList<int>{9, 9, 9, 9} << QStringList{"Locate", "Timecode", "Timecode"}
        << QStringList{"Cue 1", "Cue 8", "Cue 9", "Cue 16", "Cue 17", "Cue 24", "Cue 25", "Cue 32"}
        << 0;
    QTest::newRow("loops") << 3 << true << "Loop Setup"
                           << QStringList{"Loop 1-4", "Loop 5-8", "Loop 9-12", "Loop 13-16"}
                           << QList<int>{9, 9, 9, 9} << QStringList{"Loop", "Timecode", "Timecode"}
                           << QStringList{"1 In", "4 Out",  "5 In",  "8 Out",
                                          "9 In", "12 Out", "13 In", "16 Out"}
                           << 22;
}

void TstTableGrid::layouts() {
    QFETCH(int, mode);
    QFETCH(bool, showClip);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, columns);
    QFETCH(QStringList, labels);
    const Layout l = layout(mode, showClip);
    QTEST(l.caption, "caption");
    QTEST(l.clipWidth, "clipWidth");
    QCOMPARE(l.clipColumn, l.clipWidth > 0);
    QStringList shownTitles, shownLabels;
    for (int g = 0; g < GridCount; ++g) {
        const GridLayout& gl = l.grids[std::size_t(g)];
        QCOMPARE(gl.rows, rows[g]);
        QCOMPARE(gl.visible, rows[g] > 0);
        if (!gl.visible)
            continue;
        shownTitles << gl.title;
        shownLabels << gl.labels[0] << gl.labels[std::size_t(gl.rows - 2)];
    }
    QCOMPARE(shownTitles, titles);
    QCOMPARE(shownLabels, labels);
    QCOMPARE(l.grids[0].firstTitle, columns[0]);
    QCOMPARE(l.grids[0].secondTitle, columns[1]);
    QCOMPARE(l.grids[1].secondTitle, columns[2]);
}

void TstTableGrid::fillPlacesEntries_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("k");
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("timecode");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("outTimecode"); // loops: the row below
    QTest::newRow("cue 0") << 2 << 0 << Bytes{0x01, 0x01, 0x01, 0x01, 0, 0} << 0 << 1
                           << "01:01:01:01"
                           << "0"
                           << "";
    QTest::newRow("cue 2, clip high byte first")
        << 2 << 2 << Bytes{0x01, 0x02, 0x03, 0x04, 0x12, 0x34} << 0 << 3 << "01:02:03:04"
        << "4660"
        << "";
    QTest::newRow("cue 9") << 2 << 9 << Bytes{0x10, 0, 0, 0, 0xFF, 0xFF} << 1 << 2 << "10:00:00:00"
                           << "65535"
                           << "";
    QTest::newRow("cue 31") << 2 << 31 << Bytes{0x23, 0x59, 0x59, 0x29, 0, 7} << 3 << 8
                            << "23:59:59:29"
                            << "7"
                            << "";
    QTest::newRow("loop 0") << 3 << 0 << Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0x01, 0x02} << 0 << 1
                            << "01:02:03:04"
                            << "258"
                            << "05:06:07:08";
    QTest::newRow("loop 5") << 3 << 5 << Bytes{0x11, 0, 0, 0, 0x12, 0, 0, 0, 0, 0x31} << 1 << 3
                            << "11:00:00:00"
                            << "49"
                            << "12:00:00:00";
    QTest::newRow("loop 15") << 3 << 15 << Bytes{0, 0, 0, 0, 0x99, 0x99, 0x99, 0x99, 2, 0xF3} << 3
                             << 7 << "00:00:00:00"
                             << "755"
                             << "99:99:99:99";
    QTest::newRow("gpo 0") << 1 << 0 << Bytes{0x01, 0x02, 0x03, 0x04} << 0 << 1 << "01:02:03:04"
                           << ""
                           << "";
    QTest::newRow("gpo 7") << 1 << 7 << Bytes{0x07, 0, 0, 0} << 0 << 8 << "07:00:00:00"
                           << ""
                           << "";
    QTest::newRow("gpo 8, before In") << 1 << 8 << Bytes{0x08, 0, 0, 0} << 1 << 1 << "08:00:00:00"
                                      << ""
                                      << "";
    QTest::newRow("gpo 11") << 1 << 11 << Bytes{0, 0, 0, 0x11} << 1 << 4 << "00:00:00:11"
                            << ""
                            << "";
}

void TstTableGrid::fillPlacesEntries() {
    QFETCH(int, mode);
    QFETCH(int, k);
    QFETCH(Bytes, bytes);
    QFETCH(int, grid);
    QFETCH(int, row);
    QFETCH(QString, outTimecode);
    MachineImage img = patterned();
    put(img, entryOffset(img, mode, k), bytes);
    QCOMPARE(placeOf(mode, k), (Place{grid, row}));
    Grids g = fill(img, mode);
    QTEST(at(g, {grid, row}).timecode, "timecode");
    QTEST(at(g, {grid, row}).clip, "clip");
    if (mode == Loops) {
        QCOMPARE(at(g, {grid, row + 1}).timecode, outTimecode);
        QCOMPARE(at(g, {grid, row + 1}).clip, QString()); // the Out row has no clip
    }
}

void TstTableGrid::writeBackBytes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("timecode");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("outTimecode");
    QTest::addColumn<Bytes>("expected"); // the entry's bytes; -1 keeps the patterned byte
    QTest::newRow("cue 2") << 2 << 2 << "10:00:00:00"
                           << "65535"
                           << "" << Bytes{0x10, 0, 0, 0, 0xFF, 0xFF};
    QTest::newRow("cue blanks as 0") << 2 << 5 << "1 :  : 3:  "
                                     << "12"
                                     << "" << Bytes{0x10, 0, 0x03, 0, 0, 12};
    QTest::newRow("cue unfilled mask") << 2 << 6 << "1_:__:__:_9"
                                       << "0"
                                       << "" << Bytes{0x10, 0, 0, 0x09, 0, 0};
    QTest::newRow("cue minutes 99 kept") << 2 << 7 << "00:99:00:00"
                                         << "1"
                                         << "" << Bytes{0, 0x99, 0, 0, 0, 1};
    QTest::newRow("cue clip not a number") << 2 << 8 << "01:02:03:04"
                                           << "abc"
                                           << "" << Bytes{1, 2, 3, 4, 0, 1};
    QTest::newRow("cue clip empty") << 2 << 8 << "01:02:03:04"
                                    << ""
                                    << "" << Bytes{1, 2, 3, 4, 0, 1};
    QTest::newRow("cue clip too big kept") << 2 << 31 << "01:02:03:04"
                                           << "65536"
                                           << "" << Bytes{1, 2, 3, 4, -1, -1};
    QTest::newRow("cue clip negative kept") << 2 << 0 << "00:00:00:01"
                                            << "-1"
                                            << "" << Bytes{0, 0, 0, 1, -1, -1};
    QTest::newRow("loop 3") << 3 << 3 << "01:02:03:04"
                            << "513"
                            << "05:06:07:08" << Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0x02, 0x01};
    QTest::newRow("loop 12 clip into bytes 8, 9")
        << 3 << 12 << "00:00:00:00"
        << "4660"
        << "99:59:59:29" << Bytes{0, 0, 0, 0, 0x99, 0x59, 0x59, 0x29, 0x12, 0x34};
    QTest::newRow("gpo 0") << 1 << 0 << "12:34:56:78"
                           << ""
                           << "" << Bytes{0x12, 0x34, 0x56, 0x78};
    QTest::newRow("gpo 9") << 1 << 9 << "00:00:10:00"
                           << ""
                           << "" << Bytes{0, 0, 0x10, 0};
}

void TstTableGrid::writeBackBytes() {
    QFETCH(int, mode);
    QFETCH(int, k);
    QFETCH(QString, outTimecode);
    QFETCH(Bytes, expected);
    MachineImage img = patterned();
    Grids g = fill(img, mode);
    const Place p = placeOf(mode, k);
    QFETCH(QString, timecode);
    QFETCH(QString, clip);
    at(g, p) = {timecode, clip};
    if (mode == Loops)
        at(g, {p.grid, p.row + 1}).timecode = outTimecode;
    MachineImage want = patterned();
    const std::size_t offset = entryOffset(want, mode, k);
    for (int i = 0; i < expected.size(); ++i)
        if (expected[i] >= 0)
            want.bytes[offset + std::size_t(i)] = std::uint8_t(expected[i]);
    writeBack(g, mode, img);
    for (std::size_t i = 0; i < img.bytes.size(); ++i)
        QVERIFY2(img.bytes[i] == want.bytes[i], qPrintable(QStringLiteral("byte %1").arg(i)));
}

void TstTableGrid::untouchedTablesRoundTrip_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("gpo") << 1;
    QTest::newRow("cues") << 2;
    QTest::newRow("loops") << 3;
}

// The patterned bytes hold nibbles above 9 (not BCD); showing and closing a table keeps them.
void TstTableGrid::untouchedTablesRoundTrip() {
    QFETCH(int, mode);
    MachineImage img = patterned();
    writeBack(fill(img, mode), mode, img);
    QVERIFY(img == patterned());
}

void TstTableGrid::resetAll_data() {
    untouchedTablesRoundTrip_data();
}

void TstTableGrid::resetAll() {
    QFETCH(int, mode);
    MachineImage img = patterned();
    Grids g = fill(img, mode);
    tables::resetAll(g);
    writeBack(g, mode, img);
    MachineImage want = patterned();
    const int size = mode == Cues ? 6 : mode == Loops ? 10 : 4;
    for (int k = 0; k < countOf(mode); ++k)
        put(want, entryOffset(want, mode, k), Bytes(size, 0));
    QVERIFY(img == want);
}

void TstTableGrid::oneToAll_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<Bytes>("entry");
    QTest::newRow("gpo") << 1 << Bytes{1, 2, 3, 4};
    QTest::newRow("cues") << 2 << Bytes{1, 2, 3, 4, 0, 7};
    QTest::newRow("loops: In from row 1, Out from row 2")
        << 3 << Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0, 7};
}

void TstTableGrid::oneToAll() {
    QFETCH(int, mode);
    QFETCH(Bytes, entry);
    MachineImage img = patterned();
    Grids g = fill(img, mode);
    g[0][0] = {QStringLiteral("01:02:03:04"), QStringLiteral("7")};
    g[0][1].timecode = QStringLiteral("05:06:07:08");
    tables::oneToAll(g, mode);
    writeBack(g, mode, img);
    MachineImage want = patterned();
    for (int k = 0; k < countOf(mode); ++k)
        put(want, entryOffset(want, mode, k), entry);
    QVERIFY(img == want);
}

void TstTableGrid::nextRow_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("next");
    QTest::newRow("cues, on") << 2 << 0 << 3 << 4;
    QTest::newRow("cues, last row stays") << 2 << 3 << 8 << 8;
    QTest::newRow("gpo absolute") << 1 << 0 << 7 << 8;
    QTest::newRow("gpo before In stops at 4") << 1 << 1 << 4 << 4;
    QTest::newRow("gpo before In") << 1 << 1 << 3 << 4;
    QTest::newRow("loops") << 3 << 2 << 8 << 8;
}

void TstTableGrid::nextRow() {
    QFETCH(int, mode);
    QFETCH(int, grid);
    QFETCH(int, row);
    QTEST(tables::nextRow(mode, grid, row), "next");
}

void TstTableGrid::clipText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value");
    const int number = int(ClipKind::Number), none = int(ClipKind::NotNumber),
              out = int(ClipKind::OutOfRange);
    QTest::newRow("zero") << "0" << number << 0;
    QTest::newRow("largest") << "65535" << number << 65535;
    QTest::newRow("blanks around") << " 12 " << number << 12;
    QTest::newRow("plus sign") << "+5" << number << 5;
    QTest::newRow("one too many") << "65536" << out << 0;
    QTest::newRow("negative") << "-1" << out << 0;
    QTest::newRow("longer than any integer") << "99999999999999999999" << out << 0;
    QTest::newRow("letters store 1") << "abc" << none << 1;
    QTest::newRow("empty stores 1") << "" << none << 1;
    QTest::newRow("digits then letters") << "12a" << none << 1;
}

void TstTableGrid::clipText() {
    QFETCH(QString, text);
    const Clip c = clipFromText(text);
    QTEST(int(c.kind), "kind");
    QTEST(int(c.value), "value");
}

void TstTableGrid::loopDetails_data() {
    QTest::addColumn<Bytes>("before"); // bytes 8 and 9
    QTest::addColumn<int>("machine");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("dest");
    QTest::addColumn<Bytes>("after");
    QTest::newRow("all chosen") << Bytes{0, 0} << 2 << 3 << 15 << Bytes{2, 0xF3};
    QTest::newRow("first items") << Bytes{1, 0x21} << 0 << 0 << 0 << Bytes{0, 0};
    QTest::newRow("machine beyond the list kept")
        << Bytes{0x12, 0x34} << -1 << 1 << 2 << Bytes{0x12, 0x21};
    QTest::newRow("end action beyond the list kept")
        << Bytes{1, 0x3C} << 1 << -1 << 5 << Bytes{1, 0x5C};
    QTest::newRow("all kept") << Bytes{0xFF, 0xFF} << -1 << -1 << -1 << Bytes{0xFF, 0xFF};
}

void TstTableGrid::loopDetails() {
    QFETCH(Bytes, before);
    QFETCH(Bytes, after);
    MachineImage img = patterned();
    const std::size_t at = img.loopOffset(4);
    put(img, at + 8, before);
    LoopDetails d = tables::loopDetails(img, 4);
    QCOMPARE(d.machine, before[0]);
    QCOMPARE(d.endAction, before[1] & 15);
    QCOMPARE(d.endDest, before[1] >> 4);
    QCOMPARE(listIndex(d.machine, MachineItems) < 0, before[0] > 2);
    d.start = {0x01, 0x02, 0x03, 0x04};
    d.end = {0x05, 0x06, 0x07, 0x08};
    QFETCH(int, machine);
    QFETCH(int, action);
    QFETCH(int, dest);
    d.machine = machine;
    d.endAction = action;
    d.endDest = dest;
    storeLoopDetails(img, 4, d);
    MachineImage want = patterned();
    put(want, at, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
    put(want, at + 8, after);
    QVERIFY(img == want);
}

QTEST_GUILESS_MAIN(TstTableGrid)
#include "tst_tablegrid.moc"
