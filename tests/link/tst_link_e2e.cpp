// End to end: the program's own serial channel and connect window against zeltra-emu on a
// pseudo-terminal. Transfers run at the protocol's pace, so these tests take seconds.
#include "EmuCore.h"
#include "EmuProcess.h"
#include "ScriptedPrompts.h"
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/LayoutModel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

using namespace zeltra;
using zeltra::emu::Eeprom;

namespace {

constexpr int Port = 7;
constexpr std::uint8_t Fill = 0xEE;

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Link {
    QTemporaryDir dir;
    QString linkPath =
        dir.filePath(QStringLiteral("kbd-%1").arg(QCoreApplication::applicationPid()));
    QString eepromPath = dir.filePath(QStringLiteral("eeprom.bin"));
    EmuProcess emu;
    LayoutModel model;
    ScriptedPrompts prompts;
    TComNumberF picker;
    std::unique_ptr<TDownloadf> dl;
    QStringList umessages;
    int keyRefreshes = 0;

    bool startEmu(const QStringList& extra = {})
    {
        return emu.start(QStringList{"--link", linkPath, "--eeprom", eepromPath, "--fill", "EE"} +
                         extra);
    }
    void openWindow(int kind)
    {
        qputenv(qPrintable(QStringLiteral("ZELTRA_COM%1").arg(Port)), QFile::encodeName(linkPath));
        model.initDefaults(dir.path() + QLatin1Char('/'));
        model.setKbdType(kind);
        model.Settings.setComPort(Port);
        dl = std::make_unique<TDownloadf>(model, picker, prompts);
        // Each change of the key codes the model tells: the keys are drawn again from it.
        QObject::connect(&model, &LayoutModel::imageChanged, [this](std::int32_t, int at, int n) {
            keyRefreshes += at < int(mcn::UnitConfig) && at + n > int(mcn::KeyCodes) ? 1 : 0;
        });
        QObject::connect(&dl->engine(), &link::LinkEngine::displayChanged, [this] {
            const QString text = dl->engine().display().umessage.text;
            if (umessages.isEmpty() || umessages.last() != text)
                umessages << text;
        });
        dl->Setupcom();
        dl->show(); // its controls are made when it is first shown
        dl->hide();
    }
    void press(int index, const char* button)
    {
        dl->selectBlock(index);
        dl->findChild<QPushButton*>(QLatin1String(button))->click();
    }
    bool idle() const { return dl->engine().step() == 0; }
    // The image of `kind` from its fifth byte on as `byte(i)` gives it, as a file would have
    // brought it; key refreshes are counted from here.
    template <class Byte> void fill(int kind, Byte byte)
    {
        std::vector<std::uint8_t> bytes(kind == KbdMachine ? mcn::Size - 4 : mon::Size - 4);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = std::uint8_t(byte(i + 4));
        model.writeImage(kind, 4, bytes);
        keyRefreshes = 0;
    }
    QString message() const { return dl->engine().display().umessage.text; }
    Eeprom eeprom() const
    {
        QFile file(eepromPath);
        if (!file.open(QIODevice::ReadOnly))
            return Eeprom(0);
        return Eeprom::fromBytes(file.readAll()).value_or(Eeprom(0));
    }
};

// What the keyboard must hold after a download: the bytes the block tables send, and the
// untouched fill everywhere else.
template <class Image> void compareEeprom(const Eeprom& eeprom, int kind, const Image& image)
{
    for (int block = 0; block < emu::BlockCount; ++block) {
        const auto* entry = link::blockEntry(kind, block);
        for (int a = 0; a < emu::BlockBytes; ++a) {
            const bool sent = entry && a < entry->written;
            const int expected = sent ? *link::downloadByte(image, block, a) : Fill;
            QVERIFY2(eeprom.at(block, a) == expected,
                     qPrintable(QStringLiteral("block %1 address %2").arg(block).arg(a)));
        }
    }
}

template <class Image> void compareImage(const Image& got, const Image& expected)
{
    for (std::size_t i = 0; i < got.bytes.size(); ++i)
        QVERIFY2(got.bytes[i] == expected.bytes[i], qPrintable(QStringLiteral("offset %1").arg(i)));
}

} // namespace

class TestLinkEndToEnd : public QObject {
    Q_OBJECT
  private slots:
    void machineDownloadThenUpload()
    {
        Link l;
        QVERIFY(l.startEmu());
        l.openWindow(KbdMachine);
        QVERIFY(l.prompts.messages.isEmpty());
        l.fill(KbdMachine, [](std::size_t i) { return (i % 100 / 10) << 4 | i % 10; });
        const MachineImage original = l.model.McnImage;

        l.press(0, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 60000);
        QCOMPARE(l.dl->engine().display().Label2.text, QStringLiteral("finished"));
        compareEeprom(l.eeprom(), KbdMachine, original);

        l.fill(KbdMachine, [](std::size_t) { return 0; });
        MachineImage expected = l.model.McnImage;
        for (std::size_t i = mcn::KeyCodes; i < mcn::Gpos; ++i)
            expected.bytes[i] = original.bytes[i];
        for (std::size_t last :
             {mcn::UnitConfig + 15, mcn::PortAConfig + 15, mcn::PortBConfig + 15})
            expected.bytes[last] = Fill; // written as 15 bytes, read back as 16
        l.press(0, "Loadkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);
        compareImage(l.model.McnImage, expected);
        QCOMPARE(l.keyRefreshes, 1);
    }

    void monitorDownloadThenUpload()
    {
        Link l;
        QVERIFY(l.startEmu());
        l.openWindow(KbdMonitor);
        l.fill(KbdMonitor, [](std::size_t i) { return i * 5 % 16; });
        const MonitorImage original = l.model.MonImage;

        l.press(0, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 40000);
        compareEeprom(l.eeprom(), KbdMonitor, original);

        l.fill(KbdMonitor, [](std::size_t) { return 0; });
        MonitorImage expected = l.model.MonImage;
        for (std::size_t i = mon::KeyCodes; i < mon::FormatAssign + 15; ++i)
            expected.bytes[i] = original.bytes[i];
        expected.bytes[mon::KeyCodes + 21] = Fill;   // key22 is not sent, but read back
        expected.bytes[mon::UnitConfig + 15] = Fill; // 15 written, 16 read
        // The sixteenth slot reads back EE, which names no format record: it is refused.
        for (std::size_t i = mon::FormatTable + 1; i < mon::FormatTable + 17; ++i)
            expected.bytes[i] = original.bytes[i]; // the only row read back: record 0
        for (std::size_t i = mon::PecDirData; i < mon::PecDirData + 15; ++i)
            expected.bytes[i] = original.bytes[i];
        expected.bytes[mon::PecDirData + 15] = Fill;
        l.press(0, "Loadkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);
        compareImage(l.model.MonImage, expected);
    }

    void keyboardGoneAndBack()
    {
        Link l;
        QVERIFY(l.startEmu());
        l.openWindow(KbdMachine);
        l.press(5, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.dl->engine().counter() >= 10, 5000);
        l.emu.kill();
        QTRY_COMPARE_WITH_TIMEOUT(l.message(), QStringLiteral("Abort No Coms"), 5000);
        QVERIFY(!l.dl->channel().active());
        QVERIFY(!l.dl->engine().portReady());

        const double before = cpuSeconds();
        QTest::qWait(1000);
        QVERIFY2(cpuSeconds() - before < 0.5, "busy after the device went away");

        QVERIFY(l.startEmu());
        QTimer::singleShot(0, &l.picker, [&] {
            l.picker.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        l.dl->Port1Click();
        QVERIFY(l.dl->channel().active());
        QCOMPARE(l.dl->portCaption(), QStringLiteral("Com%1").arg(Port));
        l.press(8, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 5000);
        QCOMPARE(l.message(), QStringLiteral("Download Macro data"));
        for (int a = 0; a < 8; ++a)
            QCOMPARE(l.eeprom().at(8, a), l.model.McnImage.bytes[mcn::MacroTable + std::size_t(a)]);
    }

    // Every byte value crosses the line unchanged both ways: upload replies carry 0..255,
    // key frames carry 0..255 out.
    void everyByteValue()
    {
        Link l;
        Eeprom stored(Fill);
        for (int a = 0; a < 16; ++a)
            for (int b = 2; b <= 4; ++b)
                stored.store(b, a, std::uint8_t(a + 16 * (b - 2))); // 0..47
        for (int a = 0; a < 22; ++a)
            stored.store(1, a, std::uint8_t(48 + a)); // 48..69
        for (int k = 0; k < 32; ++k) {
            stored.store(5, 6 * k + 4, std::uint8_t(70 + 2 * k)); // 70..133, beside the times
            stored.store(5, 6 * k + 5, std::uint8_t(71 + 2 * k));
        }
        for (int a = 0; a < 160; ++a)
            stored.store(6, a, std::uint8_t(96 + a)); // 96..255
        QFile file(l.eepromPath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored.toBytes()) == 4096);
        file.close();
        QVERIFY(l.startEmu());
        l.openWindow(KbdMachine);
        const MachineImage before = l.model.McnImage;
        l.press(0, "Loadkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);
        QSet<int> seen;
        auto area = [&](std::size_t start, int block, int count) {
            for (int a = 0; a < count; ++a) {
                QCOMPARE(l.model.McnImage.bytes[start + std::size_t(a)], stored.at(block, a));
                seen << stored.at(block, a);
            }
        };
        area(mcn::KeyCodes, 1, 22);
        area(mcn::UnitConfig, 2, 16);
        area(mcn::PortAConfig, 3, 16);
        area(mcn::PortBConfig, 4, 16);
        area(mcn::Loops, 6, 160);
        for (int k = 0; k < 32; ++k) {
            const std::size_t at = l.model.McnImage.cueOffset(k);
            QCOMPARE(l.model.McnImage.bytes[at], before.bytes[at]); // EE is no timecode digit
            for (int j = 4; j < 6; ++j) {
                QCOMPARE(l.model.McnImage.bytes[at + std::size_t(j)], stored.at(5, 6 * k + j));
                seen << stored.at(5, 6 * k + j);
            }
        }
        QCOMPARE(seen.size(), 256);

        for (int code = 0; code < 256; ++code)
            l.dl->sendkey(std::uint8_t(code));
        QTRY_VERIFY_WITH_TIMEOUT(l.emu.output().count("<- 01 B8 ") == 256, 5000);
        for (int code = 0; code < 256; ++code)
            QVERIFY(l.emu.output().contains(
                link::traceText(link::keyPressFrame(std::uint8_t(code))).toLatin1()));
    }

    // Only the reply to the read in flight is data; a keyboard that answers reads with
    // anything else ends the upload visibly, never with "finished".
    void faultyKeyboard_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("arrived");
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("red");
        const QString keys = QStringLiteral("Upload key values");
        QTest::newRow("garbage before answers") << QStringList{"--garbage", "00"} << 1 << true << keys << false;
        QTest::newRow("garbage holding the scan") << QStringList{"--garbage", "0F"} << 1 << true << keys << false;
        QTest::newRow("answers in pieces") << QStringList{"--split", "3"} << 1 << true << keys << false;
        QTest::newRow("answers late") << QStringList{"--delay", "120"} << 1 << true << keys << false;
        QTest::newRow("port A not taking commands")
            << QStringList{"--ack-only"} << 1 << false << "Set Serial-A to Input" << true;
        QTest::newRow("no answers") << QStringList{"--silent"} << 1 << false << "Abort No Coms" << true;
        QTest::newRow("replies for another address")
            << QStringList{"--wrong-address"} << 1 << false << "Abort No Coms" << true;
        QTest::newRow("a reply for another block before every answer")
            << QStringList{"--garbage", "1AB20100999999999999999995"} << 2 << true
            << "Upload Unit Config" << false;
        // A well-formed reply for the very address asked, then the real one: the two differ,
        // so neither counts and the bytes the first one placed are put back.
        QTest::newRow("a reply for the address asked before every answer")
            << QStringList{"--garbage", "1AB20100999999999999999995"} << 1 << false
            << "Abort No Coms" << true;
    }
    void faultyKeyboard()
    {
        QFETCH(QStringList, faults);
        QFETCH(int, index);
        QFETCH(bool, arrived);
        QFETCH(QString, last);
        QFETCH(bool, red);
        Link l;
        QVERIFY(l.startEmu(faults));
        l.openWindow(KbdMachine);
        const MachineImage before = l.model.McnImage;
        l.press(index, "Loadkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 10000);
        const auto& d = l.dl->engine().display();
        QCOMPARE(d.umessage.text, last);
        QCOMPARE(d.umessage.colour == link::LinkEngine::LabelRed, red);
        QCOMPARE(d.Label2.text == QLatin1String("finished"), arrived);
        const std::size_t area = index == 1 ? mcn::KeyCodes : mcn::UnitConfig;
        for (std::size_t i = 0; i < 16; ++i)
            QCOMPARE(l.model.McnImage.bytes[area + i], arrived ? Fill : before.bytes[area + i]);
        const std::size_t other = index == 1 ? mcn::UnitConfig : mcn::KeyCodes;
        for (std::size_t i = 0; i < 16; ++i)
            QCOMPARE(l.model.McnImage.bytes[other + i], before.bytes[other + i]);
        QCOMPARE(l.keyRefreshes, arrived && index == 1 ? 1 : 0);
    }

    // An answer after the time-out is stale: "Abort No Coms" stays.
    void lateAnswerChangesNothing()
    {
        Link l;
        QVERIFY(l.startEmu({"--delay", "1100"}));
        l.openWindow(KbdMachine);
        l.press(8, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 3000);
        QCOMPARE(l.message(), QStringLiteral("Abort No Coms"));
        QTRY_VERIFY_WITH_TIMEOUT(l.emu.output().contains("-> 10 01 11"), 3000);
        QTest::qWait(200);
        QCOMPARE(l.dl->engine().display().umessage,
                 (link::LabelState{QStringLiteral("Abort No Coms"), link::LinkEngine::LabelRed}));
        QVERIFY(!l.umessages.contains(QStringLiteral("Set Serial-A to Input")));
    }

    // A port that goes away while nothing runs is shown closed, as after a failed selection.
    void portGoneWhileIdle()
    {
        Link l;
        QVERIFY(l.startEmu());
        l.openWindow(KbdMachine);
        QSignalSpy closed(l.dl.get(), &TDownloadf::portClosed);
        QCOMPARE(l.dl->portCaption(), QStringLiteral("Com:%1").arg(Port));
        l.emu.kill();
        QTRY_COMPARE_WITH_TIMEOUT(l.dl->portCaption(), QStringLiteral("Com?"), 3000);
        QVERIFY(!l.dl->channel().active());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(closed.first().first().toString(), QStringLiteral("Com?"));
        QVERIFY(l.message().isEmpty());
    }

    // Fast transfer leaves the same bytes in the keyboard as the default pace (the test
    // above holds those to the block tables), and reads the same bytes back.
    void fastTransfer_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("machine") << int(KbdMachine);
        QTest::newRow("monitor") << int(KbdMonitor);
    }
    void fastTransfer()
    {
        QFETCH(int, kind);
        Link l;
        QVERIFY(l.startEmu());
        l.openWindow(kind);
        l.dl->setFastTransfer(true);
        l.fill(KbdMachine, [](std::size_t i) { return (i % 100 / 10) << 4 | i % 10; });
        l.fill(KbdMonitor, [](std::size_t i) { return i * 5 % 16; });
        const MachineImage mcn = l.model.McnImage;
        const MonitorImage mon = l.model.MonImage;
        QElapsedTimer clock;
        clock.start();
        l.press(0, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);
        QVERIFY2(clock.elapsed() < 10000, "no faster than the default pace");
        QCOMPARE(l.dl->engine().display().Label2.text, QStringLiteral("finished"));
        if (kind == KbdMachine)
            compareEeprom(l.eeprom(), kind, mcn);
        else
            compareEeprom(l.eeprom(), kind, mon);

        l.press(0, "Loadkey"); // reads back into the image it came from: nothing changes
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);
        QCOMPARE(l.dl->engine().display().Label2.text, QStringLiteral("finished"));
        QCOMPARE(l.dl->driver().framesDone(), l.dl->driver().framesTotal());
    }

    void fastTransferSilentKeyboard()
    {
        Link l;
        QVERIFY(l.startEmu({"--silent"}));
        l.openWindow(KbdMachine);
        l.dl->setFastTransfer(true);
        QElapsedTimer clock;
        clock.start();
        l.press(0, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 3000);
        QVERIFY(clock.elapsed() >= 950);
        QCOMPARE(l.dl->engine().display().umessage,
                 (link::LabelState{QStringLiteral("Abort No Coms"), link::LinkEngine::LabelRed}));
    }

    // Verify reads back what a download writes: a clean keyboard verifies, one that stores
    // every Nth byte wrongly shows exactly those bytes in the trace.
    void verify_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("corrupt");
        QTest::newRow("machine, clean") << int(KbdMachine) << 0;
        QTest::newRow("machine, every 7th byte wrong") << int(KbdMachine) << 7;
        QTest::newRow("monitor, every 5th byte wrong") << int(KbdMonitor) << 5;
    }
    void verify()
    {
        QFETCH(int, kind);
        QFETCH(int, corrupt);
        Link l;
        QVERIFY(l.startEmu(corrupt ? QStringList{"--corrupt", QString::number(corrupt)}
                                   : QStringList{}));
        l.openWindow(kind);
        l.dl->setFastTransfer(true);
        l.fill(KbdMachine, [](std::size_t i) { return i * 3; });
        l.fill(KbdMonitor, [](std::size_t i) { return i * 5 % 16; });
        l.press(0, "Setkey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);

        QStringList expected; // in the order of the writes, every Nth stored wrongly
        int writes = 0;
        for (int block = 1; const auto* entry = link::blockEntry(kind, block); ++block)
            for (int a = 0; a < entry->written; ++a) {
                if (corrupt == 0 || ++writes % corrupt != 0)
                    continue;
                const int b = kind == KbdMachine ? *link::downloadByte(l.model.McnImage, block, a)
                                                 : *link::downloadByte(l.model.MonImage, block, a);
                auto hex = [](int v) { return QString::asprintf("%02X", v); };
                expected << QStringLiteral("block %1 address %2 expected %3 got %4")
                                .arg(block)
                                .arg(a)
                                .arg(hex(b), hex(0xFF - b));
            }
        const MachineImage mcn = l.model.McnImage;
        const MonitorImage mon = l.model.MonImage;
        l.press(0, "verifykey");
        QTRY_VERIFY_WITH_TIMEOUT(l.idle(), 20000);
        const auto label2 = l.dl->engine().display().Label2;
        if (corrupt == 0)
            QCOMPARE(label2, (link::LabelState{QStringLiteral("verified"), link::LinkEngine::LabelLime}));
        else
            QCOMPARE(label2, (link::LabelState{QStringLiteral("%1 bytes differ").arg(expected.size()),
                                               link::LinkEngine::LabelRed}));
        const QString trace = l.dl->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText();
        QCOMPARE(trace.isEmpty() ? QStringList() : trace.split(QLatin1Char('\n')), expected);
        QVERIFY(l.model.McnImage.bytes == mcn.bytes);
        QVERIFY(l.model.MonImage.bytes == mon.bytes);
    }
};

QTEST_MAIN(TestLinkEndToEnd)
#include "tst_link_e2e.moc"
