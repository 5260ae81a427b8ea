// Times "All" transfers through the program's own transfer driver and serial channel against
// zeltra-emu pacing its line at 38400 baud, 11 bits a byte:
// - at the default pace, over the protocol's floor of one frame per 50 ms tick plus one tick
//   to finish each block (a machine download: 483 ticks, 24.15 s);
// - with fast transfer, over the wire limit: every frame and every reply back to back.
// Prints both ratios and the speed-up, for a download and an upload, and fails when a ratio
// reaches its limit.
#include "EmuProcess.h"
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "link/QtSerialChannel.h"
#include "link/TransferDriver.h"
#include "model/LayoutData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace zeltra;
using namespace zeltra::link;

namespace {

constexpr int LineRate = 38400;
constexpr double BitsPerByte = 11;
constexpr double PaceLimit = 1.03;
constexpr double FastLimit = 1.5;
constexpr int ReadRequestBytes = 5;
constexpr int WriteRequestBytes = 6;
constexpr int AckBytes = 3;

struct Run {
    double seconds = -1;
    int frames = 0;
    int blocks = 0;
};

// One "All" transfer in machine mode; -1 seconds when it did not finish.
Run transfer(const QString& emu, const QStringList& emuArgs, Direction direction, bool fast)
{
    QTemporaryDir dir;
    const QString link =
        dir.filePath(QStringLiteral("kbd-bench-%1").arg(QCoreApplication::applicationPid()));
    EmuProcess emulator(emu);
    if (!dir.isValid() ||
        !emulator.start(QStringList{QStringLiteral("--link"), link, QStringLiteral("--line-rate"),
                                    QString::number(LineRate)} +
                        emuArgs)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(emu));
        return {};
    }
    qputenv("ZELTRA_COM7", QFile::encodeName(link));
    LayoutData model;
    model.initDefaults(dir.path() + QLatin1Char('/'));
    model.Settings.setComPort(7);
    model.setKbdType(KbdMachine);
    QtSerialChannel channel;
    LinkEngine engine(model, channel);
    TransferDriver driver(engine);
    if (!engine.Setupcom()) {
        std::fprintf(stderr, "port did not open: %s\n", qPrintable(channel.errorString()));
        return {};
    }
    driver.setFast(fast);

    Run run;
    for (int b = 1; stepEntry(KbdMachine, int(direction) + b).kind != StepKind::None; ++b)
        ++run.blocks;
    QElapsedTimer clock;
    QEventLoop loop;
    // The end is the last block's "finished", as the user sees it.
    QObject::connect(&engine, &LinkEngine::displayChanged, [&] {
        if (run.seconds < 0 && driver.framesTotal() > 0 &&
            driver.framesDone() == driver.framesTotal() &&
            engine.display().Label2.text == QLatin1String("finished")) {
            run.seconds = double(clock.nsecsElapsed()) / 1e9;
            loop.quit();
        }
    });
    QObject::connect(&driver, &TransferDriver::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    clock.start();
    driver.start(direction, 0);
    loop.exec();
    run.frames = driver.framesTotal();
    if (run.seconds < 0)
        std::fprintf(stderr, "transfer did not finish: %s\n",
                     qPrintable(engine.display().umessage.text));
    return run;
}

bool report(const char* what, const QString& emu, const QStringList& emuArgs, Direction direction)
{
    const Run paced = transfer(emu, emuArgs, direction, false);
    const Run fast = transfer(emu, emuArgs, direction, true);
    if (paced.seconds < 0 || fast.seconds < 0)
        return false;
    const double floor = (paced.frames + paced.blocks) * LinkEngine::TickMs / 1000.0;
    const int lineBytes = direction == Direction::Download ? WriteRequestBytes + AckBytes
                                                           : ReadRequestBytes + ReplyLength;
    const double wire = fast.frames * lineBytes * BitsPerByte / LineRate;
    const double paceRatio = paced.seconds / floor;
    const double fastRatio = fast.seconds / wire;
    std::printf("machine \"All\" %s, %d frames, line %d baud:\n", what, paced.frames, LineRate);
    std::printf("  default pace:  %7.3f s, floor %.3f s (%d ticks), ratio %.4f (limit %.2f)\n",
                paced.seconds, floor, paced.frames + paced.blocks, paceRatio, PaceLimit);
    std::printf("  fast transfer: %7.3f s, wire limit %.3f s, ratio %.4f (limit %.2f)\n",
                fast.seconds, wire, fastRatio, FastLimit);
    std::printf("  speed-up: %.1f times\n", paced.seconds / fast.seconds);
    return paceRatio < PaceLimit && fastRatio < FastLimit;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString emu =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZELTRA_EMU_PATH);
    // Further words go to the emulator, a fault switch such as --garbage 99.
    const QStringList emuArgs = QCoreApplication::arguments().mid(2);
    const bool download = report("download", emu, emuArgs, Direction::Download);
    const bool upload = report("upload", emu, emuArgs, Direction::Upload);
    std::fflush(stdout);
    return download && upload ? 0 : 1;
}
