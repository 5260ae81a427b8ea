// Times a machine-mode "All" download through the program's own link and serial channel
// against zeltra-emu, and compares it with the protocol's floor of one frame per tick.
#include "EmuProcess.h"
#include "ScriptedPrompts.h"
#include "link/BlockTables.h"
#include "link/TComNumberF.h"
#include "link/TDownloadf.h"
#include "model/LayoutModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int MachineAllTicks = 483; // 475 write frames and one finishing tick per block
constexpr double AllowedRatio = 1.03;
constexpr int LastMachineBlock = 8;

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString emu =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZELTRA_EMU_PATH);

    QTemporaryDir dir;
    const QString link =
        dir.filePath(QStringLiteral("kbd-bench-%1").arg(QCoreApplication::applicationPid()));
    EmuProcess emulator(emu);
    if (!dir.isValid() || !emulator.start({QStringLiteral("--link"), link})) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(emu));
        return 2;
    }
    qputenv("ZELTRA_COM7", QFile::encodeName(link));

    zeltra::LayoutModel model;
    model.initDefaults(dir.path() + QLatin1Char('/'));
    model.Settings.setComPort(7);
    model.setKbdType(zeltra::KbdMachine);
    ScriptedPrompts prompts;
    TComNumberF picker;
    TDownloadf window(model, picker, prompts);
    window.Setupcom();
    if (!prompts.messages.isEmpty()) {
        std::fprintf(stderr, "port did not open\n");
        return 2;
    }
    window.selectBlock(0);

    QElapsedTimer clock;
    qint64 finishedMs = -1;
    QObject::connect(&window.engine(), &zeltra::link::LinkEngine::displayChanged, [&] {
        if (finishedMs < 0 && window.engine().step() == LastMachineBlock + 1) {
            finishedMs = clock.elapsed();
            app.quit();
        }
    });
    QTimer::singleShot(60000, &app, &QApplication::quit);
    clock.start();
    window.findChild<QPushButton*>(QStringLiteral("Setkey"))->click();
    app.exec();

    if (finishedMs < 0) {
        std::fprintf(stderr, "download did not finish: %s\n",
                     qPrintable(window.engine().display().umessage.text));
        return 1;
    }
    const double floor = MachineAllTicks * zeltra::link::LinkEngine::TickMs / 1000.0;
    const double measured = finishedMs / 1000.0;
    const double ratio = measured / floor;
    std::printf(
        "machine \"All\" download: %.3f s, floor %.3f s (%d ticks), ratio %.4f (limit %.2f)\n",
        measured, floor, MachineAllTicks, ratio, AllowedRatio);
    return ratio < AllowedRatio ? 0 : 1;
}
