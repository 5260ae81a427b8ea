#include "model/MacroLabels.h"
#include "model/FunctionTables.h"
#include "model/KeyFaces.h"

#include <QMap>
#include <QTest>

using namespace zeltra;

class TestFunctionTables : public QObject {
    Q_OBJECT
private slots:
    void tableSizes();
    void codesInRowOrder_data();
    void codesInRowOrder();
    void colourCounts_data();
    void colourCounts();
    void lookup_data();
    void lookup();
    void namesFitTheKeys();
    void keyFace_data();
    void keyFace();
    void textColour_data();
    void textColour();
    void macroNames_data();
    void macroNames();
};

void TestFunctionTables::tableSizes()
{
    QCOMPARE(functionTable(ListMachine).size(), 161u);
    QCOMPARE(functionTable(ListMonitor).size(), 50u);
    QCOMPARE(functionTable(ListMacro).size(), 33u);
    QCOMPARE(functionTable(7).data(), functionTable(ListMachine).data());
}

void TestFunctionTables::codesInRowOrder_data()
{
    QTest::addColumn<int>("listKind");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("machine") << 0 << QList<int>{
        0,   64,  65,  66,  67,  68,  69,  70,  128, 131, 132, 133, 134, 135, 142, 147, 72,
        73,  74,  75,  137, 77,  78,  79,  140, 141, 142, 144, 16,  160, 161, 162, 163, 164,
        165, 166, 167, 168, 169, 170, 171, 172, 173, 174, 175, 61,  176, 177, 178, 179, 180,
        181, 182, 183, 184, 185, 186, 187, 248, 249, 250, 251, 252, 253, 254, 255, 240, 241,
        242, 243, 244, 245, 246, 247, 80,  81,  82,  83,  84,  85,  56,  57,  58,  146, 192,
        193, 194, 195, 196, 197, 198, 199, 86,  87,  88,  89,  90,  91,  92,  93,  94,  95,
        96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112,
        113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 15,  22,
        20,  21,  24,  25,  26,  27,  28,  30,  29,  14,  1,   2,   3,   5,   6,   17,  18,
        19,  63,  7,   61,  61,  71,  76,  60};
    QTest::newRow("monitor") << 1 << QList<int>{
        0,  1,  2,  64, 65, 66, 67, 68, 80, 81, 82, 83, 84, 85, 86, 87, 48,
        49, 50, 51, 52, 53, 54, 55, 56, 57, 15, 3,  4,  10, 5,  11, 33, 7,
        8,  9,  12, 13, 34, 35, 42, 43, 44, 45, 46, 47, 88, 89, 90, 91};
    QTest::newRow("macro") << 129 << QList<int>{
        1,  2,  3,  11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
        66, 68, 69, 70, 73, 74, 75, 76, 77, 78, 79, 80, 94, 95, 83, 84};
}

void TestFunctionTables::codesInRowOrder()
{
    QFETCH(int, listKind);
    QList<int> codes;
    for (const FunctionEntry& e : functionTable(listKind))
        codes << e.Code;
    QTEST(codes, "codes");
}

void TestFunctionTables::colourCounts_data()
{
    QTest::addColumn<int>("listKind");
    QTest::addColumn<QMap<uint, int>>("counts");
    QTest::newRow("machine") << 0 << QMap<uint, int>{
        {clSilver, 1}, {clBlue, 44}, {clRed, 60}, {clLime, 6}, {clTeal, 33}, {clOlive, 1},
        {clGreen, 15}, {clYellow, 1}};
    QTest::newRow("monitor") << 1 << QMap<uint, int>{
        {clSilver, 1}, {clRed, 1}, {clGreen, 1}, {clFuchsia, 5}, {clTeal, 14}, {clBlue, 10},
        {clYellow, 1}, {clLime, 6}, {clOlive, 3}, {clBlack, 6}, {clMaroon, 2}};
    QTest::newRow("macro") << 129 << QMap<uint, int>{
        {clGray, 20}, {clRed, 6}, {clBlue, 4}, {clLime, 1}, {clYellow, 1}, {clNavy, 1}};
}

void TestFunctionTables::colourCounts()
{
    QFETCH(int, listKind);
    QMap<uint, int> counts;
    for (const FunctionEntry& e : functionTable(listKind))
        ++counts[e.Colour];
    QTEST(counts, "counts");
}

void TestFunctionTables::lookup_data()
{
    QTest::addColumn<int>("listKind");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::newRow("stop") << 0 << 64 << 1 << "[]";
    QTest::newRow("61 last of three") << 0 << 61 << 157 << "Chase Bi";
    QTest::newRow("142 last of two") << 0 << 142 << 26 << "Goto In";
    QTest::newRow("shift is last row") << 0 << 60 << 160 << "Shift";
    QTest::newRow("qvsrvr h") << 0 << 247 << 73 << "QvSrvr H";
    QTest::newRow("macro key h") << 0 << 255 << 65 << "Macro H";
    QTest::newRow("machine none") << 0 << 8 << 0 << "";
    QTest::newRow("monitor cut") << 1 << 1 << 1 << "Cut";
    QTest::newRow("monitor tv twice, own codes") << 1 << 11 << 31 << "TV";
    QTest::newRow("monitor near right") << 1 << 91 << 49 << "Near.R";
    QTest::newRow("monitor unknown") << 1 << 200 << 0 << "";
    QTest::newRow("macro first row has code 1") << 129 << 1 << 0 << "Full";
    QTest::newRow("macro unknown falls to row 0") << 129 << 99 << 0 << "Full";
    QTest::newRow("macro locate") << 129 << 84 << 32 << "Locate";
}

void TestFunctionTables::lookup()
{
    QFETCH(int, listKind);
    QFETCH(int, code);
    QFETCH(int, row);
    QFETCH(QString, name);
    QCOMPARE(findfunction(listKind, code), row);
    QCOMPARE(QString::fromLatin1(functionTable(listKind)[std::size_t(row)].Name), name);
}

void TestFunctionTables::namesFitTheKeys()
{
    for (int kind : {ListMachine, ListMonitor, ListMacro})
        for (const FunctionEntry& e : functionTable(kind)) {
            const QString name = QString::fromLatin1(e.Name);
            if (!name.startsWith(QLatin1String("QvSrvr")))
                QVERIFY2(name.size() <= 8, e.Name);
            QVERIFY2(qstrlen(e.Description) <= 32, e.Description);
        }
}

void TestFunctionTables::keyFace_data()
{
    QTest::addColumn<int>("listKind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<uint>("fill");
    QTest::addColumn<uint>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("stop") << 0 << 0x40 << "[]" << uint(0xFF0000) << uint(clWhite) << "$40:- Stop";
    QTest::newRow("edit off on lime") << 0 << 73 << "Off" << uint(clLime) << uint(clBlack)
                                      << "$49:- Edit Off";
    QTest::newRow("shift on yellow") << 0 << 60 << "Shift" << uint(clYellow) << uint(clBlue)
                                     << "$3C:- Shift Key";
    QTest::newRow("unknown code") << 0 << 0xEE << "" << uint(clSilver) << uint(clWhite)
                                  << "$00:- None";
    QTest::newRow("record is red") << 0 << 128 << "Bank" << uint(0x0000FF) << uint(clWhite)
                                   << "$80:- Record/Locate Cue Bank";
    QTest::newRow("monitor dim") << 1 << 2 << "Dim" << uint(clGreen) << uint(clWhite)
                                 << "$02:- Dim";
    QTest::newRow("monitor teal") << 1 << 80 << "Left" << uint(0x808000) << uint(clWhite)
                                  << "$50:- Left";
}

void TestFunctionTables::keyFace()
{
    QFETCH(int, listKind);
    QFETCH(int, code);
    const KeyFace face = zeltra::keyFace(listKind, code);
    QTEST(face.caption, "caption");
    QTEST(uint(face.fill), "fill");
    QTEST(uint(face.text), "text");
    QTEST(face.hint, "hint");
}

void TestFunctionTables::textColour_data()
{
    QTest::addColumn<uint>("fill");
    QTest::addColumn<uint>("text");
    QTest::newRow("lime") << uint(clLime) << uint(clBlack);
    QTest::newRow("yellow") << uint(clYellow) << uint(clBlue);
    QTest::newRow("green") << uint(clGreen) << uint(clWhite);
    QTest::newRow("near lime") << uint(0x00FE00) << uint(clWhite);
}

void TestFunctionTables::textColour()
{
    QFETCH(uint, fill);
    QTEST(uint(litTextColour(fill)), "text");
}

void TestFunctionTables::macroNames_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty slot") << 0 << 0 << "MA:0";
    QTest::newRow("locate") << 1 << 84 << "MB:Locate";
    QTest::newRow("no such macro") << 2 << 99 << "MC:99";
    QTest::newRow("last slot") << 7 << 1 << "MH:Full";
}

void TestFunctionTables::macroNames()
{
    QFETCH(int, slot);
    QFETCH(int, code);
    QTEST(macros::itemCaption(slot, std::uint8_t(code)), "caption");
}

QTEST_GUILESS_MAIN(TestFunctionTables)
#include "tst_function_tables.moc"
