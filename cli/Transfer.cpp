#include "Transfer.h"

#include "ExitCodes.h"
#include "Progress.h"

#include "link/BlockTables.h"
#include "link/LinkEngine.h"
#include "link/LinkTexts.h"
#include "link/QtSerialChannel.h"
#include "link/TransferDriver.h"

#include <QEventLoop>
#include <QTimer>

#include <unistd.h>

namespace zeltra::cli {
namespace {

using link::Direction;
using link::TransferOutcome;

// What the running step does, in the connect window's words.
QString stepCaption(std::int32_t kind, int step)
{
    const link::StepEntry e = link::stepEntry(kind, step, link::UploadList::Complete);
    switch (e.kind) {
    case link::StepKind::Download:
        return QString::fromLatin1(e.entry->downloadCaption);
    case link::StepKind::Upload:
        return link::uploadCaption(*e.entry);
    case link::StepKind::Verify:
        return link::texts::verifyCaption(QString::fromLatin1(e.entry->listItem));
    case link::StepKind::None:
        break;
    }
    return {};
}

// A byte the keyboard holds that the layout file cannot (a timecode that is not one): the
// file keeps its own there.
QString refusedLine(link::RefusedByte r)
{
    const QString value = QStringLiteral("%1").arg(r.value, 2, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("block %1 address %2: the keyboard's %3 is not a timecode digit pair; "
                          "the file keeps its own byte")
        .arg(r.block)
        .arg(r.address)
        .arg(value);
}

class Session {
  public:
    Session(LayoutModel& model, link::SerialChannel& channel)
        : engine_(model, channel), driver_(engine_), progress_(stderr, isatty(fileno(stderr)) == 1)
    {
        QObject::connect(&engine_, &link::LinkEngine::difference,
                         [this](int block, int address, int expected, int got) {
                             differences_ << link::texts::differenceLine(block, address, expected, got);
                         });
        QObject::connect(&engine_, &link::LinkEngine::byteRefused,
                         [this](link::RefusedByte r) { refused_ << refusedLine(r); });
        QObject::connect(&driver_, &link::TransferDriver::progress, [this](int done, int total, qint64) {
            progress_.update(stepCaption(engine_.model().KbdType(), engine_.step()), done, total);
        });
    }

    bool open() { return engine_.tryport(); }
    void setFast(bool on) { driver_.setFast(on); }
    // An upload reads back every byte a verify compares.
    void readEverything() { engine_.setUploadList(link::UploadList::Complete); }
    const QStringList& differences() const { return differences_; }
    const QStringList& refused() const { return refused_; }
    int differenceCount() const { return engine_.differences(); }

    TransferOutcome run(Direction direction, int listIndex)
    {
        QEventLoop loop;
        std::optional<TransferOutcome> outcome;
        const auto ended = QObject::connect(&driver_, &link::TransferDriver::finished, &loop,
                                            [&](TransferOutcome o) {
                                                outcome = o;
                                                loop.quit();
                                            });
        // Every frame is answered or given up within the reply time: a transfer that takes
        // longer than that for each of its frames has stopped.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        driver_.start(direction, listIndex);
        guard.start(int((driver_.framesTotal() + 10) * (link::LinkEngine::ReplyTicks + 2) *
                        link::LinkEngine::TickMs));
        if (!outcome)
            loop.exec();
        QObject::disconnect(ended);
        progress_.finish();
        return outcome.value_or(TransferOutcome::NoAnswer);
    }

  private:
    link::LinkEngine engine_;
    link::TransferDriver driver_;
    Progress progress_;
    QStringList differences_;
    QStringList refused_;
};

TransferResult failed(TransferOutcome outcome, const Session& session)
{
    TransferResult r{exitCodeFor(outcome), outcomeText(outcome), {}, {}};
    if (outcome == TransferOutcome::Differ) {
        r.error = link::texts::bytesDiffer(session.differenceCount());
        r.lines = session.differences();
    }
    return r;
}

} // namespace

TransferResult runTransfer(const Options& o, LayoutModel& model, int listIndex, const PortChoice& port)
{
    QtSerialChannel channel;
    channel.setDevicePath(port.path);
    Session session(model, channel);
    if (!session.open())
        return {ExitPort, portOpenFailure(port.name, channel.errorString()), {}, {}};
    session.setFast(o.fast);
    if (o.command == Command::Upload)
        session.readEverything();

    const Direction first = o.command == Command::Upload   ? Direction::Upload
                            : o.command == Command::Verify ? Direction::Verify
                                                           : Direction::Download;
    TransferOutcome outcome = session.run(first, listIndex);
    if (outcome == TransferOutcome::Finished && o.command == Command::Download && o.verify)
        outcome = session.run(Direction::Verify, listIndex);
    if (outcome == TransferOutcome::Finished || outcome == TransferOutcome::Verified)
        return {ExitDone, {}, {}, session.refused()};
    return failed(outcome, session);
}

} // namespace zeltra::cli
