#include "program/Jog.h"

#include <QTest>
#include <cmath>
#include <numbers>

using namespace zeltra;

class TestJog : public QObject {
    Q_OBJECT
private slots:
    void value_data();
    void value();
    void turn();
    void knob_data();
    void knob();
};

void TestJog::value_data()
{
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("expected");
    QTest::newRow("still") << 500 << 500 << 0;
    QTest::newRow("right") << 537 << 500 << 37;
    QTest::newRow("far right") << 900 << 500 << 100;
    QTest::newRow("exactly left limit") << 400 << 500 << -100;
    QTest::newRow("far left") << -3000 << 500 << -100;
    QTest::newRow("no overflow") << INT_MIN << INT_MAX << -100;
}

void TestJog::value()
{
    QFETCH(int, cursor);
    QFETCH(int, origin);
    QTEST(jog::value(cursor, origin), "expected");
}

void TestJog::turn()
{
    QCOMPARE(double(jog::turn(0, 100)), -1.5);
    QCOMPARE(double(jog::turn(-1.5L, -100)), 0.0);
    // only an upward pass of 2 pi wraps, to 0
    const long double nearFull = 2 * std::numbers::pi_v<long double> - 0.01L;
    QCOMPARE(double(jog::turn(nearFull, -1)), 0.0);
    QCOMPARE(double(jog::turn(-100.0L, 100)), -101.5);
}

void TestJog::knob_data()
{
    QTest::addColumn<QRect>("wheel");
    QTest::addColumn<int>("knob");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPoint>("expected");
    const QRect machine(510, 85, 200, 200);
    QTest::newRow("top") << machine << 30 << 0.0 << QPoint(595, 90);
    QTest::newRow("quarter back") << machine << 30 << -std::numbers::pi / 2 << QPoint(675, 170);
    QTest::newRow("bottom") << machine << 30 << std::numbers::pi << QPoint(595, 250);
    // r = (200 - 25) / 2 = 87.5 rounds to the even 88
    QTest::newRow("half to even r") << machine << 25 << 0.0 << QPoint(598, 90);
    // r = (200 - 27) / 2 = 86.5 rounds to the even 86
    QTest::newRow("half to even r down") << machine << 27 << 0.0 << QPoint(596, 90);
}

void TestJog::knob()
{
    QFETCH(QRect, wheel);
    QFETCH(int, knob);
    QFETCH(double, angle);
    QTEST(jog::knobPosition(wheel, knob, angle), "expected");
}

QTEST_GUILESS_MAIN(TestJog)
#include "tst_jog.moc"
