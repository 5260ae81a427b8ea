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

// Runs `act` on the dialog once it is showing modally. Whatever `act` leaves open is closed
// afterwards and noted, so a failing step ends the test instead of hanging it.
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

TQvDlg* otherVisibleDialog(const TQvDlg& outer)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<TQvDlg*>(w); d && d != &outer && d->isVisible())
            return d;
    return nullptr;
}

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
    void entryLayout();
    void centredOnOwner();
    void centredOnPointerWithoutOwner();
    void messageOwnedByMainWindow();
    void placedWithSizeBeforeNewText();
    void messageDuringQueryGetsItsOwnDialog();
};

void TestTQvDlg::picturesLoad()
{
    TQvDlg d;
    QVERIFY(QFile::exists(QStringLiteral(":/kit/pictures/DT_DEFAULT.png")));
    QImage seen[3];
    for (int kind = 0; kind < 3; ++kind) {
        const QPixmap p = TQvDlg::picture(kind);
        QVERIFY(!p.isNull());
        QCOMPARE(p.size(), QSize(49, 49));
        seen[kind] = p.toImage();
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
    TQvDlg d;
    QString focus;
    WhenShown shown(d, [&] {
        QWidget* f = d.focusWidget();
        focus = f ? f->objectName() : QString();
        if (operation == QLatin1String("entry"))
            QTest::keyClicks(d.STR_Edit, QStringLiteral("typed"));
        TQveButton* ok = operation == QLatin1String("message") ? d.STD_OK
                         : operation == QLatin1String("query") ? d.QRY_OK
                                                               : d.STR_OK;
        TQveButton* cancel = operation == QLatin1String("query") ? d.QRY_Cancel : d.STR_Cancel;
        if (action == QLatin1String("ok"))
            QTest::mouseClick(ok, Qt::LeftButton);
        else if (action == QLatin1String("cancel"))
            QTest::mouseClick(cancel, Qt::LeftButton);
        else if (action == QLatin1String("close"))
            d.close();
        else if (f)
            QTest::keyClick(f, action == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
    });
    int result = 0;
    QString answer = QStringLiteral("unset");
    if (operation == QLatin1String("message")) {
        d.Message(QStringLiteral("Saved."));
        result = d.result();
    } else if (operation == QLatin1String("query")) {
        result = d.Query(nullptr, 1, QStringLiteral("Send it?"), QStringLiteral("Online Support"));
    } else {
        result = d.StringEntry(nullptr, 0, QStringLiteral("Label"), answer, QStringLiteral("initial"),
                               QStringLiteral("Macro"));
    }
    QVERIFY(!shown.leftOpen);
    QTEST(focus, "focus");
    QTEST(result, "result");
    if (operation == QLatin1String("entry"))
        QTEST(answer, "answer");
}

void TestTQvDlg::maskedEntry_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("masked");
    QTest::addColumn<int>("picture");
    QTest::newRow("kind 2 masks") << 2 << true << 2;
    QTest::newRow("kind 0 plain") << 0 << false << 0;
    QTest::newRow("kind 1 plain, default picture") << 1 << false << 0;
}

void TestTQvDlg::maskedEntry()
{
    QFETCH(int, kind);
    QFETCH(bool, masked);
    QFETCH(int, picture);
    TQvDlg d;
    QString shownText;
    QLineEdit::EchoMode mode = QLineEdit::NoEcho;
    QImage image;
    WhenShown shown(d, [&] {
        shownText = d.STR_Edit->displayText();
        mode = d.STR_Edit->echoMode();
        image = d.STR_Image->pixmap().toImage();
        QTest::mouseClick(d.STR_OK, Qt::LeftButton);
    });
    QString answer;
    QCOMPARE(d.StringEntry(nullptr, kind, QStringLiteral("Password"), answer, QStringLiteral("abc"),
                           QString()),
             1);
    QVERIFY(!shown.leftOpen);
    QCOMPARE(answer, QStringLiteral("abc"));
    QCOMPARE(mode, masked ? QLineEdit::Password : QLineEdit::Normal);
    QCOMPARE(shownText, masked ? QStringLiteral("***") : QStringLiteral("abc"));
    QCOMPARE(image, TQvDlg::picture(picture).toImage());
}

void TestTQvDlg::pageHeights()
{
    TQvDlg d;
    WhenShown first(d, [&] { QTest::mouseClick(d.STD_OK, Qt::LeftButton); });
    d.Message(QStringLiteral("Saved."));
    QCOMPARE(d.Pages->height(), 92);
    QCOMPARE(d.STD_OK->geometry(), QRect(224, 62, 86, 20));
    const int shortHeight = d.height();

    WhenShown second(d, [&] { QTest::mouseClick(d.QRY_OK, Qt::LeftButton); });
    d.Query(nullptr, 0, LongText, QString());
    QCOMPARE(d.QRY_Text->width(), 241);
    QVERIFY(d.QRY_Text->height() > 41);
    QCOMPARE(d.Pages->height(), d.QRY_Text->height() + 42);
    QVERIFY(d.height() > shortHeight);
    QCOMPARE(d.QRY_OK->y(), d.Pages->height() - 30);
    QCOMPARE(d.QRY_Cancel->y(), d.Pages->height() - 30);

    WhenShown third(d, [&] { QTest::mouseClick(d.QRY_OK, Qt::LeftButton); });
    d.Query(nullptr, 0, QStringLiteral("Send it?"), QString());
    QCOMPARE(d.Pages->height(), 92);
    QCOMPARE(d.height(), shortHeight);
    QVERIFY(!first.leftOpen && !second.leftOpen && !third.leftOpen);
}

void TestTQvDlg::entryLayout()
{
    TQvDlg d;
    for (const QString& prompt : {QStringLiteral("Label"), LongText}) {
        WhenShown shown(d, [&] { QTest::mouseClick(d.STR_Cancel, Qt::LeftButton); });
        QString answer;
        d.StringEntry(nullptr, 0, prompt, answer, QString(), QString());
        QVERIFY(!shown.leftOpen);
        QCOMPARE(d.STR_Edit->y(), d.STR_Text->height() + 13);
        QCOMPARE(d.STR_Edit->size(), QSize(246, 21));
        QCOMPARE(d.Pages->height(), std::max(d.STR_Edit->y() + 21 + 42, 92));
        QCOMPARE(d.STR_OK->geometry(), QRect(224, d.Pages->height() - 30, 86, 20));
        QCOMPARE(d.STR_Cancel->geometry(), QRect(129, d.Pages->height() - 30, 80, 20));
    }
    QVERIFY(d.Pages->height() > 92);
}

void TestTQvDlg::centredOnOwner()
{
    QWidget owner;
    owner.setGeometry(200, 150, 600, 401);
    TQvDlg d;
    QRect placed[2];
    QSize before[2];
    for (QRect& where : placed) {
        const std::size_t i = std::size_t(&where - placed);
        before[i] = d.frameGeometry().size();
        WhenShown shown(d, [&] {
            where = d.frameGeometry();
            QTest::mouseClick(d.QRY_OK, Qt::LeftButton);
        });
        d.Query(&owner, 0, QStringLiteral("Send it?"), QString());
        QVERIFY(!shown.leftOpen);
        QCOMPARE(where.topLeft(), zeltra::dlg::centredOn(owner.frameGeometry(), before[i]));
    }
    // Once the dialog has been shown its outer size is known, and it sits centred.
    const QPoint ownerCentre = owner.frameGeometry().center();
    QVERIFY2(qAbs(placed[1].center().x() - ownerCentre.x()) <= 1 &&
                 qAbs(placed[1].center().y() - ownerCentre.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(placed[1].x()).arg(placed[1].y())));
}

void TestTQvDlg::centredOnPointerWithoutOwner()
{
    QCursor::setPos(QPoint(500, 400));
    QCOMPARE(QCursor::pos(), QPoint(500, 400));
    TQvDlg d;
    const QSize size = d.frameGeometry().size();
    QPoint placed;
    WhenShown shown(d, [&] {
        placed = d.pos();
        QTest::mouseClick(d.STD_OK, Qt::LeftButton);
    });
    d.Message(QStringLiteral("Starting."));
    QVERIFY(!shown.leftOpen);
    QCOMPARE(placed, QPoint(500 - size.width() / 2, 400 - size.height() / 2));
}

void TestTQvDlg::messageOwnedByMainWindow()
{
    QCursor::setPos(QPoint(10, 10));
    QWidget mainWindow;
    mainWindow.setGeometry(300, 200, 700, 500);
    TQvDlg d;
    d.setMainWindow(&mainWindow);
    QPoint placed;
    WhenShown shown(d, [&] {
        placed = d.pos();
        QTest::mouseClick(d.STD_OK, Qt::LeftButton);
    });
    const QSize size = d.frameGeometry().size();
    d.Message(QStringLiteral("Saved."));
    QVERIFY(!shown.leftOpen);
    QCOMPARE(placed, zeltra::dlg::centredOn(mainWindow.frameGeometry(), size));
}

void TestTQvDlg::placedWithSizeBeforeNewText()
{
    QWidget owner;
    owner.setGeometry(100, 100, 800, 600);
    TQvDlg d;
    WhenShown tall(d, [&] { QTest::mouseClick(d.QRY_OK, Qt::LeftButton); });
    d.Query(&owner, 0, LongText, QString());
    const QSize tallSize = d.frameGeometry().size();

    QPoint placed;
    WhenShown low(d, [&] {
        placed = d.pos();
        QTest::mouseClick(d.QRY_OK, Qt::LeftButton);
    });
    d.Query(&owner, 0, QStringLiteral("Short."), QString());
    QVERIFY(!tall.leftOpen && !low.leftOpen);
    QVERIFY(d.frameGeometry().height() < tallSize.height());
    QCOMPARE(placed, QPoint(100 + (800 - tallSize.width()) / 2, 100 + (600 - tallSize.height()) / 2));
}

void TestTQvDlg::messageDuringQueryGetsItsOwnDialog()
{
    TQvDlg d;
    bool innerSeen = false;
    QString outerTextAfter;
    WhenShown shown(d, [&] {
        QTimer::singleShot(0, &d, [&] {
            if (TQvDlg* inner = otherVisibleDialog(d)) {
                innerSeen = inner->STD_Text->text() == QLatin1String("Port error.");
                QTest::mouseClick(inner->STD_OK, Qt::LeftButton);
            }
        });
        d.Message(QStringLiteral("Port error."));
        outerTextAfter = d.QRY_Text->text();
        QTest::mouseClick(d.QRY_OK, Qt::LeftButton);
    });
    QCOMPARE(d.Query(nullptr, 0, QStringLiteral("Send it?"), QString()), 1);
    QVERIFY(!shown.leftOpen);
    QVERIFY(innerSeen);
    QCOMPARE(outerTextAfter, QStringLiteral("Send it?"));
}

QTEST_MAIN(TestTQvDlg)
#include "tst_tqvdlg.moc"
