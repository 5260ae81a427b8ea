#include "kit/TitleBar.h"

#include <QTest>

using namespace zeltra::titlebar;
Q_DECLARE_METATYPE(Hit)
Q_DECLARE_METATYPE(Action)

class TestTitleBar : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
};

namespace {
// Flags: a auto-hide, i auto-show when inactive, r border stops resizing, h hidden,
// c active, n no border, m maximised.
State state(const char* flags, int counter = 0)
{
    const QByteArray f(flags);
    State s;
    s.autoHide = f.contains('a');
    s.autoShowInactive = f.contains('i');
    s.borderStopResize = f.contains('r');
    s.hidden = f.contains('h');
    s.active = f.contains('c');
    s.hasBorder = !f.contains('n');
    s.maximised = f.contains('m');
    s.counter = counter;
    return s;
}
} // namespace

void TestTitleBar::rules_data()
{
    QTest::addColumn<Hit>("hit");
    QTest::addColumn<QByteArray>("flags");
    QTest::addColumn<int>("counter");
    QTest::addColumn<Hit>("answer");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("counterAfter");
    QTest::newRow("client counts") << Hit::Client << QByteArray("a") << 0 << Hit::Client << Action::None << 1;
    QTest::newRow("client at 3 hides") << Hit::Client << QByteArray("a") << 3 << Hit::Client << Action::Hide << 0;
    QTest::newRow("nowhere counts too") << Hit::Nowhere << QByteArray("a") << 2 << Hit::Nowhere << Action::None << 3;
    QTest::newRow("no count without auto-hide") << Hit::Client << QByteArray("") << 1 << Hit::Client << Action::None << 1;
    QTest::newRow("no count while hidden") << Hit::Client << QByteArray("ah") << 2 << Hit::Client << Action::None << 2;
    QTest::newRow("maximised: counter resets, stays") << Hit::Client << QByteArray("am") << 3 << Hit::Client
                                                      << Action::None << 0;
    QTest::newRow("top border hides") << Hit::Top << QByteArray("a") << 1 << Hit::Top << Action::Hide << 1;
    QTest::newRow("top corner, no auto-hide") << Hit::TopLeft << QByteArray("") << 0 << Hit::TopLeft << Action::None << 0;
    QTest::newRow("hidden, active: shows, no top resize")
        << Hit::Top << QByteArray("ahc") << 0 << Hit::Client << Action::Show << 0;
    QTest::newRow("hidden, inactive: stays") << Hit::TopRight << QByteArray("ah") << 0 << Hit::Client
                                             << Action::None << 0;
    QTest::newRow("hidden, inactive allowed") << Hit::Border << QByteArray("ahi") << 0 << Hit::Client
                                              << Action::Show << 0;
    QTest::newRow("hidden, no border") << Hit::Top << QByteArray("ahcn") << 0 << Hit::Client << Action::None << 0;
    QTest::newRow("side stops resizing") << Hit::Left << QByteArray("r") << 0 << Hit::Client << Action::None << 0;
    QTest::newRow("bottom corner stops resizing") << Hit::BottomRight << QByteArray("r") << 0 << Hit::Client
                                                  << Action::None << 0;
    QTest::newRow("side resizes by default") << Hit::Right << QByteArray("a") << 2 << Hit::Right << Action::None << 2;
    QTest::newRow("caption untouched") << Hit::Caption << QByteArray("arh") << 2 << Hit::Caption << Action::None << 2;
    QTest::newRow("close button untouched") << Hit::CloseButton << QByteArray("ar") << 0 << Hit::CloseButton
                                            << Action::None << 0;
}

void TestTitleBar::rules()
{
    QFETCH(Hit, hit);
    QFETCH(QByteArray, flags);
    QFETCH(int, counter);
    QFETCH(Hit, answer);
    QFETCH(Action, action);
    QFETCH(int, counterAfter);
    const Outcome out = hitTest(hit, state(flags.constData(), counter));
    QCOMPARE(out.answer, answer);
    QCOMPARE(out.action, action);
    QCOMPARE(out.counter, counterAfter);
}

QTEST_GUILESS_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
