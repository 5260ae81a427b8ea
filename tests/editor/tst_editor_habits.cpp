// Undo and redo, the searchable function list, recent layouts and dropped layout files.
#include "ProgramWindows.h"
#include "TestFiles.h"
#include "model/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMimeData>
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
    p.model.LayoutChanged = true;
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

    drop(p.w.main, good);
    QCOMPARE(imageBytes(p.model), machineLayout(7));
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

QTEST_MAIN(TestEditorHabits)
#include "tst_editor_habits.moc"
