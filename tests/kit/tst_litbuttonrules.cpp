#include "kit/TQvColors.h"
#include "kit/TQveButtonState.h"

#include <QSignalSpy>
#include <QTest>

using namespace zeltra;

namespace {

// Applies "Name=value" writes separated by ';' and tells whether the last one asked for a
// repaint.
bool apply(TQveButtonState& s, const QString& script)
{
    bool repaint = false;
    for (const QString& step : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = step.section(QLatin1Char('='), 0, 0);
        const int value = step.section(QLatin1Char('='), 1).toInt();
        if (name == QLatin1String("Lit"))
            repaint = s.setLit(value != 0);
        else if (name == QLatin1String("LitState"))
            repaint = s.setLitState(value);
        else if (name == QLatin1String("RingWidth"))
            repaint = s.setRingWidth(value);
        else if (name == QLatin1String("CornerRadius"))
            repaint = s.setCornerRadius(quint16(value));
        else if (name == QLatin1String("Clear"))
            repaint = s.setClear(value != 0);
        else
            qFatal("unknown property in test script");
    }
    return repaint;
}

// A colour set whose colour at index i is 0x100 + i, so every colour names its slot.
void numberColours(TQvColors& set)
{
    for (int i = 0; i < TQvColors::Count; ++i)
        set.setColor(i, Colour(0x100 + i));
}

} // namespace

class TestLitButtonRules : public QObject {
    Q_OBJECT
private slots:
    void properties_data();
    void properties();
    void release_data();
    void release();
    void timeoutEndsHeldPress();
    void look_data();
    void look();
    void disabledKeepsLastTextColour();
    void ringPixels_data();
    void ringPixels();
    void captionPlacement_data();
    void captionPlacement();
    void focusMarkEdgesExclusive();
    void colourDefaults();
    void colourWrites();
};

void TestLitButtonRules::properties_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("lit");
    QTest::addColumn<int>("litState");
    QTest::addColumn<int>("ringWidth");
    QTest::addColumn<int>("cornerRadius");
    QTest::addColumn<int>("cornerSize");
    QTest::addColumn<bool>("repaint");

    QTest::newRow("new button") << "" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("LitState 2 lights the flag") << "LitState=2" << true << 2 << 1 << 2 << 4 << true;
    QTest::newRow("LitState 0 leaves Lit set") << "LitState=2;LitState=0" << true << 0 << 1 << 2 << 4 << true;
    QTest::newRow("Lit True on a lit flag does nothing")
        << "LitState=2;LitState=0;Lit=1" << true << 0 << 1 << 2 << 4 << false;
    QTest::newRow("Lit False clears the flag") << "LitState=2;LitState=0;Lit=0" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("Lit True goes to state 3") << "Lit=1" << true << 3 << 1 << 2 << 4 << true;
    QTest::newRow("Lit False goes to Off") << "LitState=1;Lit=0" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("LitState 4 ignored") << "LitState=2;LitState=4" << true << 2 << 1 << 2 << 4 << false;
    QTest::newRow("LitState -1 ignored") << "LitState=-1" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("LitState unchanged") << "LitState=2;LitState=2" << true << 2 << 1 << 2 << 4 << false;
    QTest::newRow("RingWidth 4 refused") << "RingWidth=4" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("RingWidth 3 taken") << "RingWidth=3" << false << 0 << 3 << 2 << 4 << true;
    QTest::newRow("RingWidth 0 taken") << "RingWidth=0" << false << 0 << 0 << 2 << 4 << true;
    QTest::newRow("RingWidth unchanged") << "RingWidth=1" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("CornerRadius kept as ellipse") << "CornerRadius=6" << false << 0 << 1 << 6 << 12 << true;
    QTest::newRow("CornerRadius unchanged repaints") << "CornerRadius=2" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("CornerRadius past 16 bits held")
        << "CornerRadius=40000" << false << 0 << 1 << 32767 << 0xFFFE << true;
    QTest::newRow("Clear set") << "Clear=1" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("Clear unchanged") << "Clear=0" << false << 0 << 1 << 2 << 4 << false;
}

void TestLitButtonRules::properties()
{
    QFETCH(QString, script);
    TQveButtonState s;
    const bool repaint = apply(s, script);
    QTEST(s.lit(), "lit");
    QTEST(s.litState(), "litState");
    QTEST(int(s.ringWidth()), "ringWidth");
    QTEST(int(s.cornerRadius()), "cornerRadius");
    QTEST(int(s.cornerSize()), "cornerSize");
    QTEST(repaint, "repaint");
}

void TestLitButtonRules::release_data()
{
    QTest::addColumn<Qt::MouseButtons>("held");
    QTest::addColumn<bool>("rightClick");
    QTest::addColumn<bool>("click");

    QTest::newRow("left") << Qt::MouseButtons(Qt::LeftButton) << false << true;
    QTest::newRow("right") << Qt::MouseButtons(Qt::RightButton) << true << false;
    QTest::newRow("both") << (Qt::LeftButton | Qt::RightButton) << true << true;
    QTest::newRow("middle") << Qt::MouseButtons(Qt::MiddleButton) << false << false;
}

void TestLitButtonRules::release()
{
    QFETCH(Qt::MouseButtons, held);
    TQveButtonState s;
    s.press(held, Qt::ShiftModifier, QPoint(3, 4));
    QVERIFY(s.pressed());
    QCOMPARE(s.pressModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(s.pressPos(), QPoint(3, 4));
    const TQveReleaseOutcome first = s.release();
    QVERIFY(first.endedPress);
    QTEST(first.rightClick, "rightClick");
    QTEST(first.click, "click");
    QVERIFY(!s.pressed());
    const TQveReleaseOutcome second = s.release();
    QVERIFY(!second.endedPress && !second.rightClick && !second.click);
}

void TestLitButtonRules::timeoutEndsHeldPress()
{
    TQveButtonState s;
    QVERIFY(!s.timeout());
    s.press(Qt::LeftButton, {}, {});
    QVERIFY(s.timeout());
    QVERIFY(!s.pressed());
    QVERIFY(!s.timeout());
    const TQveReleaseOutcome after = s.release();
    QVERIFY(!after.endedPress && !after.click && !after.rightClick);
}

void TestLitButtonRules::look_data()
{
    QTest::addColumn<int>("litState");
    QTest::addColumn<int>("ringWidth");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("fill");
    QTest::addColumn<int>("ring");
    QTest::addColumn<int>("text");
    QTest::addColumn<int>("penWidth");

    QTest::newRow("off") << 0 << 1 << false << true << 0x100 << 0x104 << 0x108 << 1;
    QTest::newRow("dim1") << 1 << 1 << false << true << 0x101 << 0x105 << 0x109 << 1;
    QTest::newRow("dim2") << 2 << 1 << false << true << 0x102 << 0x106 << 0x10A << 1;
    QTest::newRow("lit") << 3 << 1 << false << true << 0x103 << 0x107 << 0x10B << 1;
    QTest::newRow("lit pressed") << 3 << 1 << true << true << 0x103 << 0x107 << 0x10B << 3;
    QTest::newRow("ring 3 pressed") << 0 << 3 << true << true << 0x100 << 0x104 << 0x108 << 5;
    QTest::newRow("ring 0 hides ring") << 2 << 0 << false << true << 0x102 << 0x102 << 0x10A << 0;
    QTest::newRow("ring 0 pressed") << 2 << 0 << true << true << 0x102 << 0x102 << 0x10A << 2;
    QTest::newRow("disabled, never enabled") << 3 << 1 << false << false << 0x10C << 0x10D << 0x42 << 1;
    QTest::newRow("disabled, ring 0") << 3 << 0 << false << false << 0x10C << 0x10C << 0x42 << 0;
}

void TestLitButtonRules::look()
{
    QFETCH(int, litState);
    QFETCH(int, ringWidth);
    QFETCH(bool, pressed);
    QFETCH(bool, enabled);
    TQvColors colours;
    numberColours(colours);
    TQveButtonState s;
    s.setFontColour(0x42);
    s.setLitState(litState);
    s.setRingWidth(ringWidth);
    if (pressed)
        s.press(Qt::LeftButton, {}, {});
    const TQveButtonLook look = s.look(colours, enabled);
    QTEST(int(look.fill), "fill");
    QTEST(int(look.ring), "ring");
    QTEST(int(look.text), "text");
    QTEST(look.penWidth, "penWidth");
}

void TestLitButtonRules::disabledKeepsLastTextColour()
{
    TQvColors colours;
    numberColours(colours);
    TQveButtonState s;
    s.setLitState(1);
    s.look(colours, true);
    QCOMPARE(s.fontColour(), Colour(0x109));
    colours.setColor(TQvColors::Text_Dim1, 0x55);
    s.setLitState(2);
    QCOMPARE(s.look(colours, false).text, Colour(0x109));
    QCOMPARE(s.look(colours, true).text, Colour(0x10A));
}

void TestLitButtonRules::ringPixels_data()
{
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<int>("pixels");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("2") << 2 << 1;
    QTest::newRow("3") << 3 << 2;
    QTest::newRow("4") << 4 << 2;
    QTest::newRow("5") << 5 << 3;
}

void TestLitButtonRules::ringPixels()
{
    QFETCH(int, penWidth);
    QTEST(zeltra::ringPixels(penWidth), "pixels");
}

void TestLitButtonRules::captionPlacement_data()
{
    QTest::addColumn<QSize>("button");
    QTest::addColumn<QSize>("text");
    QTest::addColumn<QPoint>("origin");

    QTest::newRow("even") << QSize(80, 20) << QSize(40, 10) << QPoint(20, 5);
    QTest::newRow("odd remainder dropped") << QSize(80, 20) << QSize(41, 11) << QPoint(19, 4);
    QTest::newRow("wider truncates toward zero") << QSize(80, 20) << QSize(101, 13) << QPoint(-10, 3);
    QTest::newRow("taller truncates toward zero") << QSize(80, 20) << QSize(10, 25) << QPoint(35, -2);
}

void TestLitButtonRules::captionPlacement()
{
    QFETCH(QSize, button);
    QFETCH(QSize, text);
    QTEST(captionOrigin(button, text), "origin");
}

void TestLitButtonRules::focusMarkEdgesExclusive()
{
    QCOMPARE(captionClip(QSize(80, 20), true), QRect(4, 4, 72, 12));
    QCOMPARE(captionClip(QSize(80, 20), false), QRect(2, 2, 76, 16));
    const QRect mark = focusMarkRect(QSize(80, 20));
    QCOMPARE(mark.topLeft(), QPoint(2, 2));
    QCOMPARE(mark.x() + mark.width(), 78);
    QCOMPARE(mark.y() + mark.height(), 18);
}

void TestLitButtonRules::colourDefaults()
{
    const TQvColors set;
    const Colour expected[TQvColors::Count] = {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0, 0, 0,
                                               0,        0,        0,        0,        0, 0xC0C0C0,
                                               0x808080};
    for (int i = 0; i < TQvColors::Count; ++i)
        QCOMPARE(set.color(i), expected[i]);
}

void TestLitButtonRules::colourWrites()
{
    TQvColors set;
    QSignalSpy changed(&set, &TQvColors::OnChange);
    set.setColor(TQvColors::Fill_Lit, 0xC0C0C0);
    QCOMPARE(changed.count(), 0);
    set.setColor(TQvColors::Fill_Lit, 0x0000FF);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<TQvColors*>(), &set);
    set.setColor(TQvColors::Count, 0x123456);
    set.setColor(-1, 0x123456);
    QCOMPARE(changed.count(), 1);

    TQvColors copy;
    QSignalSpy copyChanged(&copy, &TQvColors::OnChange);
    copy.assign(set);
    QCOMPARE(copy.color(TQvColors::Fill_Lit), Colour(0x0000FF));
    QCOMPARE(copyChanged.count(), 0);
}

QTEST_GUILESS_MAIN(TestLitButtonRules)
#include "tst_litbuttonrules.moc"
