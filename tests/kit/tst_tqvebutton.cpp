#include "kit/QtColours.h"
#include "kit/TQveButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace zeltra;

namespace {

constexpr Colour FillOff = 0x00D0FF, FillDim2 = 0x40A040, FillDisabled = 0xB0B0B0;
constexpr Colour RingOff = 0x800000, RingDim2 = 0x008000, RingDisabled = 0x505050;
constexpr Colour TextOff = 0x0000FF, TextNew = 0xFF0000;

void paintColours(TQveButton& b)
{
    TQvColors* c = b.Colors();
    c->setColor(TQvColors::Fill_Off, FillOff);
    c->setColor(TQvColors::Fill_Dim2, FillDim2);
    c->setColor(TQvColors::Fill_Disabled, FillDisabled);
    c->setColor(TQvColors::Ring_Off, RingOff);
    c->setColor(TQvColors::Ring_Dim2, RingDim2);
    c->setColor(TQvColors::Ring_Disabled, RingDisabled);
    c->setColor(TQvColors::Text_Off, TextOff);
}

// Text drawn without smoothing, so its pixels carry the text colour exactly.
void sharpFont(TQveButton& b)
{
    QFont f = b.font();
    f.setStyleStrategy(QFont::NoAntialias);
    f.setPixelSize(12);
    b.setFont(f);
}

QImage picture(TQveButton& b) { return b.grab().toImage().convertToFormat(QImage::Format_ARGB32); }

Colour at(const QImage& img, int x, int y) { return fromQColor(img.pixelColor(x, y)); }

int countColour(const QImage& img, QRect area, Colour c)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += at(img, x, y) == c && img.pixelColor(x, y).alpha() == 255;
    return n;
}

void sendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               QPoint pos = QPoint(10, 10))
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Writes every event of a button into one line, in the order they fire.
struct Recorder {
    QStringList log;
    explicit Recorder(TQveButton& b)
    {
        auto name = [](Qt::MouseButton m) {
            return m == Qt::LeftButton ? "L" : m == Qt::RightButton ? "R" : "M";
        };
        QObject::connect(&b, &TQveButton::OnMouseDown, [this, name](TQveButton* s, Qt::MouseButton m,
                                                                     Qt::KeyboardModifiers, QPoint) {
            log << QStringLiteral("down%1%2").arg(name(m), s->Timedout() ? "!" : "");
        });
        QObject::connect(&b, &TQveButton::OnMouseUp, [this, name](TQveButton*, Qt::MouseButton m,
                                                                   Qt::KeyboardModifiers, QPoint) {
            log << QStringLiteral("up%1").arg(name(m));
        });
        QObject::connect(&b, &TQveButton::OnUpdTimer, [this](TQveButton* s, bool depressed) {
            log << QStringLiteral("upd%1%2").arg(int(depressed)).arg(s->Timedout() ? "!" : "");
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
    void newButton();
    void eventOrder_data();
    void eventOrder();
    void timedoutWhileHeld();
    void keys_data();
    void keys();
    void ringPixels_data();
    void ringPixels();
    void litStateColours();
    void clearPaintsOnlyParentBackground();
    void captionClippedOnOpaqueBackground();
    void disabledLookKeepsTextColour();
    void focusMark();
};

void TestTQveButton::newButton()
{
    TQveButton b;
    QCOMPARE(b.size(), QSize(80, 20));
    QVERIFY(b.TabStop());
    QCOMPARE(b.CornerStyle(), TQveButton::qvcRound);
    b.setHint(QStringLiteral("Play"));
    QCOMPARE(b.toolTip(), QStringLiteral("Play"));
    QCOMPARE(b.statusTip(), QStringLiteral("Play"));
}

void TestTQveButton::eventOrder_data()
{
    // Each step: p/r (press/release) and L/R/M; "x" releases away from the button.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("events");

    QTest::newRow("left click") << "pL rL" << "downL upd1! click upd0 upL";
    QTest::newRow("right click") << "pR rR" << "downR upd1! right upd0 upR";
    QTest::newRow("middle click") << "pM rM" << "downM upd1! upd0 upM";
    QTest::newRow("both held, right first") << "pL pR rR rL"
                                           << "downL upd1! downR! upd1! right click upd0 upR upL";
    QTest::newRow("released away from the button") << "pL xL" << "downL upd1! click upd0 upL";
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
            held |= m;
            sendMouse(&b, QEvent::MouseButtonPress, m, held);
        } else {
            held &= ~Qt::MouseButtons(m);
            const QPoint pos = step[0] == QLatin1Char('x') ? QPoint(300, -40) : QPoint(10, 10);
            sendMouse(&b, QEvent::MouseButtonRelease, m, held, pos);
        }
    }
    QTEST(rec.text(), "events");
    QVERIFY(!b.Timedout());
}

void TestTQveButton::timedoutWhileHeld()
{
    TQveButton b;
    Recorder rec(b);
    b.setTimedout(true); // not pressed: nothing happens
    QCOMPARE(rec.text(), QString());
    sendMouse(&b, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(b.Timedout());
    b.setTimedout(false);
    QCOMPARE(rec.text(), QStringLiteral("downL upd1! right"));
    QVERIFY(!b.Timedout());
    sendMouse(&b, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(rec.text(), QStringLiteral("downL upd1! right upL"));
}

void TestTQveButton::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("events");
    QTest::newRow("Return") << int(Qt::Key_Return) << "click";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "click";
    QTest::newRow("Space") << int(Qt::Key_Space) << "";
}

void TestTQveButton::keys()
{
    QFETCH(int, key);
    QWidget window;
    auto* b = new TQveButton(&window);
    auto* other = new TQveButton(&window);
    other->move(0, 30);
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
    // Points as "x,y:c", c = R ring colour, F fill colour, - neither (outside the shape).
    QTest::addColumn<int>("ringWidth");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("corner");
    QTest::addColumn<QString>("points");

    const int round = TQveButton::qvcRound, square = TQveButton::qvcSquare;
    QTest::newRow("ring 1") << 1 << false << round
                            << "0,10:R 1,10:F 79,10:R 78,10:F 40,0:R 40,1:F 40,19:R 40,18:F 40,10:F";
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
    paintColours(b);
    b.setRingWidth(ringWidth);
    b.setCornerStyle(TQveButton::TQveCornerStyle(corner));
    if (pressed)
        sendMouse(&b, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    const QImage img = picture(b);
    QCOMPARE(img.size(), QSize(80, 20));
    for (const QString& point : points.split(QLatin1Char(' '))) {
        const int x = point.section(QLatin1Char(','), 0, 0).toInt();
        const int y = point.section(QLatin1Char(','), 1).section(QLatin1Char(':'), 0, 0).toInt();
        const QChar want = point.section(QLatin1Char(':'), 1)[0];
        const Colour got = at(img, x, y);
        const bool opaque = img.pixelColor(x, y).alpha() == 255;
        if (want == QLatin1Char('R'))
            QVERIFY2(opaque && got == RingOff, qPrintable(point));
        else if (want == QLatin1Char('F'))
            QVERIFY2(opaque && got == FillOff, qPrintable(point));
        else
            QVERIFY2(!opaque || (got != RingOff && got != FillOff), qPrintable(point));
    }
}

void TestTQveButton::litStateColours()
{
    TQveButton b;
    paintColours(b);
    b.setLitState(2);
    QImage img = picture(b);
    QCOMPARE(at(img, 40, 10), FillDim2);
    QCOMPARE(at(img, 0, 10), RingDim2);
    b.setLitState(0); // Lit stays set, the Off colours show
    QVERIFY(b.Lit());
    img = picture(b);
    QCOMPARE(at(img, 40, 10), FillOff);
    QCOMPARE(at(img, 0, 10), RingOff);
}

void TestTQveButton::clearPaintsOnlyParentBackground()
{
    QWidget parent;
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(0x12, 0x34, 0x56));
    parent.setPalette(pal);
    auto* b = new TQveButton(&parent);
    paintColours(*b);
    b->setCaption(QStringLiteral("PLAY"));
    b->setClear(true);
    const QImage img = picture(*b);
    QCOMPARE(countColour(img, img.rect(), rgbColour(0x12, 0x34, 0x56)), 80 * 20);
}

void TestTQveButton::captionClippedOnOpaqueBackground()
{
    TQveButton b;
    paintColours(b);
    sharpFont(b);
    b.setCaption(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    QImage img = picture(b);
    // Cut on both sides at the 4-pixel inset, and never above or below it.
    QCOMPARE(countColour(img, QRect(0, 0, 4, 20), TextOff), 0);
    QCOMPARE(countColour(img, QRect(76, 0, 4, 20), TextOff), 0);
    QCOMPARE(countColour(img, QRect(0, 0, 80, 4), TextOff), 0);
    QCOMPARE(countColour(img, QRect(0, 16, 80, 4), TextOff), 0);
    QVERIFY(countColour(img, QRect(4, 4, 8, 12), TextOff) > 0);
    QVERIFY(countColour(img, QRect(68, 4, 8, 12), TextOff) > 0);

    // Without a tab stop the caption's background starts 2 pixels in, over a 3-pixel ring.
    b.setCaption(QString());
    b.setTabStop(false);
    b.setRingWidth(3);
    sendMouse(&b, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    img = picture(b);
    QCOMPARE(at(img, 2, 1), RingOff);
    QCOMPARE(at(img, 2, 10), FillOff);
    QCOMPARE(at(img, 1, 10), RingOff);
}

void TestTQveButton::disabledLookKeepsTextColour()
{
    TQveButton never;
    paintColours(never);
    sharpFont(never);
    never.setCaption(QStringLiteral("HHHH"));
    never.setFontColor(0x00FF00);
    never.setEnabled(false);
    QImage img = picture(never);
    QCOMPARE(at(img, 40, 2), FillDisabled);
    QCOMPARE(at(img, 0, 10), RingDisabled);
    QVERIFY(countColour(img, img.rect(), 0x00FF00) > 0);
    QCOMPARE(countColour(img, img.rect(), TextOff), 0);

    TQveButton once;
    paintColours(once);
    sharpFont(once);
    once.setCaption(QStringLiteral("HHHH"));
    picture(once);
    once.setEnabled(false);
    once.Colors()->setColor(TQvColors::Text_Off, TextNew);
    img = picture(once);
    QVERIFY(countColour(img, img.rect(), TextOff) > 0);
    QCOMPARE(countColour(img, img.rect(), TextNew), 0);
}

void TestTQveButton::focusMark()
{
    QWidget window;
    auto* b = new TQveButton(&window);
    auto* other = new TQveButton(&window);
    other->move(0, 30);
    paintColours(*b);
    b->resize(80, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QImage img = picture(*b);
    QCOMPARE(countColour(img, QRect(8, 2, 64, 1), RingOff), 0);

    b->setFocus();
    img = picture(*b);
    // Dotted: about every other pixel of the mark's lines is in the ring colour.
    const int top = countColour(img, QRect(8, 2, 64, 1), RingOff);
    const int left = countColour(img, QRect(2, 8, 1, 24), RingOff);
    const int right = countColour(img, QRect(77, 8, 1, 24), RingOff);
    QVERIFY2(top >= 24 && top <= 40, qPrintable(QString::number(top)));
    QVERIFY2(left >= 9 && left <= 15, qPrintable(QString::number(left)));
    QVERIFY2(right >= 9 && right <= 15, qPrintable(QString::number(right)));
    QCOMPARE(countColour(img, QRect(8, 1, 64, 1), RingOff), 0);
    QCOMPARE(countColour(img, QRect(78, 8, 1, 24), RingOff), 0);
    QCOMPARE(countColour(img, QRect(8, 37, 64, 1), RingOff) > 0, true);
    QCOMPARE(countColour(img, QRect(8, 38, 64, 1), RingOff), 0);
}

QTEST_MAIN(TestTQveButton)
#include "tst_tqvebutton.moc"
