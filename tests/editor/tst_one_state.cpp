// One layout state for every window: each kind of edit marks the layout exactly while it
// differs from its file, undo redraws every window that shows it, a kind switch closes the
// windows of the other kind whatever brought it, and the faults found at the windows' edges.
#include "ProgramWindows.h"
#include "TestFiles.h"
#include "editor/TSelFunctionF.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "kit/TQvDlg.h"
#include "link/TDownloadf.h"
#include "model/KeyLayout.h"
#include "model/LayoutFiles.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TimecodeEdit.h"
#include "timecode/TtcenterF.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

using namespace zeltra;
namespace lf = zeltra::layoutfiles;

namespace {
const QString Question = QStringLiteral("Save Changes?|Layout/Data has changed, Save Changes?");

QByteArray bytesOf(std::span<const std::uint8_t> b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// A machine layout whose keys 14, 15 and 21 carry Loc-3, Macro C and Loop-3.
QByteArray machineFile() {
    MachineImage img = defaultMachineImage();
    for (int i = 0; i < KeyCount; ++i)
        img.setKeyCode(i, defaultKeyCode(KbdMachine, i));
    img.setKeyCode(13, 162);
    img.setKeyCode(14, 250);
    img.setKeyCode(20, 170);
    return bytesOf(img.bytes);
}

// A monitor layout whose key 13 carries Shift.
QByteArray monitorFile() {
    MonitorImage img = defaultMonitorImage();
    img.setKbdType(KbdMonitor);
    for (int i = 0; i < KeyCount; ++i)
        img.setKeyCode(i, defaultKeyCode(KbdMonitor, i));
    img.setKeyCode(12, 15);
    return bytesOf(img.bytes);
}

// Runs `act` on the modal window the next call opens, once its event loop runs.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

struct Fixture : ProgramWindows {
    QString machine = folder + QStringLiteral("m.bin");
    QString monitor = folder + QStringLiteral("mon.bin");

    Fixture() {
        writeFile(machine, machineFile());
        writeFile(monitor, monitorFile());
    }
    void start() {
        create();
        w.main->show();
    }
    void open(const QString& path) {
        prompts.openFiles << path;
        w.main->Open1Click();
    }
    QAction* item(const char* name) const { return w.main->action(QString::fromLatin1(name)); }
    void rightClick(int key) { QTest::mouseClick(ProgramWindows::key(key), Qt::RightButton); }
    void shiftClick(int key) {
        QTest::mouseClick(ProgramWindows::key(key), Qt::LeftButton, Qt::ShiftModifier);
    }
    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.main, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.main, &dropped);
        QCoreApplication::processEvents();
    }
    void clickRow(QTableWidget* grid, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 1)).center());
    }
    // The mark, the caption, the close question and the file's bytes tell the same.
    void agree(const QString& path, bool changed) {
        QCOMPARE(model.LayoutChanged, changed);
        QCOMPARE(w.main->isWindowModified(), changed);
        QCOMPARE(lf::currentImage(model.data()) != readFile(path), changed);
        prompts.asked.clear();
        w.main->FormClose(); // answered No
        QCOMPARE(prompts.asked.contains(Question), changed);
    }
};

using Edit = std::function<void(Fixture&)>;

// Every way of editing a layout, by name; `machine` or not tells the layout it works on.
const QMap<QString, Edit>& edits() {
    static const QMap<QString, Edit> all{
        {"key function",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.selFunction->DescriptionList->setCurrentRow(2); // ">"
                 f.w.selFunction->BitBtn3->click();
             });
             f.rightClick(18);
         }},
        {"function list Escape",
         [](Fixture& f) {
             whenModal([&f](QWidget*) { QTest::keyClick(f.w.selFunction->FilterEdit, Qt::Key_Escape); });
             f.rightClick(18);
         }},
        {"cue timecode",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.tcenter->tcdata->setTimecode(QStringLiteral("10:20:30:00"));
                 f.w.tcenter->accept();
             });
             f.shiftClick(13);
         }},
        {"cue left as it was",
         [](Fixture& f) {
             whenModal([&f](QWidget*) { f.w.tcenter->accept(); });
             f.shiftClick(13);
         }},
        {"loop details",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.loop->EndAction->setCurrentIndex(2);
                 f.w.loop->OK->click();
             });
             f.shiftClick(20);
         }},
        {"macro by its key",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.selFunction->DescriptionList->setCurrentRow(17);
                 f.w.selFunction->BitBtn3->click();
             });
             f.shiftClick(14);
         }},
        {"macro by its item",
         [](Fixture& f) {
             f.w.main->stringEntry = [](const QString&, QString& answer, const QString&, const QString&) {
                 answer = QStringLiteral("12");
                 return int(TQvDlg::ResultOK);
             };
             f.w.main->MacroAClick(f.item("MacroA"));
         }},
        {"table row",
         [](Fixture& f) {
             f.item("Cues2")->trigger();
             f.clickRow(f.w.gpo->Grid[0], 2);
             f.w.gpo->tcedit->setTimecode(QStringLiteral("01:02:03:04"));
             f.w.gpo->savekey->click();
         }},
        {"reset all",
         [](Fixture& f) {
             f.item("Cues2")->trigger();
             f.w.gpo->Rstall->click();
         }},
        {"one to all",
         [](Fixture& f) {
             f.item("Cues2")->trigger();
             f.w.gpo->one2all->click();
         }},
        {"default keys again", [](Fixture& f) { f.item("mcnctrl")->trigger(); }},
        {"format editor",
         [](Fixture& f) {
             f.item("EditFormats1")->trigger();
             f.w.selFormat->Monformat->setCurrentRow(4);
             whenModal([&f](QWidget*) {
                 f.w.defFormat->formatname->setText(QStringLiteral("Mine"));
                 f.w.defFormat->OKBtn->click();
             });
             f.w.selFormat->BitBtn2->click();
         }},
        {"format memory",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.selFormat->Monformat->setCurrentRow(4);
                 f.w.selFormat->BitBtn1->click();
             });
             f.shiftClick(18);
         }},
        {"output trim",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.setgain->Increase->click();
                 f.w.setgain->BitBtn1->click();
             });
             f.shiftClick(1);
         }},
        {"dim level",
         [](Fixture& f) {
             whenModal([&f](QWidget*) {
                 f.w.setgain->Increase->click();
                 f.w.setgain->BitBtn1->click();
             });
             f.shiftClick(21);
         }},
        {"shift layer", [](Fixture& f) { f.shiftClick(12); }},
    };
    return all;
}
} // namespace

class TestOneState : public QObject {
    Q_OBJECT
  private slots:
    void editsAgreeWithTheFile_data();
    void editsAgreeWithTheFile();
    void undoRedrawsEveryWindow_data();
    void undoRedrawsEveryWindow();
    void kindSwitchClosesTheOtherKind_data();
    void kindSwitchClosesTheOtherKind();
    void checkedKindAgainIsAStep();
    void switchedLayoutHasNoFile();
    void formatKeyBesideTheFormatList();
    void macrosRefusedInMonitorMode();
    void cancelledOpenKeepsRowEdit();
    void undoInTheFormatList();
    void controlCharactersShownEscaped();
};

void TestOneState::editsAgreeWithTheFile_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("machine");
    QTest::addColumn<bool>("changes");
    for (const char* e : {"key function", "cue timecode", "loop details", "macro by its key",
                          "macro by its item", "table row", "reset all", "one to all",
                          "default keys again"})
        QTest::newRow(e) << QString::fromLatin1(e) << true << true;
    for (const char* e : {"format editor", "format memory", "output trim"})
        QTest::newRow(e) << QString::fromLatin1(e) << false << true;
    QTest::newRow("function list Escape") << "function list Escape" << true << false;
    QTest::newRow("cue left as it was") << "cue left as it was" << true << false;
    QTest::newRow("dim level") << "dim level" << false << false;
    QTest::newRow("shift layer") << "shift layer" << false << false;
}

// After the edit, after undoing it, after redoing it and after saving, the mark, the caption,
// the close question and the file's bytes agree; an edit that changes nothing marks nothing.
void TestOneState::editsAgreeWithTheFile() {
    QFETCH(QString, edit);
    QFETCH(bool, machine);
    QFETCH(bool, changes);
    Fixture f;
    f.start();
    const QString path = machine ? f.machine : f.monitor;
    f.open(path);
    f.agree(path, false);
    edits()[edit](f);
    f.agree(path, changes);
    QCOMPARE(f.history.count(), changes ? 1 : 0);
    if (!changes)
        return;
    f.item("Undo1")->trigger();
    f.agree(path, false);
    f.item("Redo1")->trigger();
    f.agree(path, true);
    f.item("Save1")->trigger();
    f.agree(path, false);
}

void TestOneState::undoRedrawsEveryWindow_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("machine");
    for (const char* e : {"key function", "macro by its key", "table row", "default keys again"})
        QTest::newRow(e) << QString::fromLatin1(e) << true;
    for (const char* e : {"format editor", "format memory"})
        QTest::newRow(e) << QString::fromLatin1(e) << false;
}

// What every window shows, with the machine tables and the format list open.
QStringList shown(Fixture& f) {
    QStringList s;
    for (TQveButton* k : f.w.main->KeyButtons)
        s << QStringLiteral("%1 %2 %3").arg(k->Tag()).arg(k->Caption(), k->Hint());
    for (int m = 0; m < mcn::MacroCount; ++m)
        s << f.item(qPrintable(QStringLiteral("Macro") + QChar(u'A' + m)))->text();
    if (f.w.gpo->isVisible())
        for (const auto& grid : f.w.gpo->cells())
            for (const auto& c : grid)
                s << c.timecode + c.clip;
    if (f.w.selFormat->isVisible())
        for (int r = 0; r < f.w.selFormat->Monformat->count(); ++r)
            s << f.w.selFormat->Monformat->item(r)->text();
    return s;
}

void TestOneState::undoRedrawsEveryWindow() {
    QFETCH(QString, edit);
    QFETCH(bool, machine);
    Fixture f;
    f.start();
    f.open(machine ? f.machine : f.monitor);
    machine ? f.item("Cues2")->trigger() : f.item("EditFormats1")->trigger();
    const QStringList before = shown(f);
    edits()[edit](f);
    if (!machine && !f.w.selFormat->isVisible())
        f.item("EditFormats1")->trigger(); // "Edit" ends the list
    const QStringList after = shown(f);
    QVERIFY(after != before);
    f.item("Undo1")->trigger();
    QCOMPARE(shown(f), before);
    f.item("Redo1")->trigger();
    QCOMPARE(shown(f), after);
}

void TestOneState::kindSwitchClosesTheOtherKind_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("way");
    for (const char* window : {"table window", "loop details", "timecode", "format list",
                               "format editor", "gain"})
        for (const char* way : {"menu", "open", "recent", "command line", "drop"})
            QTest::addRow("%s by %s", window, way) << QString::fromLatin1(window) << QString::fromLatin1(way);
}

// However the kind changes, a window of the kind left closes, so nothing of it edits, saves
// or sends the layout of the other kind.
void TestOneState::kindSwitchClosesTheOtherKind() {
    QFETCH(QString, window);
    QFETCH(QString, way);
    Fixture f;
    const bool machineWindow = window == "table window" || window == "loop details" || window == "timecode";
    const QString other = machineWindow ? f.monitor : f.machine;
    if (way == "command line")
        f.args = QStringList{other};
    f.create();
    if (!machineWindow)
        f.item("MonitorControl1")->trigger();
    QDialog* d = window == "table window"   ? static_cast<QDialog*>(f.w.gpo)
                 : window == "loop details" ? static_cast<QDialog*>(f.w.loop)
                 : window == "timecode"     ? static_cast<QDialog*>(f.w.tcenter)
                 : window == "format list"  ? static_cast<QDialog*>(f.w.selFormat)
                 : window == "format editor" ? static_cast<QDialog*>(f.w.defFormat)
                                             : static_cast<QDialog*>(f.w.setgain);
    d == f.w.gpo ? f.w.gpo->showTable(2) : d->show();
    QVERIFY(d->isVisible());
    if (way == "command line") {
        f.w.main->show();
    } else {
        f.w.main->show();
        if (way == "menu")
            f.item(machineWindow ? "MonitorControl1" : "mcnctrl")->trigger();
        else if (way == "open")
            f.open(other);
        else if (way == "recent") {
            f.open(other);                                  // into "Recent"
            f.open(machineWindow ? f.machine : f.monitor); // back to the window's kind
            d == f.w.gpo ? f.w.gpo->showTable(2) : d->show();
            QMenu* recent = f.w.main->menu(QStringLiteral("Recent1"));
            emit recent->aboutToShow();
            f.w.main->action(QStringLiteral("RecentFile2"))->trigger();
        } else {
            f.drop(other);
        }
    }
    QCOMPARE(f.model.KbdType(), machineWindow ? KbdMonitor : KbdMachine);
    QVERIFY(!d->isVisible());
}

// The kind already checked puts the default keys back as a step: undo gives the file's keys
// back, and the layout keeps its file.
void TestOneState::checkedKindAgainIsAStep() {
    Fixture f;
    f.start();
    f.open(f.machine);
    f.item("mcnctrl")->trigger();
    QCOMPARE(f.key(13)->Tag(), int(defaultKeyCode(KbdMachine, 13)));
    QCOMPARE(f.item("Undo1")->text(), QStringLiteral("Undo Machine Control: default keys"));
    QCOMPARE(f.w.main->windowTitle(), QStringLiteral("m.bin[*]"));
    QVERIFY(f.w.main->isWindowModified());
    f.item("Undo1")->trigger();
    QCOMPARE(f.key(13)->Tag(), 162);
    QCOMPARE(f.key(13)->Caption(), QStringLiteral("Loc-3"));
    QVERIFY(!f.model.LayoutChanged);
}

// After a switch the layout shown is a new one of default keys: the caption names no file,
// Save asks for one, and the file opened before is left alone.
void TestOneState::switchedLayoutHasNoFile() {
    Fixture f;
    f.start();
    f.open(f.machine);
    f.item("MonitorControl1")->trigger();
    f.item("mcnctrl")->trigger();
    QVERIFY2(!f.w.main->windowTitle().contains(QStringLiteral("m.bin")), qPrintable(f.w.main->windowTitle()));
    QVERIFY(!f.item("Save1")->isEnabled());
    QCOMPARE(f.key(13)->Tag(), int(defaultKeyCode(KbdMachine, 13)));
    f.prompts.asked.clear();
    QVERIFY(f.w.main->close()); // nothing edited: nothing asked
    QVERIFY(f.prompts.asked.isEmpty());
    QCOMPARE(readFile(f.machine), machineFile());
}

// A format key Shift + clicked while the list is open for editing gets the list of its own
// choice: the key's format selected, no "Edit"; OK without a choice keeps the format; the list
// for editing comes back as it was; each edit is its own step.
void TestOneState::formatKeyBesideTheFormatList() {
    Fixture f;
    f.start();
    f.open(f.monitor);
    f.item("EditFormats1")->trigger();
    TSelFormatF* s = f.w.selFormat;
    s->Monformat->setCurrentRow(9);
    int shownRow = -1;
    bool editShown = true;
    whenModal([&](QWidget* modal) {
        shownRow = s->Monformat->currentRow();
        editShown = !s->BitBtn2->isHidden();
        QCOMPARE(modal, static_cast<QWidget*>(s));
        s->BitBtn1->click();
    });
    f.shiftClick(18); // User-C: format 2
    QCOMPARE(shownRow, 2);
    QVERIFY(!editShown);
    QCOMPARE(int(f.model.MonImage.formatAssign(2)), 2);
    QCOMPARE(f.history.count(), 0);
    QVERIFY(s->isVisible() && !s->BitBtn2->isHidden());
    QCOMPARE(s->Monformat->currentRow(), 9);

    whenModal([&](QWidget*) {
        s->Monformat->setCurrentRow(4);
        s->BitBtn1->click();
    });
    f.shiftClick(18);
    whenModal([&](QWidget*) {
        s->Monformat->setCurrentRow(6);
        s->BitBtn1->click();
    });
    f.shiftClick(19); // User-D
    QCOMPARE(f.history.count(), 2);
    QCOMPARE(f.item("Undo1")->text(), QStringLiteral("Undo key 20: User-D format"));
    f.item("Undo1")->trigger();
    QCOMPARE(int(f.model.MonImage.formatAssign(2)), 4);
    QCOMPARE(int(f.model.MonImage.formatAssign(3)), 3);
}

// The macros live in the machine image only: in monitor mode their commands say so and
// change, send and mark nothing.
void TestOneState::macrosRefusedInMonitorMode() {
    Fixture f;
    f.start();
    f.open(f.monitor);
    int entries = 0;
    f.w.main->stringEntry = [&entries](const QString&, QString& answer, const QString&, const QString&) {
        ++entries;
        answer = QStringLiteral("12");
        return int(TQvDlg::ResultOK);
    };
    bool connectShown = false;
    QTimer::singleShot(0, f.w.download, [&] {
        connectShown = f.w.download->isVisible();
        f.w.download->reject();
    });
    f.w.main->MacroAClick(f.item("MacroA"));
    f.w.main->DownmacroClick();
    QCoreApplication::processEvents();
    QCOMPARE(entries, 0);
    QVERIFY(!connectShown);
    QCOMPARE(f.prompts.messages.size(), 2);
    QVERIFY(f.prompts.messages.first().contains(QStringLiteral("Machine Control")));
    QCOMPARE(f.history.count(), 0);
    QVERIFY(!f.model.LayoutChanged);
}

// A row edit in progress stays when the table window's own Open is cancelled.
void TestOneState::cancelledOpenKeepsRowEdit() {
    Fixture f;
    f.start();
    f.open(f.machine);
    f.item("Cues2")->trigger();
    TGPOF* t = f.w.gpo;
    f.clickRow(t->Grid[0], 1);
    t->tcedit->setTimecode(QStringLiteral("12:00:00:00"));
    t->findChild<QAction*>(QStringLiteral("Open1"))->trigger(); // the dialog is cancelled
    QVERIFY(t->savekey->isEnabled());
    QCOMPARE(t->editbox->title(), QStringLiteral("Edit Cue 1"));
    QCOMPARE(t->tcedit->timecode(), QStringLiteral("12:00:00:00"));
    t->savekey->click();
    QCOMPARE(t->cells()[0][0].timecode, QStringLiteral("12:00:00:00"));
}

// Undo and Redo work with the keys while the format list is the active window.
void TestOneState::undoInTheFormatList() {
    Fixture f;
    f.start();
    f.open(f.monitor);
    whenModal([&f](QWidget*) {
        f.w.selFormat->Monformat->setCurrentRow(4);
        f.w.selFormat->BitBtn1->click();
    });
    f.shiftClick(18);
    QCOMPARE(int(f.model.MonImage.formatAssign(2)), 4);
    f.item("EditFormats1")->trigger();
    QApplication::setActiveWindow(f.w.selFormat);
    QVERIFY(QTest::qWaitForWindowActive(f.w.selFormat));
    auto keys = [&f](const char* name) {
        QTest::keySequence(f.w.selFormat->Monformat,
                           f.w.selFormat->findChild<QAction*>(QLatin1String(name))->shortcut());
    };
    keys("Undo1");
    QCOMPARE(int(f.model.MonImage.formatAssign(2)), 2);
    QCOMPARE(f.key(18)->Caption(), QStringLiteral("5.1   B ")); // the key shows it too
    keys("Redo1");
    QCOMPARE(int(f.model.MonImage.formatAssign(2)), 4);
}

// An ESC or a TAB in a file's name shows as a dot in the caption and in "Recent", as the
// command line shows it.
void TestOneState::controlCharactersShownEscaped() {
    Fixture f;
    f.start();
    const QString odd = f.folder + QStringLiteral("a\x1b" "b\tc.bin");
    writeFile(odd, machineFile());
    f.open(odd);
    QCOMPARE(f.w.main->windowTitle(), QStringLiteral("a.b.c.bin[*]"));
    QMenu* recent = f.w.main->menu(QStringLiteral("Recent1"));
    emit recent->aboutToShow();
    const QString text = f.w.main->action(QStringLiteral("RecentFile1"))->text();
    QCOMPARE(text, QStringLiteral("&1 ") + QString(f.folder).replace('&', "&&") + QStringLiteral("a.b.c.bin"));
    f.w.main->action(QStringLiteral("RecentFile1"))->trigger(); // still opens the file itself
    QCOMPARE(f.model.file(), odd);
}

QTEST_MAIN(TestOneState)
#include "tst_one_state.moc"
