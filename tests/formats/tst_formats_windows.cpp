// The format editor, the format list and the gain dialog as the user works them, the
// monitor keys of the main window, and one edit carried through to a saved layout file.
#include "ProgramWindows.h"
#include "TestFiles.h"

#include "program/AppTitle.h"
#include "editor/Startup.h"
#include "editor/Trs422kbdf.h"
#include "model/FormatRecord.h"
#include "model/Levels.h"
#include "formats/TDefFormat.h"
#include "formats/TSelFormatF.h"
#include "formats/TSetgainF.h"
#include "kit/TQveButton.h"
#include "model/KeyLayout.h"
#include "model/LayoutFiles.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace zeltra;
namespace lf = zeltra::layoutfiles;

namespace {
// Runs `act` once `dialog` is up (its exec() is about to be called) and closes it
// afterwards if `act` left it open, so that a failing check never hangs the test.
void whenShown(QDialog* dialog, std::function<void()> act)
{
    QTimer::singleShot(0, dialog, [dialog, act] {
        QTRY_VERIFY(dialog->isVisible());
        act();
        if (dialog->isVisible())
            dialog->reject();
    });
}

void clickTimes(QPushButton* b, int n)
{
    for (int i = 0; i < n; ++i)
        b->click();
}

QByteArray recordHex(const MonitorImage& img, int n)
{
    const auto r = formats::readRecord(img, n);
    return QByteArray(reinterpret_cast<const char*>(r.data()), formats::RecordSize).toHex(' ');
}

QStringList itemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QByteArray imageBytes(const MonitorImage& img)
{
    return QByteArray(reinterpret_cast<const char*>(img.bytes.data()), qsizetype(img.bytes.size()));
}

// Every window of the program in a program folder of its own, in monitor mode.
struct Program : ProgramWindows {
    QList<int> sent;

    explicit Program(const QString& layoutFile = {})
    {
        if (!layoutFile.isEmpty()) {
            SettingsRecord r;
            r.setLastDir(folder);
            r.setLastFile(layoutFile);
            r.setKbdType(KbdMonitor);
            r.setComPort(1);
            writeFile(lf::settingsRecordPath(folder),
                      QByteArray(reinterpret_cast<const char*>(r.bytes.data()), qsizetype(r.bytes.size())));
        }
        create();
        w.main->sendkey = [this](std::uint8_t c) { sent << c; };
        w.main->show();
        if (layoutFile.isEmpty()) {
            w.main->action(QStringLiteral("MonitorControl1"))->trigger();
        }
        history.markSaved();
    }
    TQveButton* key(int number) const { return ProgramWindows::key(number - 1); }
    void shiftClick(int number) { QTest::mouseClick(key(number), Qt::LeftButton, Qt::ShiftModifier); }
    template <class T> T* find(QWidget* parent, const char* name)
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }
};
} // namespace

class TestFormatWindows : public QObject {
    Q_OBJECT
private slots:
    // Showing the main window opens its COM port: never a device of the machine running the tests.
    void initTestCase() { qputenv("ZELTRA_COM1", "/nonexistent/zeltra-test-port"); }
    void gainDialog();
    void editorControls();
    void editorOkKeepsTheEntry_data();
    void editorOkKeepsTheEntry();
    void editorPresetTrimsAndName();
    void nameEditTakesPrintableAsciiOnly();
    void formatListEditsAndRefills();
    void outputKeyTrims_data();
    void outputKeyTrims();
    void formatKeyPicksAFormat();
    void shiftKeyTogglesTheLayer();
    void dimAndCalibrateKeptForTheSession();
    void editedFormatIsSavedByteForByte();
};

void TestFormatWindows::gainDialog()
{
    TSetgainF g;
    int value = -1;
    whenShown(&g, [&g] {
        QCOMPARE(g.Title->text(), QStringLiteral("Set Output Trim"));
        QCOMPARE(g.Level->text(), QStringLiteral("+0.0dB")); // 17 is above 16: back to 8
        clickTimes(g.Increase, 9);
        QCOMPARE(g.Level->text(), QStringLiteral("+4.0dB"));
        g.reject(); // closing without OK still takes the value
    });
    value = g.run(formats::outputTrimUse(), 17);
    QCOMPARE(value, 16);
    whenShown(&g, [&g] {
        QCOMPARE(g.Level->text(), QStringLiteral("+0.0dB"));
        g.Decrease->click();
        QCOMPARE(g.Level->text(), QStringLiteral("+0.0dB"));
        g.Increase->click();
        g.BitBtn1->click();
    });
    QCOMPARE(g.run(formats::stereoTrimUse(), 0), 1);
}

void TestFormatWindows::editorControls()
{
    Program p;
    TDefFormat* d = p.w.defFormat;
    const MonitorImage before = p.model.MonImage;
    whenShown(d, [d] {
        QCOMPARE(d->windowTitle(), QStringLiteral("Set format 2"));
        QCOMPARE(d->formatname->text(), QStringLiteral("LCRS    "));
        QCOMPARE(itemsOf(d->inputchan), QStringList({"A", "B", "C", "D", "E", "F", "G", "H"}));
        QCOMPARE(itemsOf(d->iptype), QStringList({"Multi", "Stereo"}));
        QCOMPARE(itemsOf(d->stereoinput), QStringList({"Stereo 1", "Stereo 2", "Stereo 3", "Stereo 4"}));
        QCOMPARE(itemsOf(d->lcr), QStringList({"LRC", "LCR"}));
        QCOMPARE(itemsOf(d->Surround), QStringList({"Off", "Mono", "Stereo", "LBR", "LBBR"}));
        QCOMPARE(itemsOf(d->LFE), QStringList({"LFE", "LFE LP", "Sum", "Sum LP"}));
        QCOMPARE(itemsOf(d->Gain), QStringList({"Off", "0dB", "-10 dB", "-7dB"}));
        QCOMPARE(itemsOf(d->initialformat),
                 QStringList({"Mono", "Stereo", "LCRS", "LCRlre", "Dolby", "DTS", "DolbyEx", "DTS ES",
                              "Music", "SDDS", "IMAX", "LRCS"}));
        QCOMPARE(d->initialformat->currentIndex(), -1);
        QCOMPARE(d->initialformat->placeholderText(), QStringLiteral("Select New Format"));
        QCOMPARE(d->lere->text(), QStringLiteral("L&&R Extra"));
        QVERIFY(d->StereoPanel->isHidden());
        QCOMPARE(d->lcr->currentText(), QStringLiteral("LCR"));
        QCOMPARE(d->Surround->currentText(), QStringLiteral("Mono"));
        QCOMPARE(d->Inputs[1]->text(), QStringLiteral("2:Centre"));
        QCOMPARE(d->Inputs[4]->text(), QStringLiteral("5: Surround"));
        QCOMPARE(d->Outputs[3]->text(), QStringLiteral("Sub"));
        QCOMPARE(d->Outputs[8]->text(), QStringLiteral("TV Left"));
        QCOMPARE(d->Outputs[12]->text(), QStringLiteral("Left Sum"));
        QCOMPARE(d->Formattrim->text(), QStringLiteral("+0.0dB"));
        QCOMPARE(d->Stereotrim->text(), QStringLiteral("+0.0dB"));
        QCOMPARE(d->Monotrim->text(), QStringLiteral("Mono Trim"));
        // masks 17 / F3 / 00
        QVERIFY(d->Inputs[0]->isChecked() && d->Inputs[4]->isChecked() && !d->Inputs[3]->isChecked());
        QVERIFY(!d->Outputs[2]->isChecked() && d->Outputs[7]->isChecked() && !d->Outputs[10]->isChecked());
        d->iptype->setCurrentIndex(1);
        QVERIFY(!d->StereoPanel->isHidden());
        QCOMPARE(d->Inputs[0]->text(), QStringLiteral("1:left 1"));
        d->stereoinput->setCurrentIndex(3); // input mask C0
        QVERIFY(d->Inputs[7]->isChecked() && !d->Inputs[0]->isChecked());
        d->IMAX->setChecked(true);
        d->TV->setChecked(true);
        QVERIFY(!d->IMAX->isChecked());
        d->CancelBtn->click();
    });
    QCOMPARE(d->edit(1), int(QDialog::Rejected));
    QVERIFY(p.model.MonImage == before);
    QVERIFY(!p.model.LayoutChanged);
}

void TestFormatWindows::editorOkKeepsTheEntry_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QByteArray>("record"); // empty: the default entry
    for (int n = 0; n < 16; ++n)
        QTest::addRow("default %d", n) << n << QByteArray();
    QRandomGenerator rng(1208);
    for (int k = 0; k < 8; ++k) {
        QByteArray r(formats::RecordSize, '\0');
        for (auto& b : r)
            b = char(rng.bounded(256));
        r[0] = 8;
        for (int i = 1; i <= 8; ++i)
            r[i] = char(0x20 + rng.bounded(95));
        if ((r[9] & 0x88) == 0x80) // multichannel IMAX takes the low-passed sum
            r[10] = char(r[10] | 0x30);
        QTest::addRow("random %d", k) << k * 2 << r;
    }
    // A name a file may hold that cannot be typed: shown and stored back as it was.
    QTest::newRow("name bytes outside printable ASCII")
        << 9 << QByteArray::fromHex("08 00 e9 41 42 7f 01 20 5a 01 0a 3f ff 00 77 1e 00");
}

void TestFormatWindows::editorOkKeepsTheEntry()
{
    QFETCH(int, entry);
    QFETCH(QByteArray, record);
    Program p;
    if (!record.isEmpty())
        p.model.writeImage(KbdMonitor, MonitorImage::formatOffset(entry),
                           {reinterpret_cast<const std::uint8_t*>(record.constData()), std::size_t(record.size())});
    const MonitorImage before = p.model.MonImage;
    TDefFormat* d = p.w.defFormat;
    whenShown(d, [d] { d->OKBtn->click(); });
    QCOMPARE(d->edit(entry), int(QDialog::Accepted));
    QCOMPARE(recordHex(p.model.MonImage, entry), recordHex(before, entry));
    QVERIFY(p.model.MonImage == before);
    QVERIFY(!p.model.LayoutChanged); // the same bytes are no edit
}

void TestFormatWindows::editorPresetTrimsAndName()
{
    Program p;
    TDefFormat* d = p.w.defFormat;
    TSetgainF* g = p.w.setgain;
    whenShown(d, [d, g] {
        emit d->initialformat->activated(2); // the user picks LCRS
        d->formatname->setText(QStringLiteral("mine"));
        emit d->initialformat->activated(2); // the same preset again resets as well
        QCOMPARE(d->formatname->text(), QStringLiteral("LCRS"));
        QCOMPARE(d->Surround->currentText(), QStringLiteral("Mono"));
        whenShown(g, [g] {
            QCOMPARE(g->Title->text(), QStringLiteral("Set Input Trim"));
            clickTimes(g->Increase, 3);
            g->BitBtn1->click();
        });
        d->Formattrim->click();
        QCOMPARE(d->Formattrim->text(), QStringLiteral("+1.5dB"));
        whenShown(g, [g] { clickTimes(g->Increase, 20); });
        d->Stereotrim->click();
        QCOMPARE(d->Stereotrim->text(), QStringLiteral("+6.0dB"));
        whenShown(g, [g] {
            QCOMPARE(g->Level->text(), QStringLiteral("+0.0dB")); // 12 is above the mono maximum
            clickTimes(g->Increase, 2);
        });
        d->Monotrim->click();
        QCOMPARE(d->Monotrim->text(), QStringLiteral("+1.0dB"));
        d->formatname->selectAll();
        QTest::keyClicks(d->formatname, "Film");
        d->OKBtn->click();
    });
    d->edit(1);
    QCOMPARE(recordHex(p.model.MonImage, 1),
             QByteArray("08 46 69 6c 6d 20 20 20 20 30 09 17 f7 00 00 21 0c"));
    QCOMPARE(p.key(18)->Caption(), QStringLiteral("Film    ")); // User-B shows entry 1
}

void TestFormatWindows::nameEditTakesPrintableAsciiOnly()
{
    Program p;
    TDefFormat* d = p.w.defFormat;
    const QByteArray dataBefore = recordHex(p.model.MonImage, 3).mid(27);
    whenShown(d, [d] {
        d->formatname->selectAll();
        for (QChar c : QStringLiteral("A\u20ACb\u00E9\u540DZ")) { // typed one by one
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(d->formatname, &press);
        }
        QCOMPARE(d->formatname->text(), QStringLiteral("AbZ"));
        d->formatname->insert(QStringLiteral("\u00E9\t")); // pasted
        QCOMPARE(d->formatname->text(), QStringLiteral("AbZ"));
        d->OKBtn->click();
    });
    d->edit(3);
    QCOMPARE(recordHex(p.model.MonImage, 3), "08 41 62 5a 20 20 20 20 20 " + dataBefore);
}

void TestFormatWindows::formatListEditsAndRefills()
{
    Program p;
    TSelFormatF* s = p.w.selFormat;
    TDefFormat* d = p.w.defFormat;
    p.w.main->action(QStringLiteral("EditFormats1"))->trigger();
    QVERIFY(s->isVisible());
    QVERIFY(!s->isModal());
    QVERIFY(!s->BitBtn2->isHidden());
    QCOMPARE(s->Monformat->count(), 16);
    QCOMPARE(s->Monformat->item(0)->text(), QStringLiteral("1:StereoA4"));
    QCOMPARE(s->Monformat->item(2)->text(), QStringLiteral("3:5.1   B "));
    QCOMPARE(s->Monformat->item(15)->text(), QStringLiteral("16:StereoA4"));
    s->Monformat->setCurrentRow(4);
    whenShown(d, [d] {
        QCOMPARE(d->windowTitle(), QStringLiteral("Set format 5"));
        QCOMPARE(d->formatname->text(), QStringLiteral("StereoC2"));
        d->formatname->clear();
        d->OKBtn->click();
    });
    s->BitBtn2->click();
    QCOMPARE(s->MonformatTag, 4);
    QCOMPARE(s->Monformat->item(4)->text(), QStringLiteral("5:format4 "));
    QCOMPARE(s->Monformat->currentRow(), 4);
    QVERIFY(!s->isVisible()); // "Edit" ends the list
}

void TestFormatWindows::outputKeyTrims_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("after"); // after two Increase clicks
    QTest::newRow("Left") << 2 << 0 << "-4.0dB" << 2;
    QTest::newRow("Sub, above the maximum") << 5 << 40 << "+0.0dB" << 10;
    QTest::newRow("Rear.R., at the maximum") << 9 << 16 << "+4.0dB" << 16;
}

// Shift + click on an output key edits OutputTrim[code AND 15] at 330 + n.
void TestFormatWindows::outputKeyTrims()
{
    QFETCH(int, key);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    Program p;
    const std::size_t at = mon::OutputTrim + std::size_t(p.key(key)->Tag() & 15);
    p.put(KbdMonitor, at, std::uint8_t(stored));
    MonitorImage expected = p.model.MonImage;
    TSetgainF* g = p.w.setgain;
    whenShown(g, [g, shown] {
        QCOMPARE(g->Title->text(), QStringLiteral("Set Output Trim"));
        QCOMPARE(g->Level->text(), shown);
        clickTimes(g->Increase, 2);
        g->BitBtn1->click();
    });
    p.shiftClick(key);
    QFETCH(int, after);
    expected.bytes[at] = std::uint8_t(after);
    QVERIFY(p.model.MonImage == expected);
    QCOMPARE(p.model.LayoutChanged, after != stored);
    QVERIFY(p.sent.isEmpty());
}

void TestFormatWindows::formatKeyPicksAFormat()
{
    Program p;
    TSelFormatF* s = p.w.selFormat;
    QCOMPARE(p.key(19)->Tag(), 50); // User-C, slot 2
    whenShown(s, [s] {
        QVERIFY(s->isModal());
        QVERIFY(s->BitBtn2->isHidden());
        QCOMPARE(s->Monformat->currentRow(), 2);
        s->Monformat->setCurrentRow(4);
        s->BitBtn1->click();
    });
    p.shiftClick(19);
    QCOMPARE(int(p.model.MonImage.formatAssign(2)), 4);
    QCOMPARE(p.key(19)->Caption(), QStringLiteral("StereoC2"));
    QVERIFY(p.model.LayoutChanged);

    // Closed without OK: the slot stays; a stray slot byte from a file is kept as well.
    p.put(KbdMonitor, mon::FormatAssign + 3, 0xC8);
    whenShown(s, [s] {
        QCOMPARE(s->Monformat->currentRow(), 0);
        s->Monformat->setCurrentRow(9);
        s->reject();
    });
    p.shiftClick(20); // User-D, slot 3
    QCOMPARE(int(p.model.MonImage.formatAssign(3)), 0xC8);
    QCOMPARE(p.key(20)->Caption(), QStringLiteral("User-D"));
}

void TestFormatWindows::shiftKeyTogglesTheLayer()
{
    Program p;
    p.put(KbdMonitor, mon::FormatAssign + 8, 5);  // User-A shifted
    p.put(KbdMonitor, mon::FormatAssign + 10, 7); // User-C shifted
    p.put(KbdMonitor, mon::KeyCodes, 15);          // "Shift" on key 1
    p.shiftClick(1);
    QVERIFY(p.w.main->shiftf->isVisible());
    QCOMPARE(p.key(17)->Caption(), QStringLiteral("StereoC3"));
    QCOMPARE(p.key(18)->Caption(), QStringLiteral("StereoD3")); // default slot 9
    QCOMPARE(p.key(1)->Tag(), 15);
    QVERIFY(!p.model.LayoutChanged); // the layer shown is no part of the layout

    TSelFormatF* s = p.w.selFormat;
    whenShown(s, [s] {
        QCOMPARE(s->Monformat->currentRow(), 7);
        s->Monformat->setCurrentRow(1);
        emit s->Monformat->itemDoubleClicked(s->Monformat->item(1)); // picks, as OK does
    });
    p.shiftClick(19); // User-C edits its shifted slot 10
    QCOMPARE(int(p.model.MonImage.formatAssign(10)), 1);
    QCOMPARE(int(p.model.MonImage.formatAssign(2)), 2);
    QCOMPARE(p.key(19)->Caption(), QStringLiteral("LCRS    "));

    p.shiftClick(1);
    QVERIFY(p.w.main->shiftf->isHidden());
    QCOMPARE(p.key(17)->Caption(), QStringLiteral("StereoA4"));
    QCOMPARE(p.key(19)->Caption(), QStringLiteral("5.1   B "));
    QCOMPARE(p.key(1)->Tag(), 15);
}

void TestFormatWindows::dimAndCalibrateKeptForTheSession()
{
    Program p;
    const MonitorImage before = p.model.MonImage;
    TSetgainF* g = p.w.setgain;
    auto expect = [g](const QString& title, const QString& level, int clicks) {
        whenShown(g, [g, title, level, clicks] {
            QCOMPARE(g->Title->text(), title);
            QCOMPARE(g->Level->text(), level);
            clickTimes(g->Increase, clicks);
            g->BitBtn1->click();
        });
    };
    expect(QStringLiteral("Set DIM cut"), QStringLiteral("+0.0dB"), 5);
    p.shiftClick(22); // Dim
    expect(QStringLiteral("Set Calibrate A level"), QStringLiteral("+0.0dB"), 1);
    p.shiftClick(10); // Cal-A
    expect(QStringLiteral("Set DIM cut"), QStringLiteral("+2.5dB"), 0);
    p.shiftClick(22);
    expect(QStringLiteral("Set Calibrate B level"), QStringLiteral("+0.0dB"), 0);
    p.shiftClick(1); // Cal-B
    expect(QStringLiteral("Set Calibrate A level"), QStringLiteral("+0.5dB"), 0);
    p.shiftClick(10);
    QVERIFY(p.model.MonImage == before);
    QVERIFY(!p.model.LayoutChanged); // the levels have no place in the layout

    p.shiftClick(16); // Cut: nothing behind it
    QVERIFY(!p.model.LayoutChanged);
    QTest::mouseClick(p.key(22), Qt::LeftButton);
    QCOMPARE(p.sent, QList<int>{2});
}

// A format edited through the windows and saved: the file holds the layout as loaded with
// exactly the new 17 bytes at 58 + 17n.
void TestFormatWindows::editedFormatIsSavedByteForByte()
{
    QTemporaryDir files;
    const QString path = files.path() + QStringLiteral("/studio.bin");
    MonitorImage img = defaultMonitorImage();
    img.setKbdType(KbdMonitor);
    for (int i = 0; i < KeyCount; ++i)
        img.setKeyCode(i, std::uint8_t(defaultKeyCode(KbdMonitor, i)));
    for (std::size_t i = mon::OutputTrim; i < mon::Size; ++i)
        img.bytes[i] = std::uint8_t(i * 7);
    img.bytes[MonitorImage::formatOffset(6) + 14] = 0x5A; // spare byte of entry 6
    writeFile(path, imageBytes(img));

    Program p(path);
    QVERIFY(p.w.main->action(QStringLiteral("Save1"))->isEnabled());
    TSelFormatF* s = p.w.selFormat;
    TDefFormat* d = p.w.defFormat;
    TSetgainF* g = p.w.setgain;
    p.w.main->action(QStringLiteral("EditFormats1"))->trigger();
    s->Monformat->setCurrentRow(6);
    whenShown(d, [&p, d, g] {
        d->formatname->selectAll();
        QTest::keyClicks(d->formatname, "Cinema");
        d->inputchan->setCurrentIndex(4);  // E
        d->iptype->setCurrentIndex(0);     // Multi
        d->Surround->setCurrentIndex(4);   // LBBR
        d->LFE->setCurrentIndex(2);        // Sum: gain 0dB
        p.find<QCheckBox>(d, "InCentre")->click();
        p.find<QCheckBox>(d, "OutTop")->click();
        whenShown(g, [g] {
            clickTimes(g->Increase, 2);
            g->BitBtn1->click();
        });
        d->Formattrim->click();
        d->OKBtn->click();
    });
    s->BitBtn2->click();
    QCOMPARE(s->Monformat->item(6)->text(), QStringLiteral("7:Cinema  "));
    s->BitBtn1->click();
    p.w.main->action(QStringLiteral("Save1"))->trigger();
    QVERIFY(!p.model.LayoutChanged);

    QByteArray expected = imageBytes(img);
    const QByteArray entry = QByteArray::fromHex("08" "43696e656d612020" "34 64 07 03 04 5a 20 00");
    expected.replace(58 + 17 * 6, 17, entry);
    const QByteArray saved = readFile(path);
    QCOMPARE(saved.size(), 364);
    QCOMPARE(saved.mid(58 + 17 * 6, 17).toHex(' '), entry.toHex(' '));
    QCOMPARE(saved.toHex(), expected.toHex());
}

QTEST_MAIN(TestFormatWindows)
#include "tst_formats_windows.moc"
