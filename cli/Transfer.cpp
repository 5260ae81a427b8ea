#include "Transfer.h"

#include "ExitCodes.h"
#include "LeftOut.h"
#include "Progress.h"

#include "link/BlockTables.h"
#include "link/LinkEngine.h"
#include "link/LinkTexts.h"
#include "link/PortChannels.h"
#include "link/TransferDriver.h"

#include <QEventLoop>
#include <QTimer>

#include <memory>
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

Direction firstDirection(Command command)
{
    return command == Command::Upload   ? Direction::Upload
           : command == Command::Verify ? Direction::Verify
                                        : Direction::Download;
}

// One port's transfer: its channel, link and driver, started and left to run; `ended` once.
class PortTransfer : public QObject {
    Q_OBJECT
  public:
    PortTransfer(const Options& o, const LayoutData& model, int listIndex, Progress& progress,
                 int line, const PortChoice& port)
        : options_(o), model_(model), listIndex_(listIndex), port_(port),
          channel_(link::makeChannel(port.address)), engine_(model_, *channel_), driver_(engine_),
          progress_(progress), line_(line)
    {
        connect(&engine_, &link::LinkEngine::difference, this,
                [this](int block, int address, int expected, int got) {
                    differences_ << link::texts::differenceLine(block, address, expected, got);
                    mismatches_ << Mismatch{block, address, expected, got};
                });
        connect(&engine_, &link::LinkEngine::answered, this, &PortTransfer::count);
        connect(
            &driver_, &link::TransferDriver::progress, this, [this](int done, int total, qint64) {
                progress_.update(line_, stepCaption(model_.KbdType(), engine_.step()), done, total);
            });
        connect(&engine_, &link::LinkEngine::byteRefused, this,
                [this](link::RefusedByte r) { refused_ << r; });
        connect(&driver_, &link::TransferDriver::finished, this, &PortTransfer::stepEnded);
        connect(&engine_, &link::LinkEngine::portOpened, this, [this](bool opened) {
            if (opened)
                opened_();
            else
                openFailed();
        });
        guard_.setSingleShot(true);
        // Every frame is answered or given up within the reply time: a transfer that takes
        // longer than that for each of its frames has stopped.
        connect(&guard_, &QTimer::timeout, this, [this] { end(TransferOutcome::NoAnswer); });
        driver_.setFast(o.fast);
        if (o.command == Command::Upload) { // an upload reads back every byte a verify compares
            engine_.setUploadList(link::UploadList::Complete);
            engine_.setPlacement(o.exact ? link::Placement::Exact : link::Placement::Checked);
        }
    }

    // A network port opens later: the transfer begins when it has.
    void start()
    {
        engine_.setPortAddress(port_.address);
        if (!engine_.tryport())
            QMetaObject::invokeMethod(this, &PortTransfer::openFailed, Qt::QueuedConnection);
        else if (engine_.portReady())
            opened_();
    }
    const TransferResult& result() const { return result_; }
    const LayoutData& model() const { return model_; }

  signals:
    void ended();

  private:
    void opened_()
    {
        result_.opened = true;
        begin(firstDirection(options_.command));
    }
    void openFailed()
    {
        if (ended_)
            return;
        ended_ = true;
        const QString why = channel_->errorString();
        result_ = {};
        result_.code = ExitPort;
        result_.error = port_.address.isNetwork() ? QStringLiteral("%1: %2").arg(port_.name, why)
                                                  : portOpenFailure(port_.name, why);
        emit ended();
    }
    // An answered frame: a byte written, or a read of up to eight bytes. A block is done
    // when the next one's first frame is answered, or when the transfer ends well.
    void count()
    {
        const int step = engine_.step();
        const auto kind = link::stepEntry(model_.KbdType(), step, engine_.uploadList()).kind;
        if (kind == link::StepKind::Download)
            ++counts_.bytesWritten;
        else if (kind == link::StepKind::Upload || kind == link::StepKind::Verify)
            counts_.bytesRead += link::ReplyDataBytes;
        if (step != countedStep_ && countedStep_ != 0)
            ++counts_.blocksDone;
        countedStep_ = step;
    }
    void begin(Direction direction)
    {
        driver_.start(direction, listIndex_);
        guard_.start(int((driver_.framesTotal() + 10) * (link::LinkEngine::ReplyTicks + 2) *
                         link::LinkEngine::TickMs));
    }
    void stepEnded(TransferOutcome outcome)
    {
        if (outcome == TransferOutcome::Finished && options_.command == Command::Download &&
            options_.verify && engine_.transferBase() == link::DownloadBase)
            begin(Direction::Verify);
        else
            end(outcome);
    }
    void end(TransferOutcome outcome)
    {
        if (ended_)
            return;
        ended_ = true;
        guard_.stop();
        const QString lostBecause = channel_->errorString();
        channel_->close(); // a transfer given up by the guard stops here
        if (outcome != TransferOutcome::Finished && outcome != TransferOutcome::Verified) {
            result_ = {};
            result_.code = exitCodeFor(outcome);
            result_.error = outcomeText(outcome);
            result_.opened = true;
            if (outcome == TransferOutcome::PortLost && !lostBecause.isEmpty())
                result_.error += QStringLiteral(": ") + lostBecause;
        } else if (!refused_.isEmpty()) {
            result_.code = ExitIncomplete; // the backup is written, but it will not verify
            result_.refused = distinctRefused(refused_);
        }
        if (outcome == TransferOutcome::Differ) {
            result_.error = link::texts::bytesDiffer(engine_.differences());
            result_.lines = differences_;
        }
        const bool whole = outcome == TransferOutcome::Finished ||
                           outcome == TransferOutcome::Verified || outcome == TransferOutcome::Differ;
        result_.blocksDone = counts_.blocksDone + (whole && countedStep_ != 0 ? 1 : 0);
        result_.bytesWritten = counts_.bytesWritten;
        result_.bytesRead = counts_.bytesRead;
        result_.mismatches = mismatches_;
        emit ended();
    }

    const Options& options_;
    LayoutData model_;
    int listIndex_;
    PortChoice port_;
    std::unique_ptr<link::SerialChannel> channel_;
    link::LinkEngine engine_;
    link::TransferDriver driver_;
    Progress& progress_;
    int line_;
    QTimer guard_;
    QStringList differences_;
    QList<link::RefusedByte> refused_;
    QList<Mismatch> mismatches_;
    TransferResult counts_;
    int countedStep_ = 0;
    TransferResult result_;
    bool ended_ = false;
};

} // namespace

QList<TransferResult> runTransfers(const Options& o, LayoutData& model, int listIndex,
                                   const QList<PortChoice>& ports)
{
    QStringList names;
    for (const PortChoice& p : ports)
        names << p.name;
    Progress progress(stderr, isatty(fileno(stderr)) == 1, names);
    std::vector<std::unique_ptr<PortTransfer>> transfers;
    QEventLoop loop;
    int running = int(ports.size());
    for (int i = 0; i < ports.size(); ++i) {
        transfers.push_back(std::make_unique<PortTransfer>(o, model, listIndex, progress, i, ports[i]));
        QObject::connect(transfers.back().get(), &PortTransfer::ended, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
    }
    for (int i = 0; i < ports.size(); ++i)
        transfers[std::size_t(i)]->start();
    if (running > 0)
        loop.exec();
    progress.finish();
    QList<TransferResult> results;
    for (const auto& t : transfers)
        results << t->result();
    if (o.command == Command::Upload && transfers.size() == 1 &&
        (results[0].code == ExitDone || results[0].code == ExitIncomplete))
        model = transfers[0]->model();
    return results;
}

int worstCode(const QList<TransferResult>& results)
{
    int worst = ExitDone;
    for (const TransferResult& r : results)
        worst = std::max(worst, r.code);
    return worst;
}

} // namespace zeltra::cli

#include "Transfer.moc"
