#pragma once
#include "link/BlockTables.h"
#include "link/Frames.h"
#include "link/RxRing.h"
#include "link/SerialChannel.h"
#include "model/Colours.h"

#include <QObject>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace zeltra {
struct LayoutData;
}

namespace zeltra::link {

// A label as the connect window shows it. No colour means the system's button face.
struct LabelState {
    QString text;
    std::optional<Colour> colour;
    bool operator==(const LabelState&) const = default;
};

struct LinkDisplay {
    LabelState umessage;
    LabelState Label1; // counter of the last request
    LabelState Label2; // "started" / "finished"
    QString portCaption;
};

// How a transfer ended.
enum class TransferOutcome {
    Finished,          // every block done ("finished")
    Verified,          // a verify found every byte as the image has it ("verified")
    Differ,            // a verify found differences ("N bytes differ")
    NoAnswer,          // no answer within the reply time-out ("Abort No Coms")
    NotTakingCommands, // reads answered by other frames ("Set Serial-A to Input")
    OtherAddress,      // reads answered only for another block or address ("Abort No Coms")
    PortLost,          // the device went away ("Abort No Coms")
};

// The keyboard link without its window: sends frames, scans what comes back, and steps
// through downloads and uploads one frame per timer tick.
class LinkEngine : public QObject {
    Q_OBJECT
  public:
    static constexpr int TickMs = 50;
    static constexpr int ReplyTicks = 20;
    static constexpr int MaxWaitingBytes = 30;
    // Ticks without a byte after which a started frame is given up.
    static constexpr int StallTicks = 3;
    static constexpr Colour LabelLime = rgbColour(0, 255, 0);
    static constexpr Colour LabelRed = rgbColour(255, 0, 0);
    static constexpr Colour LabelGreen = rgbColour(0, 128, 0);

    // Downloads and verifies read `model`'s images, uploads write into them. The window gives
    // it a copy of the layout of its own and takes what an upload brought into the layout as
    // one edit when the transfer ends.
    LinkEngine(LayoutData& model, SerialChannel& channel, QObject* parent = nullptr);
    ~LinkEngine() override;

    // Port. tryport returns false when the port did not open ("Com Port Invalid" to show).
    // A network port opens later: true then, with opening() set until portOpened.
    bool tryport();
    bool Setupcom();
    void clearPortReady() { portReady_ = false; }
    // The port the next tryport opens; none: the settings record's COM number.
    void setPortAddress(const std::optional<PortAddress>& address) { address_ = address; }
    PortAddress portAddress() const;
    bool opening() const { return opening_; }
    // The port is closed and stays so: an address that names no port was chosen.
    void refusePort();
    void setPortCaption(const QString& caption);

    // Live remote.
    void sendkey(std::uint8_t code);
    void sendjog(int speed);
    // Completes the checksum and sends, unless the port is not ready.
    void sendcmd(const QByteArray& frame);

    // Characters received: Count bytes are waiting in the channel.
    void SerialRxChar(int count);
    void parseinput(const QByteArray& frame);

    // One 50 ms tick.
    void Timer1Timer();
    // The step part of a tick: runs the current transfer step by the keyboard kind.
    void runTransferStep();
    void timerrs422();
    void timermon();
    void wrtee(std::uint8_t value, std::uint8_t size);
    void getee(std::uint8_t size);

    // A button press: tag 0 download, 10 upload.
    void LoadkeyClick(int tag);
    void setComboIndex(int index) { comboIndex_ = index; }
    void setTraceVisible(bool visible) { traceVisible_ = visible; }
    void setUploadList(UploadList list) { uploadList_ = list; }
    UploadList uploadList() const { return uploadList_; }
    void setPlacement(Placement placement) { placement_ = placement; }

    int step() const { return step_; }
    int counter() const { return counter_; }
    int countdown() const { return countdown_; }
    bool portReady() const { return portReady_; }
    bool timerEnabled() const { return timerEnabled_; }
    // Whether a frame's answer is awaited: the reply countdown runs.
    bool awaiting() const { return awaited_.has_value(); }
    // The button tag of the last transfer started: DownloadBase, UploadBase or VerifyBase.
    int transferBase() const { return base_; }
    // Bytes a verify found different from the image so far.
    int differences() const { return differences_; }
    const LinkDisplay& display() const { return display_; }
    LayoutData& model() const { return model_; }

  signals:
    void displayChanged();
    void traceAppended(const QString& line);
    void traceCleared();
    // The key block has come back: the key buttons should show the new codes.
    void keyBlockUploaded();
    // A frame went out and its answer is now awaited.
    void requestArmed();
    // The awaited answer came: the next step may run.
    void answered();
    // A transfer step sent (or, with no port, would have sent) one frame.
    void transferFrame();
    // A verify read a byte that differs from the image.
    void difference(int block, int address, int expected, int got);
    // An upload read a byte the image cannot hold; the image keeps what it had there.
    void byteRefused(zeltra::link::RefusedByte refused);
    // The device went away; the port is closed and its caption shows "Com?".
    void portLost();
    // An open that tryport left pending ended: the port is ready, or it shows "Com?".
    void portOpened(bool opened);
    // A running transfer stopped; step() is 0 again.
    void transferEnded(zeltra::link::TransferOutcome outcome);

  private:
    // The answer a sent frame waits for: a read reply for the block and address of a read
    // request, any other frame with a good checksum for everything else.
    struct Awaited {
        bool read = false;
        std::uint8_t block = 0;
        std::uint8_t address = 0;
    };
    void await(const QByteArray& frame);
    bool matches(const QByteArray& reply) const;
    void takeReply(const QByteArray& reply);
    void compareReply(const QByteArray& reply);
    template <class Image> void placeUndoably(Image& image, const QByteArray& reply);
    bool contradictsLast(const QByteArray& reply) const;
    void rejectLast();
    void endTransfer(TransferOutcome outcome);
    void runStep(std::int32_t kbdType);
    void blockDone();
    void finishTransfer();
    void showVerifyOutcome();
    StepEntry currentStep() const;
    void add2memo(const QByteArray& frame);
    void setLabel(LabelState& label, const QString& text);
    void setColour(LabelState& label, std::optional<Colour> colour);
    void onLost();
    void onOpened(bool opened);
    void abortTransfer(TransferOutcome outcome);

    LayoutData& model_;
    SerialChannel& channel_;
    RxRing ring_{isReplyHead};
    LinkDisplay display_;
    int step_ = 0;
    int counter_ = 0;
    int countdown_ = 0;
    int comboIndex_ = 0;
    bool portReady_ = false;
    bool opening_ = false;
    std::optional<PortAddress> address_;
    bool timerEnabled_ = false;
    bool traceVisible_ = false;
    bool receivedSinceTick_ = false;
    int quietTicks_ = 0;
    std::optional<Awaited> awaited_;
    bool notTaking_ = false;    // a read was answered by another frame during this wait
    bool otherAddress_ = false; // ... or by a read reply for another block or address
    int base_ = DownloadBase;
    UploadList uploadList_ = UploadList::Described;
    Placement placement_ = Placement::Checked;
    int differences_ = 0;
    // The last reply taken in this transfer, and the image bytes it replaced: a second,
    // different reply for the same address shows that one of them was not the keyboard's.
    struct Taken {
        QByteArray reply;
        std::vector<std::pair<std::size_t, std::uint8_t>> replaced;
    };
    std::optional<Taken> lastTaken_;
};

} // namespace zeltra::link
