#include "ProgramWindows.h"
#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/TSelFunctionF.h"
#include "editor/TShape.h"
#include "editor/Trs422kbdf.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "tables/TGPOF.h"
#include "tables/Tloopf.h"
#include "timecode/TtcenterF.h"
#include "kit/TQveButton.h"
#include "model/KeyFaces.h"
#include "model/KeyLayout.h"
#include "model/LayoutFiles.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace zeltra;

namespace {
struct Fixture : ProgramWindows {
    QList<int> jogs;
    QList<int> keys;
    int cursor = 1000;

    explicit Fixture(bool show = false)
    {
        create();
        w.main->cursorX = [this] { return cursor; };
        w.main->sendjog = [this](int v) { jogs << v; };
        w.main->sendkey = [this](std::uint8_t c) { keys << c; };
        if (show)
            w.main->show();
    }
};

QString tagOf(QAction* a) { return a->property("Tag").toString(); }
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startupTraceAndWindows();
    void keyPlaces();
    void statusBar();
    void menu_data();
    void menu();
    void keysAfterSetkbdval_data();
    void keysAfterSetkbdval();
    void unknownCodeKeepsItsTag();
    void formatKeysShowTheirRecords();
    void modeSwitch_data();
    void modeSwitch();
    void futureApplicationActsAsMachine();
    void jogWheel();
    void jogReleaseSendsZero();
    void keyClickSendsCode();
    void hintsGoToPanelTwo();
    void comItemTakesThePickerText();
    void keysSpeakTheirFunction_data();
    void keysSpeakTheirFunction();
};

void TestMainWindow::startupTraceAndWindows()
{
    Fixture f;
    const QStringList expected{
        "Splash1", "Splash1a", "Splash1b", "Splash1c", "Splash1f",
        "Splash1g " + f.dir.path() + "/rs422kbd.ini", "Splash1h", "Splash2", "Splash3",
        "Splash4", "Splash5", "Splash6", "Splash7", "Splash8", "Splash9", "Splash10", "Splash11"};
    QCOMPARE(f.title.history(), expected);
    QCOMPARE(f.w.main->windowTitle(), QStringLiteral("Load ini file"));
    const QList<QWidget*> others{f.w.gpo, f.w.selFunction, f.w.tcenter, f.w.loop, f.w.defFormat,
                                 f.w.comNumber, f.w.download, f.w.setgain, f.w.selFormat};
    for (QWidget* w : others) {
        QVERIFY(w);
        QVERIFY(w->isHidden());
        QVERIFY(!w->windowTitle().startsWith(QLatin1String("Splash")));
    }
    QVERIFY(!f.model.LayoutChanged);
}

void TestMainWindow::keyPlaces()
{
    Fixture f;
    for (int i = 0; i < KeyCount; ++i) {
        const KeyPlace& p = KeyPlaces[std::size_t(i)];
        QCOMPARE(f.key(i)->objectName(), QStringLiteral("key%1").arg(i + 1));
        QCOMPARE(f.key(i)->geometry(), QRect(p.left, p.top, p.size, p.size));
        QCOMPARE(f.key(i)->RingWidth(), quint16(1)); // described as 4, which the key refuses
    }
    QCOMPARE(f.key(0)->geometry(), QRect(611, 0, 65, 65));
    QCOMPARE(f.key(21)->geometry(), QRect(406, 197, 75, 75));
    QCOMPARE(f.w.main->Shape1->geometry(), QRect(510, 85, 200, 200));
    QVERIFY(!f.w.main->Shape2->isHidden());
    QCOMPARE(f.w.main->shiftf->geometry(), QRect(8, 176, 369, 17));
    QVERIFY(f.w.main->shiftf->isHidden());
    QVERIFY(!f.w.main->Timer1->isActive());
    QCOMPARE(f.w.main->Timer1->interval(), 100);
}

void TestMainWindow::statusBar()
{
    Fixture f;
    QCOMPARE(f.w.main->size(), QSize(751 - 16, 397 - 16 - 19));
    const int widths[] = {50, 50, 550, 50};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.w.main->StatusPanel[std::size_t(i)]->width(), widths[i]);
}

void TestMainWindow::menu_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tag");
    QTest::newRow("open") << "Open1" << "&Open" << "0";
    QTest::newRow("save") << "Save1" << "&Save" << "0";
    QTest::newRow("save as") << "SaveAs1" << "Save &As" << "0";
    QTest::newRow("export") << "Export1" << "Export JPEG" << "0";
    QTest::newRow("mail") << "mail1" << "mail" << "0";
    QTest::newRow("close") << "Close1" << "Close" << "0";
    QTest::newRow("machine") << "mcnctrl" << "Machine Control" << "0";
    QTest::newRow("monitor") << "MonitorControl1" << "Monitor Control" << "1";
    QTest::newRow("future") << "NewApplication1" << "Future Application" << "0";
    QTest::newRow("edit formats") << "EditFormats1" << "Edit Monitor Formats" << "0";
    QTest::newRow("program keys") << "ProgramKeys1" << "Program Keys" << "0";
    QTest::newRow("download") << "Download1" << "Download" << "0";
    QTest::newRow("cues") << "Cues2" << "Cues" << "2";
    QTest::newRow("loops") << "Loops1" << "Loops" << "3";
    QTest::newRow("gpo") << "GPO2" << "GPO" << "1";
    QTest::newRow("macro a") << "MacroA" << "A:" << "1";
    QTest::newRow("macro h") << "MacroH" << "H:" << "8";
    QTest::newRow("macro download") << "Downmacro" << "Download" << "0";
    QTest::newRow("clip") << "Showclip1" << "Display Clip Number" << "0";
    QTest::newRow("manual en") << "English1" << "English" << "0";
    QTest::newRow("kelvo fr") << "French2" << "French" << "0";
    QTest::newRow("all manuals") << "All1" << "All manuals" << "0";
    QTest::newRow("about") << "About1" << "About" << "0";
    QTest::newRow("support") << "OnlineSupport1" << "Online Support" << "0";
}

void TestMainWindow::menu()
{
    QFETCH(QString, name);
    Fixture f;
    QAction* a = f.w.main->action(name);
    QVERIFY2(a, qPrintable(name));
    QTEST(a->text(), "caption");
    QTEST(tagOf(a), "tag");
}

void TestMainWindow::keysAfterSetkbdval_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("machine") << 0;
    QTest::newRow("monitor") << 1;
}

void TestMainWindow::keysAfterSetkbdval()
{
    QFETCH(int, kind);
    Fixture f;
    f.model.setKbdType(kind);
    for (int i = 0; i < KeyCount; ++i) {
        f.put(KbdMachine, mcn::KeyCodes + std::size_t(i), defaultKeyCode(0, i));
        f.put(KbdMonitor, mon::KeyCodes + std::size_t(i), defaultKeyCode(1, i));
    }
    f.w.main->setkbdval();
    for (int i = 0; i < KeyCount; ++i) {
        const int code = defaultKeyCode(kind, i);
        const KeyFace face = keyFace(kind, code);
        TQveButton* k = f.key(i);
        QCOMPARE(k->Tag(), code);
        QCOMPARE(k->Colors()->color(TQvColors::Fill_Lit), face.fill);
        QCOMPARE(k->Colors()->color(TQvColors::Text_Lit), face.text);
        QCOMPARE(k->Hint(), face.hint);
        QVERIFY(k->Lit());
        if (kind == 0 || code < 48 || code > 63)
            QCOMPARE(k->Caption(), face.caption);
    }
    if (kind == 0) {
        QCOMPARE(f.key(18)->Caption(), QStringLiteral("[]"));
        QCOMPARE(f.key(18)->Hint(), QStringLiteral("$40:- Stop"));
        QCOMPARE(f.key(15)->Colors()->color(TQvColors::Text_Lit), clBlack); // "Off" on lime
    } else {
        QCOMPARE(f.key(0)->Caption(), QStringLiteral("Cal-B"));
        QCOMPARE(f.key(0)->Colors()->color(TQvColors::Fill_Lit), clFuchsia);
        QCOMPARE(f.key(16)->Caption(), QStringLiteral("StereoA4")); // User-A, slot 0
        QCOMPARE(f.key(17)->Caption(), QStringLiteral("LCRS    ")); // User-B, slot 1
        QCOMPARE(f.w.selFunction->ListKind, 1);
    }
}

void TestMainWindow::unknownCodeKeepsItsTag()
{
    Fixture f;
    f.put(KbdMachine, 4 + 3, 0xEE);
    f.w.main->setkbdval();
    QCOMPARE(f.key(3)->Tag(), 0xEE);
    QCOMPARE(f.key(3)->Caption(), QString());
    QCOMPARE(f.key(3)->Hint(), QStringLiteral("$00:- None"));
    QCOMPARE(f.key(3)->Colors()->color(TQvColors::Fill_Lit), clSilver);
    QCOMPARE(f.model.McnImage.bytes[4 + 3], std::uint8_t(0xEE));
}

void TestMainWindow::formatKeysShowTheirRecords()
{
    Fixture f;
    f.model.setKbdType(KbdMonitor);
    f.put(KbdMonitor, 4 + 16, 48); // key17: User-A
    f.put(KbdMonitor, 4 + 17, 57); // key18: User-J
    f.put(KbdMonitor, mon::FormatAssign + 0, 2);
    f.put(KbdMonitor, mon::FormatAssign + 8, 1);
    f.put(KbdMonitor, mon::FormatAssign + 9, 3);
    f.w.main->setkbdval();
    QCOMPARE(f.key(16)->Caption(), QStringLiteral("5.1   B "));
    QCOMPARE(f.key(17)->Caption(), QStringLiteral("StereoC1"));
    f.w.main->shiftf->show();
    f.w.main->setkbdval();
    QCOMPARE(f.key(16)->Caption(), QStringLiteral("LCRS    "));
    QCOMPARE(f.key(17)->Caption(), QStringLiteral("StereoC1")); // no shifted slot of its own
}

void TestMainWindow::modeSwitch_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("kind");
    QTest::newRow("to monitor") << "MonitorControl1" << 1;
    QTest::newRow("to machine") << "mcnctrl" << 0;
}

void TestMainWindow::modeSwitch()
{
    QFETCH(QString, item);
    QFETCH(int, kind);
    Fixture f(true);
    for (std::size_t i = 0; i < mcn::Size; ++i)
        f.put(KbdMachine, i, std::uint8_t(i * 7));
    for (std::size_t i = 0; i < mon::Size; ++i)
        f.put(KbdMonitor, i, std::uint8_t(i * 13));
    f.change(KbdMachine, 482, 0x5A); // an unsaved change
    MachineImage mcn = f.model.McnImage;
    MonitorImage mon = f.model.MonImage;
    // Every table as it was; the keys of the kind switched to are its default keys.
    for (int i = 0; i < KeyCount; ++i)
        kind == 0 ? mcn.setKeyCode(i, defaultKeyCode(0, i)) : mon.setKeyCode(i, defaultKeyCode(1, i));
    f.w.main->action(item)->trigger();
    QCOMPARE(f.model.KbdType(), kind);
    QVERIFY(f.model.McnImage == mcn);
    QVERIFY(f.model.MonImage == mon);
    QVERIFY(f.model.LayoutChanged);
    QVERIFY(!f.w.main->action("Save1")->isEnabled());
    for (int i = 0; i < KeyCount; ++i)
        QCOMPARE(f.key(i)->Tag(), int(defaultKeyCode(kind, i)));
    const bool monitor = kind == 1;
    QCOMPARE(f.w.main->action("MonitorControl1")->isChecked(), monitor);
    QCOMPARE(f.w.main->action("EditFormats1")->isVisible(), monitor);
    QCOMPARE(f.w.main->action("Format2")->isVisible(), monitor);
    QCOMPARE(f.w.main->Shape2->isHidden(), monitor);
    QCOMPARE(f.w.main->Shape1->geometry(),
             monitor ? QRect(560, 135, 100, 100) : QRect(510, 85, 200, 200));
    QCOMPARE(f.w.main->menuBar()->property("Tag").toInt(), kind);
}

void TestMainWindow::futureApplicationActsAsMachine()
{
    Fixture f(true);
    f.w.main->action("MonitorControl1")->trigger();
    f.w.main->action("NewApplication1")->trigger();
    QCOMPARE(f.model.KbdType(), 0);
    QVERIFY(f.w.main->action("mcnctrl")->isChecked());
    QVERIFY(!f.w.main->action("NewApplication1")->isChecked());
    QCOMPARE(f.key(0)->Caption(), QStringLiteral("Jog"));
}

void TestMainWindow::jogWheel()
{
    Fixture f(true);
    Trs422kbdf* m = f.w.main;
    f.cursor = 300;
    emit m->Shape1->OnMouseDown(m->Shape1);
    QVERIFY(m->Timer1->isActive());
    f.cursor = 450; // 150 to the right: clamped
    m->Timer1Timer();
    QCOMPARE(f.jogs, QList<int>{100});
    QCOMPARE(m->StatusPanel[3]->text(), QStringLiteral("100"));
    QCOMPARE(double(f.model.JogAngle), -1.5);
    QCOMPARE(m->Shape2->pos(), QPoint(595 + 80, 85 + 85 - 6)); // sin -1.5 = -0.997, cos 0.0707
    f.cursor = 290;
    m->Timer1Timer();
    QCOMPARE(f.jogs.last(), -10);
    QCOMPARE(m->StatusPanel[3]->text(), QStringLiteral("-10"));
    f.cursor = -500;
    m->Timer1Timer();
    QCOMPARE(f.jogs.last(), -100);
}

void TestMainWindow::jogReleaseSendsZero()
{
    Fixture f(true);
    Trs422kbdf* m = f.w.main;
    emit m->Shape2->OnMouseDown(m->Shape2);
    emit m->Shape2->OnMouseUp(m->Shape2);
    QVERIFY(!m->Timer1->isActive());
    QCOMPARE(f.jogs, QList<int>{0});
}

void TestMainWindow::keyClickSendsCode()
{
    Fixture f(true);
    QTest::mouseClick(f.key(18), Qt::LeftButton);
    QVERIFY(!f.model.LayoutChanged);
    QTimer::singleShot(0, f.w.selFunction, [&f] { f.w.selFunction->reject(); }); // the right click's dialog
    QTest::mouseClick(f.key(18), Qt::RightButton);
    QTest::mouseClick(f.key(18), Qt::MiddleButton);
    QCOMPARE(f.keys, QList<int>{64});
    QTest::mouseClick(f.key(3), Qt::LeftButton);
    QCOMPARE(f.keys.last(), 194);
    QVERIFY(f.model.TopRowKey);
}

void TestMainWindow::hintsGoToPanelTwo()
{
    Fixture f(true);
    QStatusTipEvent tip(f.key(18)->Hint());
    QCoreApplication::sendEvent(f.key(18), &tip);
    QCOMPARE(f.w.main->StatusPanel[2]->text(), QStringLiteral("$40:- Stop"));
}

void TestMainWindow::comItemTakesThePickerText()
{
    Fixture f(true);
    QCOMPARE(f.w.main->action("Com1")->text(), QStringLiteral("Com:1"));
    QTimer::singleShot(0, f.w.comNumber, [&f] {
        auto* box = f.w.comNumber->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        QVERIFY(box);
        box->setEditText(QStringLiteral("COM0")); // no device: the open fails
        f.w.comNumber->close();
    });
    f.w.main->Com1Click();
    QCOMPARE(f.model.Settings.comPort(), 0);
    QCOMPARE(f.w.main->action("Com1")->text(), QStringLiteral("COM0"));
    QVERIFY(f.prompts.asked.last().contains(QLatin1String("|Com Port Invalid\nCOM0 names no device")));
}

void TestMainWindow::keysSpeakTheirFunction_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("machine layout") << 0;
    QTest::newRow("monitor layout") << 1;
}

// After a layout loads, every key is a push button to assistive tools, named by its caption
// and described by its hint; it is pressed by the tool's action, by Space after Tab reached it,
// and its name follows the caption when the mode is switched.
void TestMainWindow::keysSpeakTheirFunction()
{
    QFETCH(int, kind);
    Fixture f(true);
    QApplication::setActiveWindow(f.w.main);
    QVERIFY(QTest::qWaitForWindowActive(f.w.main));
    // A layout of the other kind first, so that loading this one changes every caption source.
    LayoutData source;
    source.initDefaults(f.dir.path() + QLatin1Char('/'));
    source.setKbdType(kind);
    QByteArray image = layoutfiles::currentImage(source);
    image[0] = char(kind);
    const QString path = f.dir.filePath(QStringLiteral("layout.bin"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    f.w.main->MonitorControl1Click(f.w.main->action(kind == 0 ? QStringLiteral("MonitorControl1") : QStringLiteral("mcnctrl")));
    f.prompts.openFiles << path;
    f.w.main->Open1Click();
    QCOMPARE(f.model.KbdType(), kind);

    auto checkAll = [&] {
        for (TQveButton* key : f.w.main->KeyButtons) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(key);
            QVERIFY(a);
            QCOMPARE(a->role(), QAccessible::Button);
            QVERIFY2(!key->Caption().isEmpty() || key->Tag() == 0, qPrintable(key->objectName()));
            QCOMPARE(a->text(QAccessible::Name), key->Caption());
            QCOMPARE(a->text(QAccessible::Description), key->Hint());
            QVERIFY(a->state().focusable);
        }
    };
    checkAll();

    TQveButton* third = f.key(2);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(third);
    QVERIFY(a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(f.keys, QList<int>{third->Tag()});

    f.key(0)->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(f.key(0)->hasFocus());
    QTest::keyClick(f.key(0), Qt::Key_Tab);
    QTRY_VERIFY(f.key(1)->hasFocus());
    QTest::keyClick(f.key(1), Qt::Key_Space);
    QCOMPARE(f.keys, (QList<int>{third->Tag(), f.key(1)->Tag()}));

    // The other mode: new captions and hints, names and descriptions with them.
    f.w.main->MonitorControl1Click(f.w.main->action(kind == 1 ? QStringLiteral("mcnctrl") : QStringLiteral("MonitorControl1")));
    checkAll();
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
