#include "kit/TQvColors.h"
#include "kit/TQvDlgLayout.h"
#include "kit/TQveButtonState.h"

#include <QSignalSpy>
#include <QTest>

using namespace zeltra;

// The lit button's property rules and the message dialog's sizes, without windows.
class TestKitRules : public QObject {
    Q_OBJECT
private slots:
    void properties_data();
    void properties();
    void look_data();
    void look();
    void captionOrigin_data();
    void captionOrigin();
    void colourSet();
    void centringTruncatesTowardZero();
};

void TestKitRules::properties_data()
{
    // Writes "Name=value" separated by ';', applied to a new button in order.
    QTest::addColumn<QString>("writes");
    QTest::addColumn<bool>("lit");
    QTest::addColumn<int>("litState");
    QTest::addColumn<int>("ringWidth");
    QTest::addColumn<int>("cornerRadius");
    QTest::addColumn<int>("cornerSize");
    QTest::addColumn<bool>("lastRepaints");

    QTest::newRow("new button") << "" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("LitState 2 sets Lit") << "LitState=2" << true << 2 << 1 << 2 << 4 << true;
    QTest::newRow("LitState 0 leaves Lit") << "LitState=2;LitState=0" << true << 0 << 1 << 2 << 4 << true;
    QTest::newRow("Lit True when set: nothing") << "LitState=2;LitState=0;Lit=1" << true << 0 << 1 << 2 << 4 << false;
    QTest::newRow("Lit False clears") << "LitState=2;LitState=0;Lit=0" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("Lit True goes to 3") << "Lit=1" << true << 3 << 1 << 2 << 4 << true;
    QTest::newRow("Lit False goes to Off") << "LitState=1;Lit=0" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("LitState 4 ignored") << "LitState=2;LitState=4" << true << 2 << 1 << 2 << 4 << false;
    QTest::newRow("LitState -1 ignored") << "LitState=-1" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("LitState same ignored") << "LitState=2;LitState=2" << true << 2 << 1 << 2 << 4 << false;
    QTest::newRow("RingWidth 4 refused") << "RingWidth=4" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("RingWidth 3") << "RingWidth=3" << false << 0 << 3 << 2 << 4 << true;
    QTest::newRow("RingWidth 0") << "RingWidth=0" << false << 0 << 0 << 2 << 4 << true;
    QTest::newRow("RingWidth same") << "RingWidth=1" << false << 0 << 1 << 2 << 4 << false;
    QTest::newRow("CornerRadius as ellipse") << "CornerRadius=6" << false << 0 << 1 << 6 << 12 << true;
    QTest::newRow("CornerRadius same repaints") << "CornerRadius=2" << false << 0 << 1 << 2 << 4 << true;
    QTest::newRow("CornerRadius past 16 bits") << "CornerRadius=40000" << false << 0 << 1 << 32767 << 0xFFFE << true;
    QTest::newRow("Clear same") << "Clear=0" << false << 0 << 1 << 2 << 4 << false;
}

void TestKitRules::properties()
{
    QFETCH(QString, writes);
    TQveButtonState s;
    bool repaint = false;
    for (const QString& w : writes.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = w.section(QLatin1Char('='), 0, 0);
        const int v = w.section(QLatin1Char('='), 1).toInt();
        repaint = name == QLatin1String("Lit")            ? s.setLit(v != 0)
                  : name == QLatin1String("LitState")     ? s.setLitState(v)
                  : name == QLatin1String("RingWidth")    ? s.setRingWidth(v)
                  : name == QLatin1String("CornerRadius") ? s.setCornerRadius(quint16(v))
                                                          : s.setClear(v != 0);
    }
    QTEST(s.lit(), "lit");
    QTEST(s.litState(), "litState");
    QTEST(int(s.ringWidth()), "ringWidth");
    QTEST(int(s.cornerRadius()), "cornerRadius");
    QTEST(int(s.cornerSize()), "cornerSize");
    QTEST(repaint, "lastRepaints");
}

void TestKitRules::look_data()
{
    // The colour set holds 0x100 + index in every slot, so a colour names its slot.
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
    QTest::newRow("lit pressed") << 3 << 1 << true << true << 0x103 << 0x107 << 0x10B << 3;
    QTest::newRow("ring 3 pressed") << 0 << 3 << true << true << 0x100 << 0x104 << 0x108 << 5;
    QTest::newRow("ring 0 takes fill") << 2 << 0 << true << true << 0x102 << 0x102 << 0x10A << 2;
    QTest::newRow("disabled keeps font colour") << 3 << 1 << false << false << 0x10C << 0x10D << 0x42 << 1;
    QTest::newRow("disabled ring 0") << 3 << 0 << false << false << 0x10C << 0x10C << 0x42 << 0;
}

void TestKitRules::look()
{
    QFETCH(int, litState);
    QFETCH(int, ringWidth);
    QFETCH(bool, pressed);
    QFETCH(bool, enabled);
    TQvColors colours;
    for (int i = 0; i < TQvColors::Count; ++i)
        colours.setColor(i, Colour(0x100 + i));
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

void TestKitRules::captionOrigin_data()
{
    QTest::addColumn<QSize>("text");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("even") << QSize(40, 10) << QPoint(20, 5);
    QTest::newRow("odd remainder dropped") << QSize(41, 11) << QPoint(19, 4);
    QTest::newRow("wider: toward zero") << QSize(101, 13) << QPoint(-10, 3);
    QTest::newRow("taller: toward zero") << QSize(10, 25) << QPoint(35, -2);
}

void TestKitRules::captionOrigin()
{
    QFETCH(QSize, text);
    QTEST(zeltra::captionOrigin(QSize(80, 20), text), "origin");
}

void TestKitRules::colourSet()
{
    TQvColors set;
    const Colour defaults[TQvColors::Count] = {0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0xC0C0C0, 0x808080};
    for (int i = 0; i < TQvColors::Count; ++i)
        QCOMPARE(set.color(i), defaults[i]);
    QSignalSpy changed(&set, &TQvColors::OnChange);
    set.setColor(TQvColors::Fill_Lit, 0xC0C0C0);
    set.setColor(TQvColors::Count, 0x123456);
    QCOMPARE(changed.count(), 0);
    set.setColor(TQvColors::Fill_Lit, 0x0000FF);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<TQvColors*>(), &set);
}

void TestKitRules::centringTruncatesTowardZero()
{
    QCOMPARE(dlg::centredOn(QRect(10, 10, 100, 50), QSize(335, 109)), QPoint(10 - 117, 10 - 29));
    QCOMPARE(dlg::centredAt(QPoint(500, 400), QSize(335, 109)), QPoint(333, 346));
}

QTEST_GUILESS_MAIN(TestKitRules)
#include "tst_kitrules.moc"
