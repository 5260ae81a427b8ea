// An upload through the connect window against zeltra-emu, as a user runs it: the window is
// closed while the transfer goes on, another layout is asked for meanwhile, and the bytes the
// keyboard sent come into the layout they were read for as one step when the transfer ends.
#include "EmuProcess.h"
#include "ProgramWindows.h"
#include "TestFiles.h"
#include "link/TDownloadf.h"
#include "model/KeyLayout.h"
#include "model/LayoutFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

using namespace zeltra;

namespace {
constexpr std::uint8_t Fill = 0x12; // a timecode digit pair, so every byte read is taken

QByteArray layout(std::uint8_t seed) {
    MachineImage img = defaultMachineImage();
    for (std::size_t i = mcn::KeyCodes; i < mcn::Size; ++i)
        img.bytes[i] = std::uint8_t((i + seed) % 10); // BCD digits, none of them Fill
    return QByteArray(reinterpret_cast<const char*>(img.bytes.data()), qsizetype(img.bytes.size()));
}
} // namespace

class TestUploadFlow : public QObject {
    Q_OBJECT
  private slots:
    void uploadOutlivesItsWindow();
};

void TestUploadFlow::uploadOutlivesItsWindow() {
    QTemporaryDir dir;
    EmuProcess emu;
    const QString link = dir.filePath(QStringLiteral("kbd"));
    QVERIFY(
        emu.start({"--link", link, "--fill", QString::number(Fill, 16), "--line-rate", "38400"}));
    qputenv("ZELTRA_COM1", QFile::encodeName(link));
    ProgramWindows p;
    const QString first = p.folder + QStringLiteral("m.bin");
    const QString second = p.folder + QStringLiteral("m2.bin");
    writeFile(first, layout(1));
    writeFile(second, layout(2));
    p.create();
    p.w.main->show();
    p.prompts.openFiles << first;
    p.w.main->Open1Click();

    QTimer::singleShot(0, p.w.download, [&p] {
        p.w.download->findChild<QComboBox*>(QStringLiteral("ComboBox1"))
            ->setCurrentIndex(0); // "All"
        p.w.download->findChild<QPushButton*>(QStringLiteral("Loadkey"))->click();
        p.w.download->reject(); // closed at once
    });
    p.w.main->Download1Click();
    QVERIFY(p.w.download->transferRunning());
    QCOMPARE(p.w.main->windowTitle(), QStringLiteral("m.bin[*]"));

    // Another layout is refused while the bytes come in, whichever way it is asked for.
    p.prompts.openFiles << second;
    p.w.main->Open1Click();
    p.w.main->action(QStringLiteral("mcnctrl"))->trigger();
    QCOMPARE(p.prompts.messages.size(), 2);
    QVERIFY(p.prompts.messages.first().contains(QStringLiteral("transfer")));
    QCOMPARE(p.prompts.openFiles.size(), 1); // no file was asked for
    QCOMPARE(p.model.file(), first);
    QCOMPARE(p.history.count(), 0);
    QVERIFY(!p.model.LayoutChanged); // nothing has come into the layout yet

    QTRY_VERIFY_WITH_TIMEOUT(!p.w.download->transferRunning(), 60000);
    QCOMPARE(p.history.count(), 1);
    QVERIFY(p.model.LayoutChanged && p.w.main->isWindowModified());
    QCOMPARE(p.key(0)->Tag(), int(Fill)); // the keys show what came
    QCOMPARE(p.model.McnImage.bytes[mcn::Cues], Fill);

    p.w.main->Save1Click();
    QCOMPARE(readFile(first).mid(mcn::KeyCodes, KeyCount), QByteArray(KeyCount, char(Fill)));
    QCOMPARE(readFile(second), layout(2));
    p.w.main->action(QStringLiteral("Undo1"))->trigger(); // the one step of the transfer
    QCOMPARE(layoutfiles::currentImage(p.model.data()), layout(1));
}

QTEST_MAIN(TestUploadFlow)
#include "tst_upload_flow.moc"
