// The layout history: each edit a step of the bytes it changed, the unsaved mark following
// the clean state alone, and the clean state set by a save, an open and a kind switch.
#include "history/LayoutHistory.h"

#include <QTest>

using namespace zeltra;

class TestHistory : public QObject {
    Q_OBJECT
  private slots:
    void markFollowsCleanState_data();
    void markFollowsCleanState();
    void undoGivesBackEveryImage();
};

void TestHistory::markFollowsCleanState_data() {
    // e: an edit, n: an edit that changes nothing, u: undo, r: redo, s: saved,
    // k: kind switched (a new history, the mark kept), o: a layout opened (a new, clean one)
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("marks"); // the mark after each
    QTest::newRow("edit, undo, redo") << "eur" << "101";
    QTest::newRow("no change, no mark") << "nn" << "00";
    QTest::newRow("saved, undone past it and redone") << "esuur" << "10110";
    QTest::newRow("undo past the save") << "eesuu" << "11011";
    QTest::newRow("switch keeps changes marked") << "ekuu" << "1111";
    QTest::newRow("switch of a saved layout") << "eskr" << "1000";
    QTest::newRow("switch of a clean layout, edit undone") << "keu" << "010";
    QTest::newRow("switch with changes, edit undone") << "ekeu" << "1111";
    QTest::newRow("open is clean") << "eoe" << "101";
    QTest::newRow("edit after a save, undone") << "eseu" << "1010";
}

void TestHistory::markFollowsCleanState() {
    QFETCH(QString, steps);
    QFETCH(QString, marks);
    LayoutModel model;
    LayoutHistory history(model);
    int value = 0;
    QString seen;
    for (QChar step : steps) {
        switch (step.unicode()) {
        case 'e':
            history.editMachine(QStringLiteral("e"), [&value](MachineImage& i) { i.bytes[482] = std::uint8_t(++value); });
            break;
        case 'n':
            QVERIFY(!history.editMachine(QStringLiteral("n"), [](MachineImage&) {}));
            break;
        case 'u':
            history.undo();
            break;
        case 'r':
            history.redo();
            break;
        case 's':
            history.markSaved();
            break;
        case 'k':
            history.startNew(LayoutHistory::Start::KeepMark);
            break;
        default:
            history.startNew(LayoutHistory::Start::Saved);
        }
        seen += model.LayoutChanged ? u'1' : u'0';
    }
    QCOMPARE(seen, marks);
}

// Steps on both images, each holding only its own bytes, undone one by one give back each
// image as it was; redone, as it became.
void TestHistory::undoGivesBackEveryImage() {
    LayoutModel model;
    model.initDefaults(QStringLiteral("/p/"));
    LayoutHistory history(model);
    const LayoutData start = model.data();
    history.editMachine(QStringLiteral("cues"), [](MachineImage& i) {
        std::fill(i.bytes.begin() + mcn::Cues, i.bytes.begin() + mcn::Loops, 0x42);
    });
    history.editMonitor(QStringLiteral("trims"), [](MonitorImage& i) { i.bytes[mon::OutputTrim + 3] = 9; });
    history.editMachine(QStringLiteral("keys"), [](MachineImage& i) { i.setKeyCode(0, 1); i.setKeyCode(21, 2); });
    const LayoutData end = model.data();
    QCOMPARE(history.count(), 3);
    while (history.canUndo())
        history.undo();
    QVERIFY(model.McnImage == start.McnImage && model.MonImage == start.MonImage);
    while (history.canRedo())
        history.redo();
    QVERIFY(model.McnImage == end.McnImage && model.MonImage == end.MonImage);
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
