#include "link/TransferDriver.h"

#include "model/LayoutData.h"

#include <QTimer>

namespace zeltra::link {

TransferDriver::TransferDriver(LinkEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine), Timer1(new QTimer(this))
{
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(LinkEngine::TickMs);
    Timer1->setTimerType(Qt::PreciseTimer); // a transfer runs at one frame per tick
    connect(Timer1, &QTimer::timeout, this, &TransferDriver::tick);
    connect(&engine_, &LinkEngine::displayChanged, this, &TransferDriver::displayChanged);
    connect(&engine_, &LinkEngine::requestArmed, this, &TransferDriver::updateTimer);
    connect(&engine_, &LinkEngine::answered, this, &TransferDriver::onAnswered);
    connect(&engine_, &LinkEngine::transferFrame, this, &TransferDriver::onFrame);
    connect(&engine_, &LinkEngine::transferEnded, this, &TransferDriver::finished);
}

TransferDriver::~TransferDriver() = default;

bool TransferDriver::start(Direction direction, int listIndex)
{
    const bool wasRunning = running();
    engine_.setComboIndex(listIndex);
    engine_.LoadkeyClick(int(direction));
    if (wasRunning)
        return false;
    done_ = 0;
    total_ =
        transferFrames(engine_.model().KbdType(), int(direction), listIndex, engine_.uploadList());
    clock_.start();
    emit progress(done_, total_, msLeft());
    updateTimer();
    if (fast_)
        queueFastStep(); // the first frame need not wait for a tick
    return true;
}

qint64 TransferDriver::msLeft() const
{
    if (done_ == 0 || !clock_.isValid())
        return -1;
    return clock_.elapsed() * (total_ - done_) / done_;
}

// The tick runs from the first button press on, but only while a transfer step or a reply
// countdown has work for it; a request sent later starts it again.
void TransferDriver::updateTimer()
{
    const bool needed =
        engine_.timerEnabled() && (engine_.step() != 0 || engine_.countdown() != 0);
    if (needed && !Timer1->isActive())
        Timer1->start();
    else if (!needed && Timer1->isActive())
        Timer1->stop();
}

void TransferDriver::tick()
{
    engine_.Timer1Timer();
    updateTimer();
}

void TransferDriver::onAnswered()
{
    if (fast_ && running())
        queueFastStep();
}

// Not from inside the receive handler: the next frame goes out from the event loop.
void TransferDriver::queueFastStep()
{
    if (fastStepQueued_)
        return;
    fastStepQueued_ = true;
    QMetaObject::invokeMethod(this, &TransferDriver::fastStep, Qt::QueuedConnection);
}

void TransferDriver::fastStep()
{
    fastStepQueued_ = false;
    if (!fast_ || !running() || engine_.awaiting())
        return;
    const int before = engine_.step();
    engine_.runTransferStep();
    // A step that only finished its block moves straight on to the next block's first frame.
    if (!engine_.awaiting() && running() && engine_.step() != before)
        engine_.runTransferStep();
    updateTimer();
}

void TransferDriver::onFrame()
{
    if (done_ < total_)
        ++done_;
    emit progress(done_, total_, msLeft());
}

} // namespace zeltra::link
