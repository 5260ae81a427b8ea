// Times "All" transfers through the program's own transfer driver and serial channel against
// zeltra-emu pacing its line at 38400 baud, 11 bits a byte:
// - at the default pace, over the protocol's floor of one frame per 50 ms tick plus one tick
//   to finish each block (a machine download: 483 ticks, 24.15 s);
// - with fast transfer, over the wire limit: every frame and every reply back to back.
// Prints both ratios and the speed-up, for a download and an upload, and fails when a ratio
// reaches its limit.
// With --network: fast "All" downloads straight over the pseudo-terminal and through a
// ser2net of its own on 127.0.0.1 (RFC 2217 and raw TCP, with chardelay off and at ser2net's
// default), in the same run; fails when a chardelay-off run takes more than 1.2 times the
// direct one.
#include "EmuProcess.h"
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "Ser2netProcess.h"
#include "link/PortChannels.h"
#include "link/TransferDriver.h"
#include "model/LayoutData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace zeltra;
using namespace zeltra::link;

namespace {

constexpr int LineRate = 38400;
constexpr double BitsPerByte = 11;
constexpr double PaceLimit = 1.03;
constexpr double FastLimit = 1.5;
constexpr double NetworkLimit = 1.2;
constexpr int ReadRequestBytes = 5;
constexpr int WriteRequestBytes = 6;
constexpr int AckBytes = 3;

struct Run {
    double seconds = -1;
    int frames = 0;
    int blocks = 0;
};

// How the transfer reaches the emulator: its pseudo-terminal, or ser2net in front of it.
struct Route {
    enum Kind { Direct, Rfc2217, Tcp } kind = Direct;
    bool chardelay = false;
};

// Opens the engine's port, waiting for a network port to finish opening.
bool openPort(LinkEngine& engine)
{
    if (!engine.tryport())
        return false;
    if (engine.portReady())
        return true;
    QEventLoop loop;
    bool opened = false;
    QObject::connect(&engine, &LinkEngine::portOpened, &loop, [&](bool ok) {
        opened = ok;
        loop.quit();
    });
    loop.exec();
    return opened;
}

// One "All" transfer in machine mode; -1 seconds when it did not finish.
Run transfer(const QString& emu, const QStringList& emuArgs, Direction direction, bool fast,
             Route route = {})
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
    Ser2netProcess ser2net;
    PortChannel channel;
    LinkEngine engine(model, channel);
    TransferDriver driver(engine);
    if (route.kind != Route::Direct) {
        if (!ser2net.start(emulator.ptyPath(), route.chardelay)) {
            std::fprintf(stderr, "cannot start ser2net: %s\n", qPrintable(ser2net.error()));
            return {};
        }
        const QString address = ser2net.address(route.kind == Route::Rfc2217);
        engine.setPortAddress(parseNetworkAddress(address).address);
    }
    if (!openPort(engine)) {
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

// Fast "All" downloads, direct and through ser2net, taking turns so that the machine's load
// falls on all of them alike; the median of each.
bool reportNetwork(const QString& emu, const QStringList& emuArgs)
{
    constexpr int Rounds = 3;
    struct Way {
        const char* name;
        Route route;
        QList<double> seconds;
    };
    Way ways[] = {{"direct pseudo-terminal", {Route::Direct, false}, {}},
                  {"ser2net rfc2217, chardelay: false", {Route::Rfc2217, false}, {}},
                  {"ser2net tcp, chardelay: false", {Route::Tcp, false}, {}},
                  {"ser2net rfc2217, default chardelay", {Route::Rfc2217, true}, {}},
                  {"ser2net tcp, default chardelay", {Route::Tcp, true}, {}}};
    for (int round = 0; round < Rounds; ++round)
        for (Way& w : ways) {
            const Run r = transfer(emu, emuArgs, Direction::Download, true, w.route);
            if (r.seconds < 0)
                return false;
            w.seconds << r.seconds;
        }
    auto median = [](QList<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double direct = median(ways[0].seconds);
    bool ok = true;
    std::printf("machine \"All\" download, fast, line %d baud, median of %d:\n", LineRate, Rounds);
    for (const Way& w : ways) {
        const double ratio = median(w.seconds) / direct;
        const bool limited = w.route.kind != Route::Direct && !w.route.chardelay;
        std::printf("  %-36s %7.3f s, %.3f times direct%s\n", w.name, median(w.seconds), ratio,
                    limited ? " (limit 1.20)" : "");
        if (limited && ratio > NetworkLimit)
            ok = false;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool network = args.removeAll(QStringLiteral("--network")) > 0;
    const QString emu = !args.isEmpty() ? args.takeFirst() : QStringLiteral(ZELTRA_EMU_PATH);
    // Further words go to the emulator, a fault switch such as --garbage 99.
    const QStringList emuArgs = args;
    if (network) {
        const bool ok = reportNetwork(emu, emuArgs);
        std::fflush(stdout);
        return ok ? 0 : 1;
    }
    const bool download = report("download", emu, emuArgs, Direction::Download);
    const bool upload = report("upload", emu, emuArgs, Direction::Upload);
    std::fflush(stdout);
    return download && upload ? 0 : 1;
}
