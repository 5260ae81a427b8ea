// The rows of the function dialog: their text, the rows top-row keys never get, and the map
// between list rows and table rows.
#include "editing/FunctionList.h"
#include "model/FunctionTables.h"

#include <QTest>

using namespace zeltra;
namespace fl = zeltra::functionlist;

class TstFunctionList : public QObject {
    Q_OBJECT
  private slots:
    void rows_data();
    void rows();
    void topRowKeysNeverListLocates();
    void filter_data();
    void filter();
};

void TstFunctionList::rows_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("top");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("listRow");
    QTest::addColumn<int>("tableRow");
    QTest::addColumn<QString>("text");
    QTest::newRow("stop, six spaces") << 0 << false << 161 << 1 << 1 << "1: []       : Stop";
    QTest::newRow("none, empty name") << 0 << false << 161 << 0 << 0 << "0:          : None";
    QTest::newRow("eight-letter name")
        << 0 << false << 161 << 66 << 66 << "66: QvSrvr A : QvServer Macro A";
    QTest::newRow("lower key keeps Locate1")
        << 0 << false << 161 << 158 << 158 << "158: Locate1  : Locate & Entry In";
    QTest::newRow("top key: Locate rows gone")
        << 0 << true << 159 << 157 << 157 << "157: Chase Bi : Enable Biphase Chase";
    QTest::newRow("top key: Shift keeps number 160")
        << 0 << true << 159 << 158 << 160 << "160: Shift    : Shift Key";
    QTest::newRow("monitor, top key unfiltered")
        << 1 << true << 50 << 49 << 49 << "49: Near.R   : Nearfield Right";
    QTest::newRow("macro table") << 129 << true << 33 << 0 << 0
                                 << "0: Full     : QvServer Enab/Disab Full Displa";
    QTest::newRow("macro last") << 129 << false << 33 << 32 << 32
                                << "32: Locate   : Zq Macro 84: Locate key";
}

void TstFunctionList::rows() {
    QFETCH(int, kind);
    QFETCH(bool, top);
    QFETCH(int, listRow);
    QFETCH(int, tableRow);
    const auto rows = fl::rows(kind, top);
    QTEST(int(rows.size()), "count");
    QTEST(rows[std::size_t(listRow)].text, "text");
    QCOMPARE(fl::tableRowOf(rows, listRow), tableRow);
    QCOMPARE(fl::listRowOf(rows, tableRow), listRow);
}

void TstFunctionList::topRowKeysNeverListLocates() {
    const auto rows = fl::rows(ListMachine, true);
    for (const auto& r : rows) {
        const int code = McnFunctions()[std::size_t(r.tableRow)].Code;
        QVERIFY2(code != 71 && code != 76, qPrintable(r.text));
        QVERIFY(r.text.startsWith(QString::number(r.tableRow) + QStringLiteral(": ")));
    }
    // A top-row key that somehow holds Locate1 has no row to preselect, and no list row maps
    // to a table row that does not exist.
    QCOMPARE(fl::listRowOf(rows, findfunction(ListMachine, 71)), -1);
    QCOMPARE(fl::tableRowOf(rows, -1), -1);
    QCOMPARE(fl::tableRowOf(rows, int(rows.size())), -1);
}

void TstFunctionList::filter_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("top");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("name, any case")
        << 0 << false << "LOC-3" << QStringList{"31: Loc-3    : Locate Cue 3"};
    QTest::newRow("description") << 0 << false << "biphase"
                                 << QStringList{"157: Chase Bi : Enable Biphase Chase"};
    QTest::newRow("top key keeps Locate rows out") << 0 << true << "locate1" << QStringList{};
    QTest::newRow("lower key finds them")
        << 0 << false << "locate1" << QStringList{"158: Locate1  : Locate & Entry In"};
    QTest::newRow("spaces around")
        << 1 << false << "  near.r " << QStringList{"49: Near.R   : Nearfield Right"};
    QTest::newRow("several, in table order")
        << 0 << false << "-3"
        << QStringList{"31: Loc-3    : Locate Cue 3", "39: Loop-3   : Loop 3",
                       "48: GPO-3    : Activate GPO3 when depressed"};
    QTest::newRow("nothing") << 0 << false << "zzzz" << QStringList{};
    QTest::newRow("row number is no match") << 129 << false << "32:" << QStringList{};
}

// The filter narrows the rows; each kept row has its own text and number.
void TstFunctionList::filter() {
    QFETCH(int, kind);
    QFETCH(bool, top);
    QFETCH(QString, filter);
    QStringList texts;
    for (const auto& r : fl::matching(fl::rows(kind, top), kind, filter))
        texts << r.text;
    QTEST(texts, "texts");
}

QTEST_GUILESS_MAIN(TstFunctionList)
#include "tst_function_list.moc"
