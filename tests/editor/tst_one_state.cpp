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
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

using namespace zeltra;

namespace {
// A layout of `kind` with its default keys but for `keys` (index, code).
template <class Image>
QByteArray layoutFile(Image img, std::int32_t kind,
                      std::initializer_list<std::pair<int, int>> keys) {
    img.setKbdType(kind);
    for (int i = 0; i < KeyCount; ++i)
        img.setKeyCode(i, defaultKeyCode(kind, i));
    for (auto [i, code] : keys)
        img.setKeyCode(i, std::uint8_t(code));
    return QByteArray(reinterpret_cast<const char*>(img.bytes.data()), qsizetype(img.bytes.size()));
}

struct Fixture : ProgramWindows {
    QString machine = folder + QStringLiteral("m.bin");
    QString monitor = folder + QStringLiteral("mon.bin");
    // Keys 14, 15 and 21 carry Loc-3, Macro C and Loop-3; monitor key 13 carries Shift.
    QByteArray machineBytes =
        layoutFile(defaultMachineImage(), KbdMachine, {{13, 162}, {14, 250}, {20, 170}});

    Fixture() {
        writeFile(machine, machineBytes);
        writeFile(monitor, layoutFile(defaultMonitorImage(), KbdMonitor, {{12, 15}}));
    }
    void start(const QString& path) {
        create();
        w.main->stringEntry = [](const QString&, QString& answer, const QString&, const QString&) {
            answer = QStringLiteral("12");
            return int(TQvDlg::ResultOK);
        };
        w.main->show();
        open(path);
    }
    void open(const QString& path) {
        prompts.openFiles << path;
        w.main->Open1Click();
    }
    QAction* item(const char* name) const { return w.main->action(QString::fromLatin1(name)); }
    // A Shift + click (or a right click) on a key; `act` runs in the window it opens.
    void click(int key, bool shift, const std::function<void()>& act = {}) {
        if (act)
            QTimer::singleShot(0, act);
        QTest::mouseClick(ProgramWindows::key(key), shift ? Qt::LeftButton : Qt::RightButton,
                          shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    void pickFunction(int row) {
        w.selFunction->DescriptionList->setCurrentRow(row);
        w.selFunction->BitBtn3->click();
    }
    void pickFormat(int key, int row) {
        click(key, true, [this, row] {
            w.selFormat->Monformat->setCurrentRow(row);
            w.selFormat->BitBtn1->click();
        });
    }
    void gainUp(int key) {
        click(key, true, [this] {
            w.setgain->Increase->click();
            w.setgain->BitBtn1->click();
        });
    }
    void editCue(int row, const QString& timecode) {
        item("Cues2")->trigger();
        QTableWidget* grid = w.gpo->Grid[0];
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 1)).center());
        w.gpo->tcedit->setTimecode(timecode);
    }
    void showRecent() { emit w.main->menu(QStringLiteral("Recent1"))->aboutToShow(); }
    void drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.main, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.main, &dropped);
        QCoreApplication::processEvents();
    }
    // The mark, the caption, the close question and the file's bytes tell the same.
    void agree(const QString& path, bool changed) {
        QCOMPARE(model.LayoutChanged, changed);
        QCOMPARE(w.main->isWindowModified(), changed);
        QCOMPARE(layoutfiles::currentImage(model.data()) != readFile(path), changed);
        prompts.asked.clear();
        w.main->FormClose(); // answered No
        QCOMPARE(prompts.asked.contains(
                     QStringLiteral("Save Changes?|Layout/Data has changed, Save Changes?")),
                 changed);
    }
    // What every window shows, with the machine tables or the format list open.
    QStringList shown() {
        QStringList s;
        for (TQveButton* k : w.main->KeyButtons)
            s << QStringLiteral("%1 %2 %3").arg(k->Tag()).arg(k->Caption(), k->Hint());
        for (int m = 0; m < mcn::MacroCount; ++m)
            s << item(qPrintable(QStringLiteral("Macro") + QChar(u'A' + m)))->text();
        if (w.gpo->isVisible())
            for (const auto& grid : w.gpo->cells())
                for (const auto& c : grid)
                    s << c.timecode + c.clip;
        for (int r = 0; w.selFormat->isVisible() && r < w.selFormat->Monformat->count(); ++r)
            s << w.selFormat->Monformat->item(r)->text();
        return s;
    }
};

using Edit = std::function<void(Fixture&)>;
// What an edit does to the layout: nothing, a change no open window shows, one they show.
constexpr int None = 0, Unshown = 1, Shown = 2;
} // namespace
Q_DECLARE_METATYPE(Edit)

class TestOneState : public QObject {
    Q_OBJECT
  private slots:
    void editsAgreeAndRedraw_data();
    void editsAgreeAndRedraw();
    void kindSwitchClosesTheOtherKind_data();
    void kindSwitchClosesTheOtherKind();
    void formatKeysBesideTheFormatList();
    void controlCharactersShownEscaped();
};

void TestOneState::editsAgreeAndRedraw_data() {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("machine"); // the layout it works on; else the monitor layout
    QTest::addColumn<int>("effect");
    QTest::newRow("key function") << Edit([](Fixture& f) {
        f.click(18, false, [&f] { f.pickFunction(2); });
    }) << true << Shown;
    QTest::newRow("function list Escape") << Edit([](Fixture& f) {
        f.click(18, false, [&f] { QTest::keyClick(f.w.selFunction->FilterEdit, Qt::Key_Escape); });
    }) << true << None;
    QTest::newRow("cue timecode") << Edit([](Fixture& f) {
        f.click(13, true, [&f] {
            f.w.tcenter->tcdata->setTimecode(QStringLiteral("10:20:30:00"));
            f.w.tcenter->accept();
        });
    }) << true << Shown;
    QTest::newRow("cue left as it was")
        << Edit([](Fixture& f) { f.click(13, true, [&f] { f.w.tcenter->accept(); }); }) << true
        << None;
    QTest::newRow("loop details") << Edit([](Fixture& f) {
        f.click(20, true, [&f] {
            f.w.loop->EndAction->setCurrentIndex(2);
            f.w.loop->OK->click();
        });
    }) << true << Unshown;
    QTest::newRow("macro by its key")
        << Edit([](Fixture& f) { f.click(14, true, [&f] { f.pickFunction(17); }); }) << true
        << Shown;
    QTest::newRow("macro by its item")
        << Edit([](Fixture& f) { f.w.main->MacroAClick(f.item("MacroA")); }) << true << Shown;
    QTest::newRow("table row") << Edit([](Fixture& f) {
        f.editCue(2, QStringLiteral("01:02:03:04"));
        f.w.gpo->savekey->click();
    }) << true << Shown;
    QTest::newRow("reset all") << Edit([](Fixture& f) { f.w.gpo->Rstall->click(); }) << true
                               << Shown;
    QTest::newRow("one to all") << Edit([](Fixture& f) { f.w.gpo->one2all->click(); }) << true
                                << Shown;
    QTest::newRow("default keys again")
        << Edit([](Fixture& f) { f.item("mcnctrl")->trigger(); }) << true << Shown;
    QTest::newRow("format editor") << Edit([](Fixture& f) {
        f.w.selFormat->Monformat->setCurrentRow(4);
        QTimer::singleShot(0, [&f] {
            f.w.defFormat->formatname->setText(QStringLiteral("Mine"));
            f.w.defFormat->OKBtn->click();
        });
        f.w.selFormat->BitBtn2->click();
        f.item("EditFormats1")->trigger(); // "Edit" ended the list
    }) << false << Shown;
    QTest::newRow("format memory")
        << Edit([](Fixture& f) { f.pickFormat(18, 4); }) << false << Shown;
    // The list open for editing: the key gets a list of its own choice, without "Edit"; OK
    // without a choice keeps the format, and the list for editing comes back as it was.
    QTest::newRow("format key beside the format list, no choice") << Edit([](Fixture& f) {
        TSelFormatF* s = f.w.selFormat;
        s->Monformat->setCurrentRow(9);
        QString shown;                  // what the list showed for the key
        f.click(18, true, [s, &shown] { // User-C: format 2
            shown = QStringLiteral("modal %1, row %2, Edit %3")
                        .arg(QApplication::activeModalWidget() == s)
                        .arg(s->Monformat->currentRow())
                        .arg(!s->BitBtn2->isHidden());
            s->BitBtn1->click();
        });
        QCOMPARE(shown, QStringLiteral("modal 1, row 2, Edit 0"));
        QVERIFY(s->isVisible() && !s->BitBtn2->isHidden());
        QCOMPARE(s->Monformat->currentRow(), 9);
    }) << false << None;
    QTest::newRow("output trim") << Edit([](Fixture& f) { f.gainUp(1); }) << false << Unshown;
    QTest::newRow("dim level") << Edit([](Fixture& f) { f.gainUp(21); }) << false << None;
    QTest::newRow("shift layer") << Edit([](Fixture& f) { f.click(12, true); }) << false << None;
    QTest::newRow("table row beside a cancelled Open") << Edit([](Fixture& f) {
        f.editCue(1, QStringLiteral("12:00:00:00"));
        f.w.gpo->findChild<QAction*>(QStringLiteral("Open1"))->trigger(); // cancelled
        f.w.gpo->savekey->click();
    }) << true << Shown;
    // The macros live in the machine image only: in monitor mode their commands say so.
    QTest::newRow("macro by its item in monitor mode") << Edit([](Fixture& f) {
        f.w.main->MacroAClick(f.item("MacroA"));
        QCOMPARE(f.prompts.messages.size(), 1);
    }) << false << None;
    QTest::newRow("macro download in monitor mode") << Edit([](Fixture& f) {
        QTimer::singleShot(0, f.w.download, [&f] { f.w.download->reject(); });
        f.w.main->DownmacroClick();
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages.first().contains(QStringLiteral("Machine Control")));
    }) << false << None;
}

// After the edit, after undoing it, after redoing it and after saving, the mark, the caption,
// the close question and the file's bytes agree, and every open window shows the layout as it
// is; an edit that changes nothing marks nothing.
void TestOneState::editsAgreeAndRedraw() {
    QFETCH(Edit, edit);
    QFETCH(bool, machine);
    QFETCH(int, effect);
    const bool changes = effect != None;
    Fixture f;
    const QString path = machine ? f.machine : f.monitor;
    f.start(path);
    f.item(machine ? "Cues2" : "EditFormats1")->trigger();
    f.agree(path, false);
    const QStringList before = f.shown();
    edit(f);
    f.agree(path, changes);
    QCOMPARE(f.history.count(), changes ? 1 : 0);
    if (!changes)
        return;
    const QStringList after = f.shown();
    QCOMPARE(after != before, effect == Shown);
    f.item("Undo1")->trigger();
    f.agree(path, false);
    QCOMPARE(f.shown(), before);
    f.item("Redo1")->trigger();
    f.agree(path, true);
    QCOMPARE(f.shown(), after);
    f.item("Save1")->trigger();
    f.agree(path, false);
}

void TestOneState::kindSwitchClosesTheOtherKind_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("way");
    for (const char* window :
         {"table window", "loop details", "timecode", "format list", "format editor", "gain"})
        for (const char* way : {"menu", "open", "recent", "command line", "drop"})
            QTest::addRow("%s by %s", window, way)
                << QString::fromLatin1(window) << QString::fromLatin1(way);
}

// However the kind changes, a window of the kind left closes, so nothing of it edits, saves
// or sends the layout of the other kind, and the caption names the file shown or none.
void TestOneState::kindSwitchClosesTheOtherKind() {
    QFETCH(QString, window);
    QFETCH(QString, way);
    Fixture f;
    const bool machineWindow =
        QStringList{"table window", "loop details", "timecode"}.contains(window);
    const QString own = machineWindow ? f.machine : f.monitor;
    const QString other = machineWindow ? f.monitor : f.machine;
    if (way == "command line")
        f.args = QStringList{other};
    f.create();
    if (!machineWindow)
        f.item("MonitorControl1")->trigger();
    const QMap<QString, QDialog*> windows{
        {"table window", f.w.gpo},      {"loop details", f.w.loop},       {"timecode", f.w.tcenter},
        {"format list", f.w.selFormat}, {"format editor", f.w.defFormat}, {"gain", f.w.setgain}};
    QDialog* d = windows[window];
    const auto showIt = [&] { d == f.w.gpo ? f.w.gpo->showTable(2) : d->show(); };
    showIt();
    QVERIFY(d->isVisible());
    f.w.main->show();
    if (way == "open") {
        f.open(other);
    } else if (way == "drop") {
        f.drop(other);
    } else if (way != "command line") { // from a file of the window's kind
        if (way == "recent")
            f.open(other); // into "Recent"
        f.open(own);
        showIt();
        f.showRecent();
        way == "menu" ? f.item(machineWindow ? "MonitorControl1" : "mcnctrl")->trigger()
                      : f.w.main->action(QStringLiteral("RecentFile2"))->trigger();
    }
    QCOMPARE(f.model.KbdType(), machineWindow ? KbdMonitor : KbdMachine);
    QVERIFY(!d->isVisible());
    // A switch by the menu leaves a new layout: Save and the caption claim no file.
    QCOMPARE(f.model.file(), way == "menu" ? QString() : other);
    QCOMPARE(f.item("Save1")->isEnabled(), way != "menu");
    QCOMPARE(f.w.main->windowTitle().contains(QStringLiteral(".bin")), way != "menu");
}

// Format keys Shift + clicked while the list is open for editing: each edit its own step, and
// Undo and Redo work while the list is the active window.
void TestOneState::formatKeysBesideTheFormatList() {
    Fixture f;
    f.start(f.monitor);
    f.item("EditFormats1")->trigger();
    f.pickFormat(18, 4);
    f.pickFormat(19, 6); // User-D
    QCOMPARE(f.history.count(), 2);
    TSelFormatF* s = f.w.selFormat;
    QApplication::setActiveWindow(s);
    QVERIFY(QTest::qWaitForWindowActive(s));
    QTest::keySequence(s->Monformat, QKeySequence::Undo);
    QCOMPARE(int(f.model.MonImage.formatAssign(2)), 4);
    QCOMPARE(int(f.model.MonImage.formatAssign(3)), 3);
    QTest::keySequence(s->Monformat, QKeySequence::Redo);
    QCOMPARE(int(f.model.MonImage.formatAssign(3)), 6);
}

// An ESC or a TAB in a file's name shows as a dot in the caption and in "Recent", as the
// command line shows it.
void TestOneState::controlCharactersShownEscaped() {
    Fixture f;
    const QString odd = f.folder + QStringLiteral("a\033b\tc.bin");
    writeFile(odd, f.machineBytes);
    f.start(odd);
    QCOMPARE(f.w.main->windowTitle(), QStringLiteral("a.b.c.bin[*]"));
    f.showRecent();
    QAction* recent = f.w.main->action(QStringLiteral("RecentFile1"));
    QCOMPARE(recent->text(), QStringLiteral("&1 ") + QString(f.folder).replace('&', "&&") +
                                 QStringLiteral("a.b.c.bin"));
    recent->trigger(); // still opens the file itself
    QCOMPARE(f.model.file(), odd);
}

QTEST_MAIN(TestOneState)
#include "tst_one_state.moc"
