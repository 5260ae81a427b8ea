#include "link/LinkEngine.h"

#include "link/Frames.h"
#include "link/LinkTexts.h"
#include "model/LayoutModel.h"

namespace zeltra::link {

LinkEngine::LinkEngine(LayoutModel& model, SerialChannel& channel, QObject* parent)
    : QObject(parent), model_(model), channel_(channel)
{
    channel_.onReceived = [this](int count) { SerialRxChar(count); };
    channel_.onLost = [this] { onLost(); };
}

LinkEngine::~LinkEngine()
{
    channel_.onReceived = nullptr;
    channel_.onLost = nullptr;
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

bool LinkEngine::tryport()
{
    portReady_ = false;
    channel_.close();
    channel_.purgeReceive();
    channel_.purgeTransmit();
    ring_.clear();
    channel_.setPortNumber(model_.Settings.comPort());
    if (!channel_.open()) {
        setPortCaption(texts::portUnknown());
        return false;
    }
    portReady_ = true;
    return true;
}

bool LinkEngine::Setupcom()
{
    setPortCaption(texts::portNumbered(model_.Settings.comPort()));
    return tryport();
}

void LinkEngine::onLost()
{
    // The device is gone and the channel closed; frames are dropped until a port is chosen.
    // A running transfer would otherwise step on without sending and end as "finished".
    portReady_ = false;
    countdown_ = 0;
    if (step_ != 0)
        abortTransfer();
}

void LinkEngine::abortTransfer()
{
    step_ = 0;
    display_.umessage = {texts::abortNoComs(), LabelRed};
    emit displayChanged();
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
    const auto result = channel_.write(frame);
    setColour(display_.Label1, result == SerialChannel::WriteResult::All ? LabelLime : LabelRed);
    if (result == SerialChannel::WriteResult::Error)
        portReady_ = false;
    add2memo(frame);
    countdown_ = ReplyTicks;
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

void LinkEngine::parseinput(const QByteArray& frame)
{
    countdown_ = 0;
    if (!isReadReply(frame)) {
        setLabel(display_.umessage, texts::setSerialAToInput());
        return;
    }
    add2memo(frame);
    const auto kind = model_.KbdType();
    if (kind == KbdMachine)
        placeReply(model_.McnImage, frame);
    else if (kind == KbdMonitor)
        placeReply(model_.MonImage, frame);
}

void LinkEngine::Timer1Timer()
{
    // A frame start that saw no further byte for a whole tick was noise on the line.
    if (!receivedSinceTick_ && ring_.available() > 0) {
        ring_.dropOldest();
        ring_.scan([this](const QByteArray& frame) { parseinput(frame); });
    }
    receivedSinceTick_ = false;

    if (countdown_ != 0) {
        if (--countdown_ == 0)
            abortTransfer();
        return;
    }
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
    const StepEntry entry = stepEntry(kbdType, step_);
    if (entry.kind == StepKind::None) {
        step_ = 0;
        return;
    }
    const bool download = entry.kind == StepKind::Download;
    display_.umessage.text =
        QString::fromLatin1(download ? entry.entry->downloadCaption : entry.entry->uploadCaption);
    display_.Label2.text = texts::started();
    emit displayChanged();
    if (!download) {
        getee(std::uint8_t(entry.entry->uploadSize));
        return;
    }
    std::optional<std::uint8_t> value = kbdType == KbdMachine
                                            ? downloadByte(model_.McnImage, entry.block, counter_)
                                            : downloadByte(model_.MonImage, entry.block, counter_);
    wrtee(value.value_or(0), std::uint8_t(entry.entry->written));
}

void LinkEngine::blockDone()
{
    counter_ = 0;
    step_ = comboIndex_ != 0 ? 0 : step_ + 1;
    display_.Label2 = {texts::finished(), LabelLime};
    emit displayChanged();
}

void LinkEngine::wrtee(std::uint8_t value, std::uint8_t size)
{
    // ">=": a block whose size changed under a running transfer still ends.
    if (counter_ >= size) {
        blockDone();
        return;
    }
    setLabel(display_.Label1, QString::number(counter_));
    sendcmd(writeRequestFrame(std::uint8_t(step_), std::uint8_t(counter_), value));
    ++counter_;
}

void LinkEngine::getee(std::uint8_t size)
{
    if (size < counter_) {
        if (step_ == UploadBase + 1)
            emit keyBlockUploaded();
        blockDone();
        return;
    }
    setLabel(display_.Label1, QString::number(counter_));
    sendcmd(readRequestFrame(std::uint8_t(step_ - UploadBase), std::uint8_t(counter_)));
    counter_ += ReplyDataBytes;
}

void LinkEngine::LoadkeyClick(int tag)
{
    emit traceCleared();
    display_.Label2.colour.reset();
    display_.umessage.colour.reset();
    emit displayChanged();
    model_.LayoutChanged = true;
    if (step_ != 0)
        return;
    counter_ = 0;
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
