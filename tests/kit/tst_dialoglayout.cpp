#include "kit/TQvDlgLayout.h"

#include <QTest>

using namespace zeltra::dlg;

class TestDialogLayout : public QObject {
    Q_OBJECT
private slots:
    void centredOnOwner_data();
    void centredOnOwner();
    void centredOnPointer_data();
    void centredOnPointer();
    void textPage_data();
    void textPage();
    void entryPage_data();
    void entryPage();
    void pictureByKind_data();
    void pictureByKind();
};

void TestDialogLayout::centredOnOwner_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("even") << QRect(100, 50, 600, 400) << QSize(334, 108) << QPoint(233, 196);
    QTest::newRow("odd remainders dropped") << QRect(0, 0, 601, 401) << QSize(334, 109) << QPoint(133, 146);
    QTest::newRow("owner smaller, truncates toward zero")
        << QRect(10, 10, 100, 50) << QSize(335, 109) << QPoint(10 - 117, 10 - 29);
}

void TestDialogLayout::centredOnOwner()
{
    QFETCH(QRect, owner);
    QFETCH(QSize, dialog);
    QTEST(centredOn(owner, dialog), "topLeft");
}

void TestDialogLayout::centredOnPointer_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QSize>("dialog");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("odd size") << QPoint(500, 400) << QSize(335, 109) << QPoint(333, 346);
    QTest::newRow("near the corner goes negative") << QPoint(20, 10) << QSize(334, 108) << QPoint(-147, -44);
}

void TestDialogLayout::centredOnPointer()
{
    QFETCH(QPoint, pointer);
    QFETCH(QSize, dialog);
    QTEST(centredAt(pointer, dialog), "topLeft");
}

void TestDialogLayout::textPage_data()
{
    QTest::addColumn<int>("labelHeight");
    QTest::addColumn<int>("pageHeight");
    QTest::addColumn<int>("buttonTop");

    QTest::newRow("minimum label keeps 92") << 41 << 92 << 62;
    QTest::newRow("50 still 92") << 50 << 92 << 62;
    QTest::newRow("51 grows") << 51 << 93 << 63;
    QTest::newRow("long text") << 120 << 162 << 132;
}

void TestDialogLayout::textPage()
{
    QFETCH(int, labelHeight);
    const int page = textPageHeight(labelHeight);
    QTEST(page, "pageHeight");
    QTEST(buttonTop(page), "buttonTop");
}

void TestDialogLayout::entryPage_data()
{
    QTest::addColumn<int>("promptHeight");
    QTest::addColumn<int>("editTop");
    QTest::addColumn<int>("pageHeight");

    QTest::newRow("short prompt keeps 92") << 13 << 26 << 92;
    QTest::newRow("one line of 17") << 17 << 30 << 93;
    QTest::newRow("three lines") << 51 << 64 << 127;
}

void TestDialogLayout::entryPage()
{
    QFETCH(int, promptHeight);
    const EntryLayout layout = entryLayout(promptHeight);
    QTEST(layout.editTop, "editTop");
    QTEST(layout.pageHeight, "pageHeight");
}

void TestDialogLayout::pictureByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");

    QTest::newRow("0") << 0 << ":/kit/pictures/DT_DEFAULT.png";
    QTest::newRow("1") << 1 << ":/kit/pictures/DT_NOENTRY.png";
    QTest::newRow("2") << 2 << ":/kit/pictures/DT_LOCK.png";
    QTest::newRow("3 falls back") << 3 << ":/kit/pictures/DT_DEFAULT.png";
    QTest::newRow("255 falls back") << 255 << ":/kit/pictures/DT_DEFAULT.png";
}

void TestDialogLayout::pictureByKind()
{
    QFETCH(int, kind);
    QTEST(picturePath(kind), "path");
}

QTEST_GUILESS_MAIN(TestDialogLayout)
#include "tst_dialoglayout.moc"
