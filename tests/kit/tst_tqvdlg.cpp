#include "kit/TQvDlg.h"
#include "kit/TQvDlgLayout.h"
#include "kit/TQveButton.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString LongText = QStringLiteral(
    "The layout in the keyboard differs from the one on screen. Download the whole layout "
    "again before you use the keyboard, or read it back with Upload to see what it holds now; "
    "nothing is changed until you choose one of these.");

// Runs `act` once the dialog shows modally. What `act` leaves open is closed and noted, so a
// failing step ends the test instead of hanging it.
struct WhenShown {
    bool leftOpen = false;
    WhenShown(TQvDlg& d, std::function<void()> act)
    {
        QTimer::singleShot(0, &d, [this, &d, act] {
            act();
            if (d.isVisible()) {
                leftOpen = true;
                d.done(99);
            }
        });
    }
};

void click(TQveButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

} // namespace

class TestTQvDlg : public QObject {
    Q_OBJECT
private slots:
    void picturesLoad();
    void results_data();
    void results();
    void maskedEntry_data();
    void maskedEntry();
    void pageHeights();
    void placement_data();
    void placement();
    void messageDuringQueryGetsItsOwnDialog();
};

void TestTQvDlg::picturesLoad()
{
    QVERIFY(QFile::exists(QStringLiteral(":/kit/pictures/DT_LOCK.png")));
    QImage seen[3];
    for (int kind = 0; kind < 3; ++kind) {
        seen[kind] = TQvDlg::picture(kind).toImage();
        QCOMPARE(seen[kind].size(), QSize(49, 49));
    }
    QVERIFY(seen[0] != seen[1] && seen[1] != seen[2] && seen[0] != seen[2]);
    QCOMPARE(TQvDlg::picture(9).toImage(), seen[0]);
}

void TestTQvDlg::results_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("answer");

    QTest::newRow("message OK") << "message" << "ok" << "STD_OK" << 1 << "";
    QTest::newRow("message Enter") << "message" << "enter" << "STD_OK" << 1 << "";
    QTest::newRow("query OK") << "query" << "ok" << "QRY_OK" << 1 << "";
    QTest::newRow("query Cancel") << "query" << "cancel" << "QRY_OK" << 2 << "";
    QTest::newRow("query closed by the system") << "query" << "close" << "QRY_OK" << 2 << "";
    QTest::newRow("query Escape") << "query" << "escape" << "QRY_OK" << 2 << "";
    QTest::newRow("query Enter on focused OK") << "query" << "enter" << "QRY_OK" << 1 << "";
    QTest::newRow("entry OK") << "entry" << "ok" << "STR_Edit" << 1 << "typed";
    QTest::newRow("entry Enter in the edit") << "entry" << "enter" << "STR_Edit" << 1 << "typed";
    QTest::newRow("entry Cancel keeps initial") << "entry" << "cancel" << "STR_Edit" << 2 << "initial";
    QTest::newRow("entry closed keeps initial") << "entry" << "close" << "STR_Edit" << 2 << "initial";
}

void TestTQvDlg::results()
{
    QFETCH(QString, operation);
    QFETCH(QString, action);
    const bool query = operation == QLatin1String("query"), entry = operation == QLatin1String("entry");
    TQvDlg d;
    QString focus;
    WhenShown shown(d, [&] {
        QWidget* f = d.focusWidget();
        focus = f ? f->objectName() : QString();
        if (entry)
            QTest::keyClicks(d.STR_Edit, QStringLiteral("typed"));
        if (action == QLatin1String("ok"))
            click(query ? d.QRY_OK : entry ? d.STR_OK : d.STD_OK);
        else if (action == QLatin1String("cancel"))
            click(query ? d.QRY_Cancel : d.STR_Cancel);
        else if (action == QLatin1String("close"))
            d.close();
        else if (f)
            QTest::keyClick(f, action == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
    });
    int result = 0;
    QString answer;
    if (query) {
        result = d.Query(nullptr, 1, QStringLiteral("Send it?"), QStringLiteral("Online Support"));
    } else if (entry) {
        result = d.StringEntry(nullptr, 0, QStringLiteral("Label"), answer, QStringLiteral("initial"),
                               QStringLiteral("Macro"));
    } else {
        d.Message(QStringLiteral("Saved."));
        result = d.result();
    }
    QVERIFY(!shown.leftOpen);
    QTEST(focus, "focus");
    QTEST(result, "result");
    QTEST(answer, "answer");
}

void TestTQvDlg::maskedEntry_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("picture");
    QTest::newRow("kind 2 masks") << 2 << "***" << 2;
    QTest::newRow("kind 0 plain") << 0 << "abc" << 0;
    QTest::newRow("kind 1 plain, default picture") << 1 << "abc" << 0;
}

void TestTQvDlg::maskedEntry()
{
    QFETCH(int, kind);
    TQvDlg d;
    QString shownText;
    QImage image;
    WhenShown shown(d, [&] {
        shownText = d.STR_Edit->displayText();
        image = d.STR_Image->pixmap().toImage();
        click(d.STR_OK);
    });
    QString answer;
    d.StringEntry(nullptr, kind, QStringLiteral("Password"), answer, QStringLiteral("abc"), QString());
    QVERIFY(!shown.leftOpen);
    QCOMPARE(answer, QStringLiteral("abc"));
    QTEST(shownText, "shown");
    QFETCH(int, picture);
    QCOMPARE(image, TQvDlg::picture(picture).toImage());
}

void TestTQvDlg::pageHeights()
{
    TQvDlg d;
    auto query = [&](const QString& text) {
        WhenShown shown(d, [&] { click(d.QRY_OK); });
        d.Query(nullptr, 0, text, QString());
        QVERIFY(!shown.leftOpen);
    };
    query(QStringLiteral("Send it?"));
    QCOMPARE(d.Pages->height(), 92);
    QCOMPARE(d.QRY_OK->geometry(), QRect(224, 62, 86, 20));
    const int shortHeight = d.height();

    query(LongText);
    QCOMPARE(d.QRY_Text->width(), 241);
    QCOMPARE(d.Pages->height(), d.QRY_Text->height() + 42);
    QVERIFY(d.height() > shortHeight);
    QCOMPARE(d.QRY_Cancel->geometry(), QRect(112, d.Pages->height() - 30, 86, 20));

    query(QStringLiteral("Send it?"));
    QCOMPARE(d.height(), shortHeight);
    query(QStringLiteral("one\rtwo\r\nthree"));
    QCOMPARE(d.QRY_Text->text(), QStringLiteral("one\ntwo\nthree"));
    QVERIFY(d.QRY_Text->height() >= 3 * d.QRY_Text->fontMetrics().height());

    for (const QString& prompt : {QStringLiteral("Label"), LongText}) {
        WhenShown shown(d, [&] { click(d.STR_Cancel); });
        QString answer;
        d.StringEntry(nullptr, 0, prompt, answer, QString(), QString());
        QVERIFY(!shown.leftOpen);
        QCOMPARE(d.STR_Edit->geometry(), QRect(64, d.STR_Text->height() + 13, 246, 21));
        QCOMPARE(d.Pages->height(), std::max(d.STR_Edit->y() + 21 + 42, 92));
        QCOMPARE(d.STR_OK->geometry(), QRect(224, d.Pages->height() - 30, 86, 20));
    }
    QVERIFY(d.Pages->height() > 92);
}

void TestTQvDlg::placement_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("query centred on its owner") << "owner";
    QTest::newRow("message centred on the main window") << "main";
    QTest::newRow("message without main window on the pointer") << "pointer";
    QTest::newRow("placed with the size before the new text") << "before";
}

void TestTQvDlg::placement()
{
    QFETCH(QString, how);
    QWidget owner;
    owner.setGeometry(200, 150, 600, 401);
    QCursor::setPos(QPoint(500, 400));
    TQvDlg d;
    auto run = [&](const QString& text) {
        QPoint placed;
        WhenShown shown(d, [&] {
            placed = d.pos();
            d.done(1);
        });
        if (how == QLatin1String("pointer") || how == QLatin1String("main"))
            d.Message(text);
        else
            d.Query(&owner, 0, text, QString());
        return placed;
    };
    if (how == QLatin1String("main"))
        d.setMainWindow(&owner);
    run(how == QLatin1String("before") ? LongText : QStringLiteral("Saved."));
    const QSize before = d.frameGeometry().size(); // known outer size, from now on
    const QPoint placed = run(QStringLiteral("Saved."));
    const QPoint expected = how == QLatin1String("pointer")
                                ? QPoint(500 - before.width() / 2, 400 - before.height() / 2)
                                : zeltra::dlg::centredOn(owner.frameGeometry(), before);
    QCOMPARE(placed, expected);
    if (how == QLatin1String("owner")) {
        const QPoint off = QRect(placed, before).center() - owner.frameGeometry().center();
        QVERIFY(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1);
    }
}

void TestTQvDlg::messageDuringQueryGetsItsOwnDialog()
{
    TQvDlg d;
    QString innerText, outerText;
    WhenShown shown(d, [&] {
        QTimer::singleShot(0, &d, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* inner = qobject_cast<TQvDlg*>(w); inner && inner != &d && inner->isVisible()) {
                    innerText = inner->STD_Text->text();
                    click(inner->STD_OK);
                }
        });
        d.Message(QStringLiteral("Port error."));
        outerText = d.QRY_Text->text();
        click(d.QRY_OK);
    });
    QCOMPARE(d.Query(nullptr, 0, QStringLiteral("Send it?"), QString()), 1);
    QVERIFY(!shown.leftOpen);
    QCOMPARE(innerText, QStringLiteral("Port error."));
    QCOMPARE(outerText, QStringLiteral("Send it?"));
}

QTEST_MAIN(TestTQvDlg)
#include "tst_tqvdlg.moc"
