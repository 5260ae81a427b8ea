// The layout history: the unsaved mark follows the clean state alone, and the clean state is
// set by a save, an open and a kind switch.
#include "history/LayoutHistory.h"

#include <QTest>

using namespace zeltra;

class TestHistory : public QObject {
    Q_OBJECT
  private slots:
    void markFollowsCleanState_data();
    void markFollowsCleanState();
};

void TestHistory::markFollowsCleanState_data() {
    // e: an edit, n: an edit that changes nothing, u: undo, r: redo, s: saved,
    // k: kind switched (a new history, the mark kept), o: a layout opened (a new, clean one)
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("marks"); // the mark after each
    QTest::newRow("edit, undo, redo") << "eur"
                                      << "101";
    QTest::newRow("no change, no mark") << "nn"
                                        << "00";
    QTest::newRow("saved, undone past it and redone") << "esuur"
                                                      << "10110";
    QTest::newRow("undo past the save") << "eesuu"
                                        << "11011";
    QTest::newRow("switch keeps changes marked") << "ekuu"
                                                 << "1111";
    QTest::newRow("switch of a saved layout") << "eskr"
                                              << "1000";
    QTest::newRow("switch of a clean layout, edit undone") << "keu"
                                                           << "010";
    QTest::newRow("switch with changes, edit undone") << "ekeu"
                                                      << "1111";
    QTest::newRow("open is clean") << "eoe"
                                   << "101";
    QTest::newRow("edit after a save, undone") << "eseu"
                                               << "1010";
}

void TestHistory::markFollowsCleanState() {
    QFETCH(QString, steps);
    QFETCH(QString, marks);
    LayoutModel model;
    LayoutHistory history(model);
    int value = 0;
    const QMap<QChar, std::function<void()>> step{
        {'e',
         [&] {
             history.editMachine("e",
                                 [&](MachineImage& i) { i.bytes[482] = std::uint8_t(++value); });
         }},
        {'n', [&] { QVERIFY(!history.editMachine("n", [](MachineImage&) {})); }},
        {'u', [&] { history.undo(); }},
        {'r', [&] { history.redo(); }},
        {'s', [&] { history.markSaved(); }},
        {'k', [&] { history.startNew(LayoutHistory::Start::KeepMark); }},
        {'o', [&] { history.startNew(LayoutHistory::Start::Saved); }}};
    QString seen;
    for (QChar c : steps) {
        step[c]();
        seen += model.LayoutChanged ? u'1' : u'0';
    }
    QCOMPARE(seen, marks);
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
