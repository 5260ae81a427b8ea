#include "kit/QtColours.h"
#include "kit/TQveButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace zeltra;

namespace {

constexpr Colour Fill = 0x00D0FF, Ring = 0x800000, Text = 0x0000FF, OtherText = 0xFF0000;
constexpr Colour FillDisabled = 0xB0B0B0, RingDisabled = 0x505050;

// A button in the Off state with colours of its own, and text drawn without smoothing so
// text pixels carry the text colour exactly.
void prepare(TQveButton& b)
{
    b.Colors()->setColor(TQvColors::Fill_Off, Fill);
    b.Colors()->setColor(TQvColors::Ring_Off, Ring);
    b.Colors()->setColor(TQvColors::Text_Off, Text);
    b.Colors()->setColor(TQvColors::Fill_Disabled, FillDisabled);
    b.Colors()->setColor(TQvColors::Ring_Disabled, RingDisabled);
    QFont f = b.font();
    f.setStyleStrategy(QFont::NoAntialias);
    f.setPixelSize(12);
    b.setFont(f);
}

QImage picture(TQveButton& b) { return b.grab().toImage().convertToFormat(QImage::Format_ARGB32); }

bool is(const QImage& img, int x, int y, Colour c)
{
    return img.pixelColor(x, y).alpha() == 255 && fromQColor(img.pixelColor(x, y)) == c;
}

int count(const QImage& img, QRect area, Colour c)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += is(img, x, y, c);
    return n;
}

void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
           QPoint pos = QPoint(10, 10))
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Every event of a button in firing order; "!" marks the button as pressed at that moment.
struct Recorder {
    QStringList log;
    explicit Recorder(TQveButton& b)
    {
        using Mods = Qt::KeyboardModifiers;
        auto name = [](Qt::MouseButton m) {
            return m == Qt::LeftButton ? "L" : m == Qt::RightButton ? "R" : "M";
        };
        auto mark = [](TQveButton* s) { return s->Timedout() ? "!" : ""; };
        QObject::connect(&b, &TQveButton::OnMouseDown,
                         [=, this](TQveButton* s, Qt::MouseButton m, Mods, QPoint) {
                             log << QStringLiteral("down%1%2").arg(name(m), mark(s));
                         });
        QObject::connect(&b, &TQveButton::OnMouseUp,
                         [=, this](TQveButton*, Qt::MouseButton m, Mods, QPoint) {
                             log << QStringLiteral("up%1").arg(name(m));
                         });
        QObject::connect(&b, &TQveButton::OnUpdTimer, [=, this](TQveButton* s, bool depressed) {
            log << QStringLiteral("upd%1%2").arg(int(depressed)).arg(mark(s));
        });
        QObject::connect(&b, &TQveButton::OnClick, [this] { log << QStringLiteral("click"); });
        QObject::connect(&b, &TQveButton::OnRightClick, [this] { log << QStringLiteral("right"); });
    }
    QString text() const { return log.join(QLatin1Char(' ')); }
};

} // namespace

class TestTQveButton : public QObject {
    Q_OBJECT
private slots:
    void eventOrder_data();
    void eventOrder();
    void timedoutWhileHeld();
    void keys_data();
    void keys();
    void ringPixels_data();
    void ringPixels();
    void clearPaintsOnlyParentBackground();
    void captionClippedOnOpaqueBackground();
    void disabledLookKeepsTextColour();
    void focusMark();
};

void TestTQveButton::eventOrder_data()
{
    // Steps: p (press) or r (release) or x (release far from the button), then L, R or M.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("events");
    QTest::newRow("left") << "pL rL" << "downL upd1! click upd0 upL";
    QTest::newRow("right") << "pR rR" << "downR upd1! right upd0 upR";
    QTest::newRow("middle") << "pM rM" << "downM upd1! upd0 upM";
    QTest::newRow("both held") << "pL pR rR rL" << "downL upd1! downR! upd1! right click upd0 upR upL";
    QTest::newRow("released elsewhere") << "pL xL" << "downL upd1! click upd0 upL";
}

void TestTQveButton::eventOrder()
{
    QFETCH(QString, steps);
    TQveButton b;
    Recorder rec(b);
    Qt::MouseButtons held;
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        const Qt::MouseButton m = step[1] == QLatin1Char('L')   ? Qt::LeftButton
                                  : step[1] == QLatin1Char('R') ? Qt::RightButton
                                                                : Qt::MiddleButton;
        if (step[0] == QLatin1Char('p')) {
            mouse(&b, QEvent::MouseButtonPress, m, held |= m);
        } else {
            held &= ~Qt::MouseButtons(m);
            mouse(&b, QEvent::MouseButtonRelease, m, held,
                  step[0] == QLatin1Char('x') ? QPoint(300, -40) : QPoint(10, 10));
        }
    }
    QTEST(rec.text(), "events");
}

void TestTQveButton::timedoutWhileHeld()
{
    TQveButton b;
    Recorder rec(b);
    b.setTimedout(true); // not held: nothing
    mouse(&b, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    b.setTimedout(false);
    QCOMPARE(rec.text(), QStringLiteral("downL upd1! right"));
    mouse(&b, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(rec.text(), QStringLiteral("downL upd1! right upL"));
}

void TestTQveButton::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("events");
    QTest::newRow("Return") << int(Qt::Key_Return) << "click";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "click";
    // Space presses and releases like the left mouse button, as on the platform's buttons.
    QTest::newRow("Space") << int(Qt::Key_Space) << "downL upd1! click upd0 upL";
    QTest::newRow("menu key") << int(Qt::Key_Menu) << "right";
    QTest::newRow("letter") << int(Qt::Key_A) << "";
}

void TestTQveButton::keys()
{
    QFETCH(int, key);
    QWidget window;
    auto* b = new TQveButton(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->setFocus();
    QVERIFY(b->hasFocus());
    Recorder rec(*b);
    QTest::keyClick(b, Qt::Key(key));
    QTEST(rec.text(), "events");
}

void TestTQveButton::ringPixels_data()
{
    // Points "x,y:c" on an 80 x 20 button: c = R ring, F fill, - outside the shape.
    QTest::addColumn<int>("ringWidth");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("corner");
    QTest::addColumn<QString>("points");
    const int round = TQveButton::qvcRound, square = TQveButton::qvcSquare;
    QTest::newRow("ring 1") << 1 << false << round << "0,10:R 1,10:F 79,10:R 78,10:F 40,0:R 40,1:F 40,19:R 40,18:F";
    QTest::newRow("ring 1 pressed") << 1 << true << round << "1,10:R 2,10:F 78,10:R 77,10:F 40,1:R 40,2:F";
    QTest::newRow("ring 3") << 3 << false << round << "1,10:R 2,10:F 78,10:R 77,10:F";
    QTest::newRow("ring 3 pressed") << 3 << true << round << "2,10:R 3,10:F 77,10:R 76,10:F 40,17:R";
    QTest::newRow("ring 0") << 0 << false << round << "0,10:F 79,10:F 40,0:F";
    QTest::newRow("ring 0 pressed") << 0 << true << round << "0,10:F 1,10:F 40,19:F";
    QTest::newRow("square corners") << 1 << false << square << "0,0:R 79,0:R 0,19:R 79,19:R 1,1:F";
    QTest::newRow("round corners") << 1 << false << round << "0,0:- 79,0:- 0,19:- 79,19:- 2,2:F";
}

void TestTQveButton::ringPixels()
{
    QFETCH(int, ringWidth);
    QFETCH(bool, pressed);
    QFETCH(int, corner);
    QFETCH(QString, points);
    TQveButton b;
    QVERIFY(b.TabStop());
    prepare(b);
    b.setRingWidth(ringWidth);
    b.setCornerStyle(TQveButton::TQveCornerStyle(corner));
    if (pressed)
        mouse(&b, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    const QImage img = picture(b);
    QCOMPARE(img.size(), QSize(80, 20));
    for (const QString& point : points.split(QLatin1Char(' '))) {
        const int x = point.section(QLatin1Char(','), 0, 0).toInt();
        const int y = point.section(QLatin1Char(','), 1).section(QLatin1Char(':'), 0, 0).toInt();
        const QChar want = point.back();
        const bool ok = want == QLatin1Char('R')   ? is(img, x, y, Ring)
                        : want == QLatin1Char('F') ? is(img, x, y, Fill)
                                                   : !is(img, x, y, Ring) && !is(img, x, y, Fill);
        QVERIFY2(ok, qPrintable(point));
    }
}

void TestTQveButton::clearPaintsOnlyParentBackground()
{
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    parent.setPalette(pal);
    auto* b = new TQveButton(&parent);
    prepare(*b);
    b->setCaption(QStringLiteral("PLAY"));
    b->setClear(true);
    const QImage img = picture(*b);
    QCOMPARE(count(img, img.rect(), rgbColour(0x12, 0x34, 0x56)), 80 * 20);
}

void TestTQveButton::captionClippedOnOpaqueBackground()
{
    TQveButton b;
    prepare(b);
    b.setCaption(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    QImage img = picture(b);
    // Cut on both sides at the 4-pixel inset, never above or below it.
    QCOMPARE(count(img, QRect(0, 0, 4, 20), Text) + count(img, QRect(76, 0, 4, 20), Text), 0);
    QCOMPARE(count(img, QRect(0, 0, 80, 4), Text) + count(img, QRect(0, 16, 80, 4), Text), 0);
    QVERIFY(count(img, QRect(4, 4, 8, 12), Text) > 0);
    QVERIFY(count(img, QRect(68, 4, 8, 12), Text) > 0);

    // Without a tab stop the caption's background starts 2 pixels in, over a 3-pixel ring.
    b.setCaption(QString());
    b.setTabStop(false);
    b.setRingWidth(3);
    mouse(&b, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    img = picture(b);
    QVERIFY(is(img, 2, 1, Ring) && is(img, 1, 10, Ring) && is(img, 2, 10, Fill));
}

void TestTQveButton::disabledLookKeepsTextColour()
{
    TQveButton never;
    prepare(never);
    never.setCaption(QStringLiteral("HHHH"));
    never.setFontColor(OtherText);
    never.setEnabled(false);
    QImage img = picture(never);
    QVERIFY(is(img, 40, 2, FillDisabled) && is(img, 0, 10, RingDisabled));
    QVERIFY(count(img, img.rect(), OtherText) > 0);
    QCOMPARE(count(img, img.rect(), Text), 0);

    TQveButton once;
    prepare(once);
    once.setCaption(QStringLiteral("HHHH"));
    picture(once);
    once.setEnabled(false);
    once.Colors()->setColor(TQvColors::Text_Off, OtherText);
    img = picture(once);
    QVERIFY(count(img, img.rect(), Text) > 0);
    QCOMPARE(count(img, img.rect(), OtherText), 0);
}

void TestTQveButton::focusMark()
{
    QWidget window;
    auto* b = new TQveButton(&window);
    auto* other = new TQveButton(&window);
    other->move(0, 50);
    prepare(*b);
    b->resize(80, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QCOMPARE(count(picture(*b), QRect(8, 2, 64, 1), Ring), 0);

    b->setFocus();
    const QImage img = picture(*b);
    // Dotted: about every other pixel of the mark's lines, from (2,2) to (77,37) inclusive.
    const int top = count(img, QRect(8, 2, 64, 1), Ring);
    const int bottom = count(img, QRect(8, 37, 64, 1), Ring);
    const int left = count(img, QRect(2, 8, 1, 24), Ring);
    const int right = count(img, QRect(77, 8, 1, 24), Ring);
    QVERIFY2(top >= 24 && top <= 40 && bottom >= 24 && bottom <= 40,
             qPrintable(QStringLiteral("%1 %2").arg(top).arg(bottom)));
    QVERIFY2(left >= 9 && left <= 15 && right >= 9 && right <= 15,
             qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
    QCOMPARE(count(img, QRect(8, 1, 64, 1), Ring) + count(img, QRect(8, 38, 64, 1), Ring), 0);
    QCOMPARE(count(img, QRect(78, 8, 1, 24), Ring), 0);
}

QTEST_MAIN(TestTQveButton)
#include "tst_tqvebutton.moc"
