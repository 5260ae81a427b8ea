// The machine-layout editors as a user works them, on the program's own windows: the function
// dialog behind a right click, Shift + click on locate, loop and macro keys, the GPO, cue and
// loop window, and one whole edit from the table window to the saved file.
#include "ProgramWindows.h"
#include "TestFiles.h"
#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/TSelFunctionF.h"
#include "editor/Trs422kbdf.h"
#include "formats/TSelFormatF.h"
#include "kit/TQveButton.h"
#include "link/TDownloadf.h"
#include "model/KeyFaces.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TimecodeEdit.h"
#include "timecode/TtcenterF.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace zeltra;
using Bytes = QList<int>;

namespace {
struct Fixture : ProgramWindows {
    QList<int> keys;

    Fixture() {
        create();
        w.main->sendkey = [this](std::uint8_t c) { keys << c; };
        w.main->show();
    }
    void giveKey(int i, int code) { ProgramWindows::put(KbdMachine, mcn::KeyCodes + std::size_t(i), std::uint8_t(code)); }
    Bytes bytesAt(std::size_t at, int n) const {
        Bytes b;
        for (int i = 0; i < n; ++i)
            b << model.McnImage.bytes[at + std::size_t(i)];
        return b;
    }
    void put(std::size_t at, const Bytes& b) {
        for (int i = 0; i < b.size(); ++i)
            ProgramWindows::put(KbdMachine, at + std::size_t(i), std::uint8_t(b[i]));
    }
    QTableWidget* grid(int g) const { return w.gpo->Grid[std::size_t(g)]; }
    QString cell(int g, int row, int col) const { return grid(g)->item(row, col)->text(); }
};

// Runs `act` on the modal window the next call opens, once its event loop runs.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        act(modal);
    });
}

void rightClick(TQveButton* key) {
    QTest::mouseClick(key, Qt::RightButton);
}
void shiftClick(TQveButton* key) {
    QTest::mouseClick(key, Qt::LeftButton, Qt::ShiftModifier);
}

void clickRow(QTableWidget* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, 1)).center());
}
} // namespace

class TstTableWindows : public QObject {
    Q_OBJECT
  private slots:
    void rightClickChoosesFunction_data();
    void rightClickChoosesFunction();
    void monitorFormatKeyShowsFormatName();
    void shiftClickLocateEditsCue_data();
    void shiftClickLocateEditsCue();
    void shiftClickMacroEditsSlot();
    void loopDialogThenLoopGrid();
    void tableLayouts_data();
    void tableLayouts();
    void downloadSelectsBlock_data();
    void downloadSelectsBlock();
    void clipOutOfRangeRefused();
    void tableWindowIsModelessAndFollowsOpen();
    void cueEditedThroughWindowsIsSaved();
    void kindSwitchLeavesMachineFileAlone();
};

void TstTableWindows::rightClickChoosesFunction_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("choose"); // text of the row to choose; empty: Cancel
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("lower key gets Play") << 18 << "2: >        : Play/Unrecord" << 65 << ">"
                                         << "$41:- Play/Unrecord";
    QTest::newRow("lower key gets Locate1")
        << 13 << "158: Locate1  : Locate & Entry In" << 71 << "Locate1"
        << "$47:- Locate & Entry In";
    QTest::newRow("top key gets Shift, the last row")
        << 3 << "160: Shift    : Shift Key" << 60 << "Shift"
        << "$3C:- Shift Key";
    QTest::newRow("cancel keeps the function") << 18 << "" << 64 << "[]"
                                               << "$40:- Stop";
}

void TstTableWindows::rightClickChoosesFunction() {
    QFETCH(int, key);
    QFETCH(QString, choose);
    Fixture f;
    f.w.main->MonitorControl1Click(f.w.main->action("mcnctrl")); // the machine defaults
    f.history.markSaved();
    const int before = f.key(key)->Tag();
    QStringList listed;
    QString preselected;
    whenModal([&](QWidget* modal) {
        QCOMPARE(modal, static_cast<QWidget*>(f.w.selFunction));
        QListWidget* list = f.w.selFunction->DescriptionList;
        for (int i = 0; i < list->count(); ++i)
            listed << list->item(i)->text();
        preselected = list->currentItem() ? list->currentItem()->text() : QString();
        if (choose.isEmpty()) {
            f.w.selFunction->Cancel->click();
            return;
        }
        list->setCurrentRow(int(listed.indexOf(choose)));
        f.w.selFunction->BitBtn3->click();
    });
    rightClick(f.key(key));
    const bool top = key < 10;
    QCOMPARE(listed.size(), top ? 159 : 161);
    QCOMPARE(listed.filter(QStringLiteral(": Locate1 ")).isEmpty(), top);
    QCOMPARE(findfunction(ListMachine, before),
             int(listed.indexOf(preselected)) + 0); // numbering kept
    QVERIFY(preselected.startsWith(QString::number(findfunction(ListMachine, before)) + ": "));
    QTEST(f.key(key)->Tag(), "code");
    QTEST(f.key(key)->Caption(), "caption");
    QTEST(f.key(key)->Hint(), "hint");
    QCOMPARE(f.key(key)->Colors()->color(TQvColors::Fill_Lit), keyFace(0, f.key(key)->Tag()).fill);
    QCOMPARE(f.model.LayoutChanged, f.key(key)->Tag() != before); // Cancel changes nothing
    QVERIFY(f.keys.isEmpty());      // a right click sends nothing
}

void TstTableWindows::monitorFormatKeyShowsFormatName() {
    Fixture f;
    f.w.main->MonitorControl1Click(f.w.main->action("MonitorControl1"));
    whenModal([&](QWidget*) {
        QListWidget* list = f.w.selFunction->DescriptionList;
        QCOMPARE(list->count(), 50);
        list->setCurrentRow(17); // "User-B", code 49
        f.w.selFunction->BitBtn3->click();
    });
    rightClick(f.key(12));
    QCOMPARE(f.key(12)->Tag(), 49);
    QCOMPARE(f.key(12)->Caption(), QStringLiteral("LCRS    ")); // FormatAssign[1] = record 1
}

void TstTableWindows::shiftClickLocateEditsCue_data() {
    QTest::addColumn<Bytes>("before");
    QTest::addColumn<QString>("shown");
    // Keys pressed from the start of the edit: a digit, '>' (cursor right), 'x' (Delete),
    // 'c' (select all and Delete).
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("edited"); // what the edit shows before it closes
    QTest::addColumn<Bytes>("after");
    QTest::newRow("01 02 03 04 to 10:00:00:00") << Bytes{1, 2, 3, 4} << "01:02:03:04"
                                                << "10000000"
                                                << "10:00:00:00" << Bytes{0x10, 0, 0, 0};
    QTest::newRow("cleared: all blank") << Bytes{1, 2, 3, 4} << "01:02:03:04"
                                        << "c"
                                        << "__:__:__:__" << Bytes{0, 0, 0, 0};
    QTest::newRow("unfilled positions are 0") << Bytes{1, 2, 3, 4} << "01:02:03:04"
                                              << "c1"
                                              << "1_:__:__:__" << Bytes{0x10, 0, 0, 0};
    QTest::newRow("a deleted digit shifts nothing")
        << Bytes{0x12, 0x34, 0x56, 0x78} << "12:34:56:78"
        << ">>>x"
        << "12:3_:56:78" << Bytes{0x12, 0x30, 0x56, 0x78};
    QTest::newRow("skipped positions stay blank") << Bytes{0, 0, 0, 0} << "00:00:00:00"
                                                  << "c>1>>>>>9"
                                                  << "_1:__:__:_9" << Bytes{0x01, 0, 0, 0x09};
    QTest::newRow("99 minutes stored") << Bytes{0, 0, 0, 0} << "00:00:00:00"
                                       << "00990000"
                                       << "00:99:00:00" << Bytes{0, 0x99, 0, 0};
    QTest::newRow("untouched keeps bytes") << Bytes{0x1A, 0xFF, 3, 4} << "1_:__:03:04"
                                           << ""
                                           << "1_:__:03:04" << Bytes{0x1A, 0xFF, 3, 4};
}

void TstTableWindows::shiftClickLocateEditsCue() {
    QFETCH(Bytes, before);
    QFETCH(QString, keys);
    Fixture f;
    f.giveKey(13, 162); // "Loc-3": cue 2
    f.put(f.model.McnImage.cueOffset(2), before);
    f.history.markSaved();
    QString shown, edited;
    whenModal([&](QWidget* modal) {
        QCOMPARE(modal, static_cast<QWidget*>(f.w.tcenter));
        TimecodeEdit* edit = f.w.tcenter->tcdata;
        shown = edit->displayText();
        edit->setCursorPosition(0);
        for (QChar k : keys) {
            if (k == u'c') {
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Delete);
                edit->setCursorPosition(0);
            } else if (k == u'x') {
                QTest::keyClick(edit, Qt::Key_Delete);
            } else if (k == u'>') {
                QTest::keyClick(edit, Qt::Key_Right);
            } else {
                QTest::keyClicks(edit, QString(k));
            }
        }
        edited = edit->displayText();
        f.w.tcenter->close(); // the close box: what the edit holds is stored all the same
    });
    shiftClick(f.key(13));
    QTEST(shown, "shown");
    QTEST(edited, "edited");
    QTEST(f.bytesAt(f.model.McnImage.cueOffset(2), 4), "after");
    QCOMPARE(f.bytesAt(f.model.McnImage.cueOffset(2) + 4, 2), (Bytes{0, 0})); // its clip untouched
    QFETCH(Bytes, after);
    QCOMPARE(f.model.LayoutChanged, after != before); // a timecode left as it was is no edit
    QVERIFY(f.keys.isEmpty());
}

void TstTableWindows::shiftClickMacroEditsSlot() {
    Fixture f;
    f.giveKey(14, 250); // "Macro C"
    whenModal([&](QWidget*) {
        QListWidget* list = f.w.selFunction->DescriptionList;
        QCOMPARE(list->count(), 33);
        QCOMPARE(list->currentRow(), 0); // an empty slot preselects the first row
        list->setCurrentRow(17);         // "ZqLoop", code 66
        f.w.selFunction->BitBtn3->click();
    });
    shiftClick(f.key(14));
    QCOMPARE(int(f.model.McnImage.bytes[mcn::MacroTable + 2]), 66);
    QCOMPARE(f.w.main->action("MacroC")->text(), QStringLiteral("MC:ZqLoop"));
    QCOMPARE(f.key(14)->Caption(), QStringLiteral("MC:ZqLoop"));
    QCOMPARE(f.w.selFunction->ListKind, 0); // keys go on resolving in the machine table
    // A plain click on a key without parameters sends its code and edits nothing.
    f.history.markSaved();
    QTest::mouseClick(f.key(18), Qt::LeftButton);
    shiftClick(f.key(18));
    QCOMPARE(f.keys, QList<int>{f.key(18)->Tag()});
    QVERIFY(!f.model.LayoutChanged);
}

void TstTableWindows::loopDialogThenLoopGrid() {
    Fixture f;
    f.w.main->action("Showclip1")->trigger();
    f.giveKey(20, 170); // "Loop-3": loop 2
    const std::size_t at = f.model.McnImage.loopOffset(2);
    f.put(at, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 7, 0x93}); // machine 7 is no item of the list
    whenModal([&](QWidget* modal) {
        QCOMPARE(modal, static_cast<QWidget*>(f.w.loop));
        Tloopf* l = f.w.loop;
        QCOMPARE(l->LoopStart->displayText(), QStringLiteral("01:02:03:04"));
        QCOMPARE(l->LoopEnd->displayText(), QStringLiteral("05:06:07:08"));
        QCOMPARE(l->Machine->currentIndex(), -1);
        QCOMPARE(l->EndAction->currentText(), QStringLiteral("Locate and Play"));
        QCOMPARE(l->EndDest->currentText(), QStringLiteral("Loop 10"));
        l->LoopEnd->setCursorPosition(0);
        QTest::keyClicks(l->LoopEnd, "20");
        l->EndAction->setCurrentIndex(1);
        l->EndDest->setCurrentIndex(4);
        l->OK->click();
    });
    shiftClick(f.key(20));
    QCOMPARE(f.bytesAt(at, 10), (Bytes{1, 2, 3, 4, 0x20, 6, 7, 8, 7, 0x41}));
    QVERIFY(f.model.LayoutChanged);

    f.w.main->action("Loops1")->trigger();
    QVERIFY(f.w.gpo->isVisible());
    QCOMPARE(f.cell(0, 5, 0), QStringLiteral("3 In"));
    QCOMPARE(f.cell(0, 5, 1), QStringLiteral("01:02:03:04"));
    QCOMPARE(f.cell(0, 6, 1), QStringLiteral("20:06:07:08"));
    QCOMPARE(f.cell(0, 5, 2), QString::number(7 * 256 + 0x41));
    QCOMPARE(f.cell(0, 6, 2), QString());

    // While the loop table is open, the dialog's edit shows in it at once.
    clickRow(f.grid(0), 2);
    QVERIFY(!f.w.gpo->ClipEdit->isEnabled()); // an Out row has no clip
    whenModal([&](QWidget*) {
        f.w.loop->Machine->setCurrentIndex(2);
        f.w.loop->OK->click();
    });
    shiftClick(f.key(20));
    QCOMPARE(f.cell(0, 5, 2), QString::number(2 * 256 + 0x41));
    QCOMPARE(f.w.gpo->editbox->title(), QStringLiteral("Edit 1 Out")); // that row edit goes on
}

void TstTableWindows::tableLayouts_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("showClip");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("grids");
    QTest::newRow("gpo") << "GPO2" << true << "GPO Setup" << 2;
    QTest::newRow("cues with clip") << "Cues2" << true << "Cue Setup" << 4;
    QTest::newRow("cues without clip") << "Cues2" << false << "Cue Setup" << 4;
    QTest::newRow("loops") << "Loops1" << true << "Loop Setup" << 4;
}

void TstTableWindows::tableLayouts() {
    QFETCH(QString, item);
    QFETCH(bool, showClip);
    QFETCH(int, grids);
    Fixture f;
    f.model.Settings.setShowClip(showClip);
    f.w.main->action(item)->trigger();
    TGPOF* t = f.w.gpo;
    QTEST(t->windowTitle(), "caption");
    QVERIFY(!t->isModal());
    for (int g = 0; g < 4; ++g) {
        QCOMPARE(f.grid(g)->isVisible(), g < grids);
        QCOMPARE(t->Label[std::size_t(g)]->isVisible(), g < grids);
        if (g >= grids)
            continue;
        const QRect r = f.grid(g)->geometry();
        QCOMPARE(t->Label[std::size_t(g)]->geometry().center().x(), r.center().x());
        QCOMPARE(r.top(), f.grid(0)->geometry().top());
        if (g > 0)
            QCOMPARE(r.left(), f.grid(g - 1)->geometry().right() + 1 + 10);
        const bool clip = showClip && grids == 4;
        QCOMPARE(f.grid(g)->isColumnHidden(2), !clip);
        // the grid shows all its columns and rows, no more
        const int cols = f.grid(g)->columnWidth(0) + f.grid(g)->columnWidth(1) +
                         (clip ? f.grid(g)->columnWidth(2) : 0);
        QCOMPARE(r.width(), cols + 2 * f.grid(g)->frameWidth());
        QVERIFY(f.grid(g)->columnWidth(0) >= 40 && f.grid(g)->columnWidth(1) >= 60);
    }
    QCOMPARE(f.w.gpo->ClipEdit->isVisible(), showClip && grids == 4);
    QCOMPARE(f.grid(0)->geometry().left(), 4);
}

void TstTableWindows::downloadSelectsBlock_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("text");
    QTest::newRow("gpo") << "GPO2" << 7 << "GPO TC";
    QTest::newRow("cues") << "Cues2" << 5 << "Locates";
    QTest::newRow("loops") << "Loops1" << 6 << "Loops";
}

void TstTableWindows::downloadSelectsBlock() {
    QFETCH(QString, item);
    Fixture f;
    f.w.main->action(item)->trigger();
    f.giveKey(2, 77);
    // The grids' last change is in the image before the link opens.
    f.w.gpo->RstallClick();
    QString shown;
    int index = -1;
    whenModal([&](QWidget* modal) {
        QCOMPARE(modal, static_cast<QWidget*>(f.w.download));
        auto* box = f.w.download->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        index = box->currentIndex();
        shown = box->currentText();
        f.w.download->close();
    });
    f.w.gpo->findChild<QAction*>(QStringLiteral("Download1"))->trigger();
    QTEST(index, "block");
    QTEST(shown, "text");
    QCOMPARE(int(f.model.McnImage.keyCode(2)), 77);
    QCOMPARE(f.bytesAt(f.model.McnImage.gpoOffset(11), 4), (Bytes{0, 0, 0, 0}));
}

void TstTableWindows::clipOutOfRangeRefused() {
    Fixture f;
    f.model.Settings.setShowClip(true);
    f.put(f.model.McnImage.cueOffset(0), Bytes{1, 1, 1, 1, 0x01, 0x00});
    f.w.main->action("Cues2")->trigger();
    TGPOF* t = f.w.gpo;
    clickRow(f.grid(0), 1);
    QCOMPARE(t->editbox->title(), QStringLiteral("Edit Cue 1"));
    QVERIFY(t->tcedit->hasFocus() || !QApplication::focusWidget()); // offscreen may not focus
    QCOMPARE(t->ClipEdit->text(), QStringLiteral("256"));
    t->ClipEdit->setText(QStringLiteral("65536"));
    t->savekey->click();
    QCOMPARE(f.prompts.errors.size(), 1);
    QVERIFY(f.prompts.errors.first().contains(QStringLiteral("0 to 65535")));
    QCOMPARE(f.cell(0, 1, 2), QStringLiteral("256"));
    QCOMPARE(f.bytesAt(f.model.McnImage.cueOffset(0), 6), (Bytes{1, 1, 1, 1, 1, 0}));
    QVERIFY(t->savekey->isEnabled()); // still editing, so the number can be mended
    t->ClipEdit->setText(QStringLiteral("x"));
    t->savekey->click();
    QCOMPARE(f.bytesAt(f.model.McnImage.cueOffset(0), 6), (Bytes{1, 1, 1, 1, 0, 1}));
    QCOMPARE(f.cell(0, 1, 2), QStringLiteral("1")); // the grid shows what was stored
    QCOMPARE(f.grid(0)->currentRow(), 2);
    QCOMPARE(t->editbox->title(), QStringLiteral("edit"));
    QVERIFY(!t->savekey->isEnabled());
    QTest::keyClick(f.grid(0), Qt::Key_Return); // Enter on the grid selects its current row
    QCOMPARE(t->editbox->title(), QStringLiteral("Edit Cue 2"));
    QVERIFY(t->savekey->isEnabled());
}

void TstTableWindows::tableWindowIsModelessAndFollowsOpen() {
    Fixture f;
    QByteArray file(484, '\0');
    file[74 + 6 * 17] = 0x21; // cue 17
    const QString path = f.dir.path() + QStringLiteral("/other.bin");
    writeFile(path, file);
    f.w.main->action("Cues2")->trigger();
    QCOMPARE(f.cell(2, 2, 1), QStringLiteral("00:00:00:00"));
    // The main window stays usable: its Open loads a layout the open table then shows.
    f.prompts.openFiles << path;
    f.w.main->action("Open1")->trigger();
    QCOMPARE(f.cell(2, 2, 1), QStringLiteral("21:00:00:00"));
    // The table's Open goes through the main window's, and both show the new layout.
    file[74 + 6 * 17] = 0x22;
    file[4 + 18] = char(65);
    writeFile(path, file);
    f.prompts.openFiles << path;
    f.w.gpo->findChild<QAction*>(QStringLiteral("Open1"))->trigger();
    QCOMPARE(f.cell(2, 2, 1), QStringLiteral("22:00:00:00"));
    QCOMPARE(f.key(18)->Caption(), QStringLiteral(">"));
    // Switching the table while it is open writes the one shown back first.
    f.w.gpo->one2allClick();
    f.w.main->action("GPO2")->trigger();
    QCOMPARE(f.w.gpo->windowTitle(), QStringLiteral("GPO Setup"));
    QCOMPARE(f.bytesAt(f.model.McnImage.cueOffset(31), 4), (Bytes{0, 0, 0, 0}));
    QCOMPARE(f.bytesAt(f.model.McnImage.loopOffset(0), 4), (Bytes{0, 0, 0, 0}));
}

// The whole flow: open a layout, edit cue 9 in the table window with mouse and keys, save from
// the table window's own menu; the file differs from the one opened in those six bytes only.
void TstTableWindows::cueEditedThroughWindowsIsSaved() {
    Fixture f;
    QByteArray original(484, '\0');
    for (int i = 4; i < original.size(); ++i)
        original[i] = char((i * 53 + 7) & 0xFF); // cues with nibbles above 9 among them
    original[4 + 2] = 71; // key 3 of the top row: "Locate1", which that row does not list
    const QString path = f.dir.path() + QStringLiteral("/layout.bin");
    writeFile(path, original);
    f.prompts.openFiles << path;
    f.w.main->Open1Click();
    QVERIFY(f.w.main->action("Save1")->isEnabled());
    f.w.main->action("Showclip1")->trigger();
    whenModal([&](QWidget*) { // OK at once: the list's current row is not the user's choice
        f.w.selFunction->DescriptionList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        f.w.selFunction->BitBtn3->click();
    });
    rightClick(f.key(2));

    f.w.main->action("Cues2")->trigger();
    TGPOF* t = f.w.gpo;
    clickRow(f.grid(1), 2); // Cue 10: entry 9
    QCOMPARE(t->editbox->title(), QStringLiteral("Edit Cue 10"));
    t->tcedit->setFocus();
    t->tcedit->setCursorPosition(0);
    QTest::keyClicks(t->tcedit, "01020304");
    QTest::keyClick(t->tcedit, Qt::Key_Return);
    t->ClipEdit->selectAll();
    QTest::keyClicks(t->ClipEdit, "4660");
    QTest::keyClick(t->ClipEdit, Qt::Key_Return);
    QTest::keyClick(t->savekey, Qt::Key_Return);
    QCOMPARE(f.cell(1, 2, 1), QStringLiteral("01:02:03:04"));
    clickRow(f.grid(1), 3); // Cue 11, saved without typing: its bytes stay
    QTest::keyClick(t->savekey, Qt::Key_Return);
    t->findChild<QAction*>(QStringLiteral("Save1"))->trigger();
    QVERIFY(f.prompts.errors.isEmpty());

    QByteArray expected = original;
    const QByteArray cue = QByteArray::fromHex("010203041234");
    expected.replace(74 + 6 * 9, 6, cue);
    const QByteArray saved = readFile(path);
    QCOMPARE(saved.size(), 484);
    QCOMPARE(saved.mid(74 + 6 * 9, 6).toHex(' '), cue.toHex(' '));
    QCOMPARE(saved.toHex(), expected.toHex());
    QVERIFY(!f.model.LayoutChanged);
}

// A kind switch keeps the row edit, closes the windows, and leaves the machine file alone.
void TstTableWindows::kindSwitchLeavesMachineFileAlone() {
    Fixture f;
    const QByteArray original = QByteArray(484, '\0').replace(74, 1, "\x12");
    const QString path = f.dir.path() + QStringLiteral("/t.bin");
    writeFile(path, original);
    f.prompts.openFiles << path;
    f.w.main->Open1Click();
    f.w.main->action("Cues2")->trigger();
    clickRow(f.grid(0), 2);
    QTest::keyClicks(f.w.gpo->tcedit, "34");
    f.w.main->action("MonitorControl1")->trigger();
    QVERIFY(!f.w.gpo->isVisible());
    QCOMPARE(f.bytesAt(f.model.McnImage.cueOffset(1), 4), (Bytes{0x34, 0, 0, 0}));
    f.w.gpo->Save1Click();
    f.w.main->action("Cues2")->trigger();
    QCOMPARE(f.prompts.messages.size(), 2); // both refused
    f.w.main->action("EditFormats1")->trigger();
    f.w.main->shiftf->show(); // Shift on
    f.w.main->action("mcnctrl")->trigger();
    QVERIFY(!f.w.selFormat->isVisible() && f.w.main->shiftf->isHidden());
    f.w.main->action("Cues2")->trigger();
    f.w.gpo->Save1Click(); // the main window's "Save" is off after a switch: a file is asked for
    QVERIFY(f.prompts.dialogs.last().startsWith(QStringLiteral("save|")));
    QCOMPARE(readFile(path).toHex(), original.toHex());
}

QTEST_MAIN(TstTableWindows)
#include "tst_table_windows.moc"
