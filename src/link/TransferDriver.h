#pragma once
#include "link/BlockTables.h"
#include "link/LinkEngine.h"

#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace zeltra::link {

// Which way a transfer goes; the values are the tags of the connect window's buttons.
enum class Direction { Download = DownloadBase, Upload = UploadBase, Verify = VerifyBase };

// Runs transfers without a window: owns the 50 ms pacing timer that ticks the LinkEngine,
// runs the tick only while a transfer step or a reply countdown needs it, counts progress and
// tells how a transfer ended. The connect window and the command line both drive the link
// through it, so the transfer steps exist once.
//
// With fast transfer on, the next frame goes out as soon as the previous one is answered
// (never two requests outstanding); the reply time-out and every message stay as they are.
// Off, frames go out one per tick, as the keyboard has always been driven.
//
// Without a window:
//   auto channel = makeChannel(address); // zeltra_serial (PortChannels.h): serial or network
//   LinkEngine engine(layout, *channel); // a LayoutData; its KbdType() picks the blocks
//   TransferDriver driver(engine);
//   engine.setPortAddress(address);
//   if (!engine.tryport()) ...          // the port did not open: channel->errorString()
//   // a network port opens later: LinkEngine::portOpened(bool) before the first transfer
//   connect(&driver, &TransferDriver::finished, ...);   // TransferOutcome
//   connect(&engine, &LinkEngine::difference, ...);     // what a verify found
//   driver.start(Direction::Download, 0);               // 0 "All", or a block number
// A transfer on a port that is not open ends with "Abort No Coms" at its first step.
class TransferDriver : public QObject {
    Q_OBJECT
  public:
    explicit TransferDriver(LinkEngine& engine, QObject* parent = nullptr);
    ~TransferDriver() override;

    // Starts a transfer of list item `listIndex` (0 "All", or a block number) as a press of
    // the matching button does: the trace is cleared in any case.
    // False when a transfer is already running; it goes on unchanged.
    bool start(Direction direction, int listIndex);
    bool running() const { return engine_.step() != 0; }

    void setFast(bool on) { fast_ = on; }
    bool fast() const { return fast_; }

    // Frames sent by the current (or last) transfer, out of the frames its blocks need.
    int framesDone() const { return done_; }
    int framesTotal() const { return total_; }
    // Estimated time left, from the pace so far; -1 before the first frame.
    qint64 msLeft() const;

    LinkEngine& engine() { return engine_; }
    const LinkEngine& engine() const { return engine_; }
    // The pacing timer (object name "Timer1"); active only while there is work for a tick.
    const QTimer& timer() const { return *Timer1; }

  signals:
    // After every frame of a transfer, and once with 0 at its start.
    void progress(int done, int total, qint64 msLeft);
    // The link's labels (umessage, Label1, Label2) or port caption changed; see engine().display().
    void displayChanged();
    // The transfer started by start() ended; the labels show the outcome.
    void finished(zeltra::link::TransferOutcome outcome);

  private:
    void tick();
    void updateTimer();
    void onAnswered();
    void queueFastStep();
    void fastStep();
    void onFrame();

    LinkEngine& engine_;
    QTimer* Timer1 = nullptr;
    QElapsedTimer clock_;
    bool fast_ = false;
    bool fastStepQueued_ = false;
    int done_ = 0;
    int total_ = 0;
};

} // namespace zeltra::link
