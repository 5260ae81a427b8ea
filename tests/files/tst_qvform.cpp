#include "kit/TQvForm.h"

#include <QCloseEvent>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Absent = QStringLiteral("<absent>");

struct Folder {
    QTemporaryDir dir;
    QStringList messages;
    std::unique_ptr<TQvSettingsFile> settings;
    Folder()
    {
        QFile def(dir.filePath(QStringLiteral("zeltra.def")));
        if (def.open(QIODevice::WriteOnly))
            def.write("[APP]\nExe=zeltra\n");
        def.close();
        settings = std::make_unique<TQvSettingsFile>(dir.filePath(QStringLiteral("zeltra")),
                                                     QStringLiteral("https://www.example.com/zeltra"),
                                                     [this](const QString& m) { messages << m; });
        settings->open();
    }
    QString value(const QString& key) const
    {
        IniFile ini(settings->settingsPath());
        ini.load();
        const bool app = key == QLatin1String("Exe");
        return ini.value(QLatin1String(app ? "App" : "Current"), app ? key : QStringLiteral("<FORM>main") + key)
            .value_or(Absent);
    }
};

struct Form : TQvForm {
    Form()
    {
        setObjectName(QStringLiteral("main"));
        menuBar()->addMenu(QStringLiteral("&File"));
        setCentralWidget(new QWidget(this));
    }
};
} // namespace

class TestQvForm : public QObject {
    Q_OBJECT
private slots:
    void placementBeforeStateChange_data();
    void placementBeforeStateChange();
    void closeWritesPlacementAndExeOnce();
    void pointerMovesDriveTheTitleBar();
};

void TestQvForm::placementBeforeStateChange_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("sizeable");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("size"); // the size keys are written
    QTest::newRow("minimise normal") << int(Qt::WindowNoState) << int(Qt::WindowMinimized) << true << "1" << true;
    QTest::newRow("maximise normal") << int(Qt::WindowNoState) << int(Qt::WindowMaximized) << true << "1" << true;
    QTest::newRow("minimise maximised") << int(Qt::WindowMaximized) << int(Qt::WindowMinimized) << true << "3"
                                        << false;
    QTest::newRow("minimise fixed border") << int(Qt::WindowNoState) << int(Qt::WindowMinimized) << false << "1"
                                           << false;
}

void TestQvForm::placementBeforeStateChange()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, sizeable);
    QFETCH(QString, state);
    QFETCH(bool, size);
    Folder folder;
    Form form;
    form.setBorderStyle(sizeable ? TQvForm::BorderStyle::Sizeable : TQvForm::BorderStyle::Single);
    form.setGeometry(40, 50, 400, 300);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect frame = form.frameGeometry(); // the outer size and place are stored
    form.setWindowState(Qt::WindowStates(from));
    form.attachSettings(folder.settings.get());
    form.setWindowState(Qt::WindowStates(to));
    QCOMPARE(folder.value(QStringLiteral("_FState")), state);
    QCOMPARE(folder.value(QStringLiteral("_FWidth")), size ? QString::number(frame.width()) : Absent);
    QCOMPARE(folder.value(QStringLiteral("_FHeight")), size ? QString::number(frame.height()) : Absent);
    QCOMPARE(folder.value(QStringLiteral("_FLeft")), from == Qt::WindowNoState ? QString::number(frame.x()) : Absent);
    QCOMPARE(folder.value(QStringLiteral("_FVisible")), QStringLiteral("1"));
    QCOMPARE(folder.messages, QStringList());
}

void TestQvForm::closeWritesPlacementAndExeOnce()
{
    Folder folder;
    IniFile claim(folder.settings->settingsPath());
    claim.load();
    claim.setValue(QStringLiteral("App"), QStringLiteral("Exe"), QStringLiteral("other"));
    QVERIFY(claim.save());
    Form form;
    form.attachSettings(folder.settings.get());
    form.show();
    QVERIFY(form.close());
    QCOMPARE(folder.value(QStringLiteral("Exe")), QStringLiteral("zeltra"));
    QCOMPARE(folder.value(QStringLiteral("_FState")), QStringLiteral("1"));
    QVERIFY(folder.settings->released());
    form.show();
    form.setWindowState(Qt::WindowMinimized); // no more writes in this run
    QCOMPARE(folder.value(QStringLiteral("_FState")), QStringLiteral("1"));
}

void TestQvForm::pointerMovesDriveTheTitleBar()
{
    Form form;
    form.setAutoHideTitleBar(true);
    form.setAutoShowInactiveTitleBar(true);
    form.setGeometry(40, 50, 400, 300);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.TitleBarHidden()); // applied once the form is loaded
    QVERIFY(!form.menuBar()->isVisible());
    const int hiddenTop = form.geometry().top();
    QTest::mouseMove(form.windowHandle(), QPoint(100, 1)); // the top edge brings it back
    QVERIFY(!form.TitleBarHidden());
    QVERIFY(form.menuBar()->isVisible());
    QVERIFY(form.geometry().top() < hiddenTop); // the client area stays where it was
    for (int y : {100, 110, 120}) {
        QTest::mouseMove(form.windowHandle(), QPoint(100, y));
        QVERIFY(!form.TitleBarHidden());
    }
    QTest::mouseMove(form.windowHandle(), QPoint(100, 130)); // the fourth move over the client
    QVERIFY(form.TitleBarHidden());
    form.setAutoHideTitleBar(false);
    QVERIFY(!form.TitleBarHidden());
}

QTEST_MAIN(TestQvForm)
#include "tst_qvform.moc"
