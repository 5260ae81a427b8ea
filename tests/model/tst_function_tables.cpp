#include "editor/MacroLabels.h"
#include "model/FunctionTables.h"
#include "model/KeyFaces.h"

#include <QTest>

using namespace zeltra;

class TestFunctionTables : public QObject {
    Q_OBJECT
private slots:
    void tableSizes();
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
