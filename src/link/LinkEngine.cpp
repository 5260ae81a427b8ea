#include "link/LinkEngine.h"

#include "link/Frames.h"
#include "link/LinkTexts.h"
#include "model/LayoutData.h"

namespace zeltra::link {

LinkEngine::LinkEngine(LayoutData& model, SerialChannel& channel, QObject* parent)
    : QObject(parent), model_(model), channel_(channel)
{
    channel_.onReceived = [this](int count) { SerialRxChar(count); };
    channel_.onLost = [this] { onLost(); };
    channel_.onOpened = [this](bool opened) { onOpened(opened); };
}

LinkEngine::~LinkEngine()
{
    channel_.onReceived = nullptr;
    channel_.onLost = nullptr;
    channel_.onOpened = nullptr;
}

void LinkEngine::setLabel(LabelState& label, const QString& text)
{
    label.text = text;
    emit displayChanged();
}

void LinkEngine::setColour(LabelState& label, std::optional<Colour> colour)
{
    label.colour = colour;
    emit displayChanged();
}

void LinkEngine::setPortCaption(const QString& caption)
{
    display_.portCaption = caption;
    emit displayChanged();
}

PortAddress LinkEngine::portAddress() const
{
    return address_ ? *address_ : PortAddress::com(model_.Settings.comPort());
}

bool LinkEngine::tryport()
{
    refusePort();
    channel_.setAddress(portAddress());
    switch (channel_.open()) {
    case SerialChannel::OpenResult::Failed:
        setPortCaption(texts::portUnknown());
        return false;
    case SerialChannel::OpenResult::Pending:
        opening_ = true;
        return true;
    case SerialChannel::OpenResult::Opened:
        break;
    }
    portReady_ = true;
    return true;
}

void LinkEngine::refusePort()
{
    portReady_ = false;
    opening_ = false;
    channel_.close();
    channel_.purgeReceive();
    channel_.purgeTransmit();
    ring_.clear();
    awaited_.reset();
    countdown_ = 0;
}

void LinkEngine::onOpened(bool opened)
{
    if (!opening_)
        return; // an open given up by a later tryport
    opening_ = false;
    portReady_ = opened;
    if (!opened)
        display_.portCaption = texts::portUnknown();
    emit displayChanged();
    emit portOpened(opened);
}

bool LinkEngine::Setupcom()
{
    setPortCaption(address_ ? address_->text() : texts::portNumbered(model_.Settings.comPort()));
    return tryport();
}

void LinkEngine::onLost()
{
    // The device is gone and the channel closed; frames are dropped until a port is chosen.
    // A running transfer would otherwise step on without sending and end as "finished".
    // The port shows as closed, as after a failed selection.
    portReady_ = false;
    countdown_ = 0;
    awaited_.reset();
    display_.portCaption = texts::portUnknown();
    emit portLost();
    if (step_ != 0)
        abortTransfer(TransferOutcome::PortLost);
    else
        emit displayChanged();
}

void LinkEngine::abortTransfer(TransferOutcome outcome)
{
    const bool notTaking = outcome == TransferOutcome::NotTakingCommands;
    display_.umessage = {notTaking ? texts::setSerialAToInput() : texts::abortNoComs(), LabelRed};
    emit displayChanged();
    endTransfer(outcome);
}

void LinkEngine::endTransfer(TransferOutcome outcome)
{
    const bool wasRunning = step_ != 0;
    step_ = 0;
    lastTaken_.reset();
    if (wasRunning)
        emit transferEnded(outcome);
}

void LinkEngine::sendkey(std::uint8_t code)
{
    sendcmd(keyPressFrame(code));
}

void LinkEngine::sendjog(int speed)
{
    sendcmd(jogFrame(speed));
}

void LinkEngine::sendcmd(const QByteArray& unsealed)
{
    if (!portReady_)
        return;
    const QByteArray frame = sealFrame(unsealed);
    if (!awaited_)
        ring_.clear(); // what is left from before is no answer to this frame
    const auto result = channel_.write(frame);
    setColour(display_.Label1, result == SerialChannel::WriteResult::All ? LabelLime : LabelRed);
    if (result == SerialChannel::WriteResult::Error)
        portReady_ = false;
    add2memo(frame);
    await(frame);
    countdown_ = ReplyTicks;
    emit requestArmed();
}

void LinkEngine::await(const QByteArray& frame)
{
    const auto* b = reinterpret_cast<const std::uint8_t*>(frame.constData());
    if (b[1] == CmdRead) {
        awaited_ = Awaited{true, b[2], b[3]};
        notTaking_ = false;
        otherAddress_ = false;
    } else if (!awaited_ || !awaited_->read) {
        // A key or jog frame sent while a read is awaited leaves the read awaited: the
        // transfer still needs its reply.
        awaited_ = Awaited{};
    }
}

bool LinkEngine::matches(const QByteArray& reply) const
{
    return awaited_ && awaited_->read && std::uint8_t(reply[2]) == awaited_->block &&
           std::uint8_t(reply[3]) == awaited_->address;
}

void LinkEngine::SerialRxChar(int count)
{
    receivedSinceTick_ = true;
    if (count > MaxWaitingBytes) {
        channel_.purgeReceive();
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::uint8_t byte = 0;
        if (!channel_.readByte(byte))
            break;
        ring_.push(byte);
    }
    ring_.scan([this](const QByteArray& frame) { parseinput(frame); });
}

// Only an answer to the frame in flight counts. A read reply counts only for the read request
// in flight (same block and address); any other reply is noise and leaves the wait running.
// Whatever comes while nothing is awaited is stale and changes nothing.
void LinkEngine::parseinput(const QByteArray& frame)
{
    if (isReadReply(frame)) {
        if (frame.size() != ReplyLength)
            return;
        if (matches(frame)) {
            takeReply(frame);
            return;
        }
        if (awaited_ && awaited_->read)
            otherAddress_ = true;
        if (contradictsLast(frame))
            rejectLast();
        return;
    }
    if (!awaited_)
        return;
    if (awaited_->read) {
        // The keyboard's port A is not taking commands, or noise passed its checksum: the
        // read stays awaited, and its time-out ends the transfer with this message.
        notTaking_ = true;
        display_.umessage = {texts::setSerialAToInput(), LabelRed};
        emit displayChanged();
        return;
    }
    countdown_ = 0;
    awaited_.reset();
    setLabel(display_.umessage, texts::setSerialAToInput());
    emit answered();
}

void LinkEngine::takeReply(const QByteArray& reply)
{
    countdown_ = 0;
    awaited_.reset();
    if (notTaking_) {
        notTaking_ = false;
        setColour(display_.umessage, LabelGreen);
    }
    add2memo(reply);
    lastTaken_ = Taken{reply, {}};
    if (currentStep().kind == StepKind::Verify) {
        compareReply(reply);
    } else {
        const auto kind = model_.KbdType();
        if (kind == KbdMachine)
            placeUndoably(model_.McnImage, reply);
        else if (kind == KbdMonitor)
            placeUndoably(model_.MonImage, reply);
    }
    emit answered();
}

StepEntry LinkEngine::currentStep() const
{
    return stepEntry(model_.KbdType(), step_, uploadList_);
}

template <class Image> void LinkEngine::placeUndoably(Image& image, const QByteArray& reply)
{
    const auto before = image.bytes;
    QList<RefusedByte> refused;
    placeReply(image, reply, uploadList_, &refused, placement_);
    for (const RefusedByte& r : refused)
        emit byteRefused(r);
    for (std::size_t i = 0; i < before.size(); ++i)
        if (image.bytes[i] != before[i])
            lastTaken_->replaced.emplace_back(i, before[i]);
}

// Two different replies for one request: noise or a stray reply was taken for the answer, or
// the real one came second. Which is right cannot be told, so neither counts.
bool LinkEngine::contradictsLast(const QByteArray& reply) const
{
    return step_ != 0 && lastTaken_ && reply.left(4) == lastTaken_->reply.left(4) &&
           reply != lastTaken_->reply;
}

void LinkEngine::rejectLast()
{
    auto undo = [this](auto& image) {
        for (const auto& [at, value] : lastTaken_->replaced)
            image.bytes[at] = value;
    };
    if (model_.KbdType() == KbdMachine)
        undo(model_.McnImage);
    else if (model_.KbdType() == KbdMonitor)
        undo(model_.MonImage);
    lastTaken_.reset();
    countdown_ = 0;
    awaited_.reset();
    abortTransfer(TransferOutcome::NoAnswer);
}

// Only the bytes a download writes count; the image is not changed.
void LinkEngine::compareReply(const QByteArray& reply)
{
    const int block = std::uint8_t(reply[2]);
    const int address = std::uint8_t(reply[3]);
    const bool machine = model_.KbdType() == KbdMachine;
    for (int i = 0; i < ReplyDataBytes; ++i) {
        const auto expected = machine ? downloadByte(model_.McnImage, block, address + i)
                                      : downloadByte(model_.MonImage, block, address + i);
        const int got = std::uint8_t(reply[4 + i]);
        if (!expected || *expected == got)
            continue;
        ++differences_;
        emit traceAppended(texts::differenceLine(block, address + i, *expected, got));
        emit difference(block, address + i, *expected, got);
    }
}

void LinkEngine::Timer1Timer()
{
    // A frame start that saw no further byte for several ticks was noise on the line. A slow
    // line may pause a whole tick between the bytes of one frame.
    quietTicks_ = receivedSinceTick_ ? 0 : quietTicks_ + 1;
    if (quietTicks_ >= StallTicks && ring_.available() > 0) {
        ring_.dropOldest();
        ring_.scan([this](const QByteArray& frame) { parseinput(frame); });
    }
    receivedSinceTick_ = false;

    if (countdown_ != 0) {
        if (--countdown_ == 0) {
            const bool read = awaited_ && awaited_->read;
            awaited_.reset();
            abortTransfer(read && notTaking_      ? TransferOutcome::NotTakingCommands
                          : read && otherAddress_ ? TransferOutcome::OtherAddress
                                                  : TransferOutcome::NoAnswer);
        }
        return;
    }
    runTransferStep();
}

void LinkEngine::runTransferStep()
{
    const auto kind = model_.KbdType();
    if (kind == KbdMachine)
        timerrs422();
    else if (kind == KbdMonitor)
        timermon();
}

void LinkEngine::timerrs422()
{
    runStep(KbdMachine);
}

void LinkEngine::timermon()
{
    runStep(KbdMonitor);
}

void LinkEngine::runStep(std::int32_t kbdType)
{
    const StepEntry entry = stepEntry(kbdType, step_, uploadList_);
    if (entry.kind == StepKind::None) {
        finishTransfer();
        return;
    }
    const bool download = entry.kind == StepKind::Download;
    display_.umessage.text = download ? QString::fromLatin1(entry.entry->downloadCaption)
                             : entry.kind == StepKind::Upload
                                 ? uploadCaption(*entry.entry)
                                 : texts::verifyCaption(QString::fromLatin1(entry.entry->listItem));
    display_.Label2.text = texts::started();
    emit displayChanged();
    if (entry.kind == StepKind::Upload) {
        getee(std::uint8_t(uploadBound(*entry.entry, uploadList_)));
        return;
    }
    if (entry.kind == StepKind::Verify) {
        // Reads every address the download writes: 0, 8, .. below the written count.
        getee(std::uint8_t(entry.entry->written - 1));
        return;
    }
    std::optional<std::uint8_t> value = kbdType == KbdMachine
                                            ? downloadByte(model_.McnImage, entry.block, counter_)
                                            : downloadByte(model_.MonImage, entry.block, counter_);
    wrtee(value.value_or(0), std::uint8_t(entry.entry->written));
}

// The step past the last block of "All", or a step without an entry.
void LinkEngine::finishTransfer()
{
    if (step_ == 0)
        return;
    if (base_ == VerifyBase && currentStep().kind == StepKind::None && step_ > VerifyBase) {
        showVerifyOutcome();
        endTransfer(differences_ == 0 ? TransferOutcome::Verified : TransferOutcome::Differ);
        return;
    }
    endTransfer(TransferOutcome::Finished);
}

void LinkEngine::showVerifyOutcome()
{
    display_.Label2 = differences_ == 0
                          ? LabelState{texts::verified(), LabelLime}
                          : LabelState{texts::bytesDiffer(differences_), LabelRed};
    emit displayChanged();
}

void LinkEngine::blockDone()
{
    counter_ = 0;
    const bool verify = currentStep().kind == StepKind::Verify;
    if (verify && comboIndex_ != 0) {
        showVerifyOutcome();
        endTransfer(differences_ == 0 ? TransferOutcome::Verified : TransferOutcome::Differ);
        return;
    }
    step_ = comboIndex_ != 0 ? 0 : step_ + 1;
    if (!verify) {
        display_.Label2 = {texts::finished(), LabelLime};
        emit displayChanged();
    }
    if (step_ == 0)
        emit transferEnded(TransferOutcome::Finished);
}

void LinkEngine::wrtee(std::uint8_t value, std::uint8_t size)
{
    if (!portReady_) {
        // Nothing would reach the keyboard: never "finished".
        abortTransfer(TransferOutcome::NoAnswer);
        return;
    }
    // ">=": a block whose size changed under a running transfer still ends.
    if (counter_ >= size) {
        blockDone();
        return;
    }
    setLabel(display_.Label1, QString::number(counter_));
    sendcmd(writeRequestFrame(std::uint8_t(step_), std::uint8_t(counter_), value));
    ++counter_;
    emit transferFrame();
}

void LinkEngine::getee(std::uint8_t size)
{
    const bool isVerify = step_ > VerifyBase;
    if (!portReady_) {
        // Nothing would be read back: never "finished" or "verified".
        abortTransfer(TransferOutcome::NoAnswer);
        return;
    }
    if (size < counter_) {
        if (step_ == UploadBase + 1 && !isVerify)
            emit keyBlockUploaded();
        blockDone();
        return;
    }
    setLabel(display_.Label1, QString::number(counter_));
    const int block = step_ - (step_ > VerifyBase ? VerifyBase : UploadBase);
    sendcmd(readRequestFrame(std::uint8_t(block), std::uint8_t(counter_)));
    counter_ += ReplyDataBytes;
    emit transferFrame();
}

void LinkEngine::LoadkeyClick(int tag)
{
    emit traceCleared();
    display_.Label2.colour.reset();
    display_.umessage.colour.reset();
    emit displayChanged();
    if (step_ != 0)
        return;
    counter_ = 0;
    differences_ = 0;
    base_ = tag;
    lastTaken_.reset();
    setColour(display_.umessage, LabelGreen);
    step_ = comboIndex_ != 0 ? comboIndex_ + tag : tag + 1;
    timerEnabled_ = true;
}

void LinkEngine::add2memo(const QByteArray& frame)
{
    if (traceVisible_)
        emit traceAppended(traceText(frame));
}

} // namespace zeltra::link
