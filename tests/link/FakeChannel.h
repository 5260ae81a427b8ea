#pragma once
// A serial channel without a line. With `keyboard` set, every frame written is answered by
// the emulator's protocol core; the answers arrive when deliverAnswers() is called.
#include "EmuCore.h"
#include "link/SerialChannel.h"

#include <QList>
#include <QTimer>
#include <optional>

class FakeChannel : public zeltra::link::SerialChannel {
  public:
    bool openSucceeds = true;
    bool isOpen = false;
    zeltra::link::PortAddress address;
    const int& number = address.number;
    WriteResult result = WriteResult::All;
    QList<QByteArray> sent;
    QByteArray input;
    int receivePurges = 0;
    std::optional<zeltra::emu::AnswerMode> keyboard = zeltra::emu::AnswerMode::Normal;
    zeltra::emu::Eeprom eeprom;
    QByteArray answers;
    bool autoDeliver = false; // answers arrive from the event loop, as from a line
    std::function<void()> onWrite;

    void setAddress(const zeltra::link::PortAddress& a) override { address = a; }
    // Port 0 names no device. A network port opens at once, or fails later.
    OpenResult open() override
    {
        if (address.isNetwork() && !openSucceeds) {
            QTimer::singleShot(0, [this] { onOpened(false); });
            return OpenResult::Pending;
        }
        isOpen = openSucceeds && (number > 0 || address.isNetwork());
        return isOpen ? OpenResult::Opened : OpenResult::Failed;
    }
    QString errorString() const override { return QStringLiteral("fake"); }
    void close() override { isOpen = false; }
    bool active() const override { return isOpen; }
    void purgeReceive() override
    {
        ++receivePurges;
        input.clear();
    }
    void purgeTransmit() override {}
    WriteResult write(const QByteArray& bytes) override
    {
        sent << bytes;
        if (onWrite)
            onWrite();
        if (keyboard)
            for (const QByteArray& a : zeltra::emu::respond(bytes, eeprom, *keyboard))
                answers += a;
        if (autoDeliver)
            QTimer::singleShot(1, [this] { deliverAnswers(); });
        return result;
    }
    bool readByte(std::uint8_t& byte) override
    {
        if (input.isEmpty())
            return false;
        byte = std::uint8_t(input[0]);
        input.remove(0, 1);
        return true;
    }
    int bytesWaiting() const override { return int(input.size()); }

    // Bytes come in on the line.
    void receive(const QByteArray& bytes)
    {
        input += bytes;
        if (onReceived)
            onReceived(int(input.size()));
    }
    void deliverAnswers()
    {
        if (answers.isEmpty())
            return;
        const QByteArray a = answers;
        answers.clear();
        receive(a);
    }
};
