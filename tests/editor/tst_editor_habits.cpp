// Undo and redo, the searchable function list, recent layouts and dropped layout files.
#include "ProgramWindows.h"
#include "TestFiles.h"
#include "editor/TSelFunctionF.h"
#include "model/LayoutFiles.h"
#include "model/RecentFiles.h"
#include "tables/TGPOF.h"
#include "timecode/TimecodeEdit.h"
#include "timecode/TtcenterF.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

using namespace zeltra;

namespace {
QByteArray machineLayout(std::uint8_t seed) {
    QByteArray b(484, '\0');
    for (int i = 4; i < b.size(); ++i)
        b[i] = char((i * 31 + seed) & 0xFF);
    return b;
}

QByteArray imageBytes(const LayoutModel& m) {
    return QByteArray(reinterpret_cast<const char*>(m.McnImage.bytes.data()), 484);
}

void drop(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
    QCoreApplication::processEvents();
}

// Runs `act` on the modal window the next call opens, once its event loop runs.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

// What Save would write, and what every key shows and tells assistive technology.
QString layoutState(ProgramWindows& p) {
    QString s = QString::fromLatin1(layoutfiles::currentImage(p.model.data()).toHex());
    for (int i = 0; i < KeyCount; ++i) {
        TQveButton* k = p.key(i);
        s += QStringLiteral("|%1,%2,%3,%4,%5,%6")
                 .arg(k->Tag())
                 .arg(k->Caption(), k->Hint())
                 .arg(k->Colors()->color(TQvColors::Fill_Lit))
                 .arg(k->Colors()->color(TQvColors::Text_Lit))
                 .arg(QAccessible::queryAccessibleInterface(k)->text(QAccessible::Name));
    }
    return s;
}

QStringList recentItems(Trs422kbdf* main) {
    QMenu* recent = main->menu(QStringLiteral("Recent1"));
    emit recent->aboutToShow();
    QStringList items;
    for (QAction* a : recent->actions())
        if (!a->isSeparator())
            items << a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)"));
    return items;
}
} // namespace

class TestEditorHabits : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { qputenv("ZELTRA_COM1", "/nonexistent/zeltra-test-port"); }
    void recentRules_data();
    void recentRules();
    void droppedLayoutOpens();
    void installedCopyOpensAtHome();
    void undoTakesEveryEditBack();
};

void TestEditorHabits::recentRules_data() {
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    const QStringList eight{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"};
    QTest::newRow("first") << QStringList{} << "/a.bin" << QStringList{"/a.bin"};
    QTest::newRow("newest first") << QStringList{"/a"} << "/b" << QStringList{"/b", "/a"};
    QTest::newRow("again moves up")
        << QStringList{"/a", "/b", "/c"} << "/c" << QStringList{"/c", "/a", "/b"};
    QTest::newRow("ninth drops oldest") << eight << "/9" << (QStringList{"/9"} + eight.mid(0, 7));
    QTest::newRow("two lines refused") << QStringList{"/a"} << "/x\n/y" << QStringList{"/a"};
    QTest::newRow("stored junk cleaned")
        << QStringList{"", "/a", "/a", QString(5000, 'x')} << "" << QStringList{"/a"};
}

void TestEditorHabits::recentRules() {
    QFETCH(QStringList, list);
    QFETCH(QString, path);
    QTEST(recent::added(list, path), "expected");
}

// A dropped layout opens as "Open" does: the question about changes first, the file's message
// when it is no layout (and nothing changes), and the file joins "Recent".
void TestEditorHabits::droppedLayoutOpens() {
    ProgramWindows p;
    const QString good = p.folder + QStringLiteral("good & new.bin"),
                  empty = p.folder + QStringLiteral("empty.bin");
    writeFile(good, machineLayout(7));
    writeFile(empty, {});
    p.create();
    p.w.main->show();
    p.change(KbdMachine, 482, 0x5A); // an unsaved change
    p.prompts.asked.clear();
    const QByteArray before = imageBytes(p.model);

    drop(p.w.main, empty);
    QCOMPARE(p.prompts.asked.first(),
             QStringLiteral("Save Changes?|Layout/Data has changed, Save Changes?"));
    QVERIFY2(p.prompts.errors.join(' ').contains(QStringLiteral("The file is empty.")),
             qPrintable(p.prompts.asked.join('\n')));
    QCOMPARE(imageBytes(p.model), before);
    QVERIFY(p.model.Settings.lastFile().isEmpty());
    QCOMPARE(recentItems(p.w.main), QStringList{QStringLiteral("Clear (off)")});

    p.w.main->action(QStringLiteral("Cues2"))->trigger();
    drop(p.w.main, good);
    QCOMPARE(imageBytes(p.model), machineLayout(7));
    QCOMPARE(p.w.gpo->cells(), tables::fill(p.model.McnImage, tables::Cues)); // not the old table
    QCOMPARE(p.model.Settings.lastFile(), good);
    QVERIFY(!p.model.LayoutChanged);
    QCOMPARE(p.w.main->windowTitle(), QStringLiteral("good & new.bin[*]"));
    QVERIFY(!p.w.main->isWindowModified());
    QCOMPARE(recentItems(p.w.main),
             (QStringList{"&1 " + QString(good).replace("&", "&&"), "Clear"}));

    QFile::remove(good);
    QCOMPARE(recentItems(p.w.main).first(), "&1 " + QString(good).replace("&", "&&") + " (off)");
    for (QAction* a : p.w.main->menu(QStringLiteral("Recent1"))->actions())
        if (a->objectName() == QLatin1String("ClearRecent1"))
            a->trigger();
    QCOMPARE(recentItems(p.w.main), QStringList{QStringLiteral("Clear (off)")});
}

// Settings kept away from the program folder mark an installed copy; its folder is not where
// the user's layouts are.
void TestEditorHabits::installedCopyOpensAtHome() {
    ProgramWindows p;
    p.model.SettingsDir = p.folder + QStringLiteral("config/");
    p.create();
    p.w.main->Open1Click();
    QCOMPARE(p.prompts.dialogs.value(0).section('|', 2, 2), QDir::homePath() + '/');
}

// Edits through the windows, each one step; undoing them all gives back the opened layout byte
// for byte, with nothing to save, and redoing them gives back the edited one.
void TestEditorHabits::undoTakesEveryEditBack() {
    ProgramWindows p;
    const QString path = p.folder + QStringLiteral("keys.bin");
    writeFile(path, machineLayout(3));
    p.create();
    p.w.main->show();
    p.prompts.openFiles << path;
    p.w.main->Open1Click();
    const QString opened = layoutState(p);
    QAction* undo = p.w.main->action(QStringLiteral("Undo1"));

    whenModal([&p](QWidget*) { // the function list, narrowed to the one row, then Enter
        QTest::keyClicks(p.w.selFunction->FilterEdit, QStringLiteral("loc-3"));
        QTest::keyClick(p.w.selFunction->FilterEdit, Qt::Key_Return);
    });
    QTest::mouseClick(p.key(4), Qt::RightButton);
    QCOMPARE(undo->text(), QStringLiteral("Undo key 5: Loc-3"));
    QVERIFY(p.w.main->isWindowModified());
    whenModal([&p](QWidget*) {
        p.w.tcenter->tcdata->setTimecode(QStringLiteral("10:20:30:00"));
        p.w.tcenter->accept();
    });
    QTest::mouseClick(p.key(4), Qt::LeftButton, Qt::ShiftModifier);
    p.w.main->action(QStringLiteral("Cues2"))->trigger();
    p.w.gpo->one2allClick();
    p.w.gpo->RstallClick();
    QCOMPARE(undo->text(), QStringLiteral("Undo Cue Setup: Reset All"));
    p.w.main->stringEntry = [](const QString&, QString& answer, const QString&, const QString&) {
        answer = QStringLiteral("12");
        return 1;
    };
    p.w.main->MacroAClick(p.w.main->action(QStringLiteral("MacroA")));
    QCOMPARE(p.history.count(), 5); // no step lost, none merged
    const QString edited = layoutState(p);

    p.w.gpo->findChild<QAction*>(QStringLiteral("Undo1"))->trigger(); // the table window's own
    while (undo->isEnabled())
        undo->trigger();
    QCOMPARE(layoutState(p), opened);
    QCOMPARE(p.w.gpo->cells(),
             tables::fill(p.model.McnImage, tables::Cues)); // it shows the undone table
    QVERIFY(!p.model.LayoutChanged);
    QVERIFY(!p.w.main->isWindowModified());
    while (p.history.canRedo())
        p.w.main->action(QStringLiteral("Redo1"))->trigger();
    QCOMPARE(layoutState(p), edited);
    while (p.history.canUndo())
        p.history.undo();
    p.prompts.asked.clear();
    p.w.main->close();
    QVERIFY2(p.prompts.asked.isEmpty(),
             qPrintable(p.prompts.asked.join('\n'))); // closing asks nothing
}

QTEST_MAIN(TestEditorHabits)
#include "tst_editor_habits.moc"
