// The receive scan and reply matching: a transfer against a line that brings the keyboard's
// answers cut, late, doubled and mixed with any bytes. Every input byte is one event.
#include "FuzzCheck.h"

#include "EmuCore.h"
#include "link/LinkEngine.h"
#include "model/LayoutModel.h"

using namespace zeltra;

namespace {

class Line : public link::SerialChannel {
  public:
    QByteArray input;
    QByteArray lastSent;
    void setPortNumber(int) override {}
    bool open() override { return true; }
    QString errorString() const override { return {}; }
    void close() override {}
    bool active() const override { return true; }
    void purgeReceive() override { input.clear(); }
    void purgeTransmit() override {}
    WriteResult write(const QByteArray& bytes) override {
        lastSent = bytes;
        return WriteResult::All;
    }
    bool readByte(std::uint8_t& byte) override {
        if (input.isEmpty())
            return false;
        byte = std::uint8_t(input[0]);
        input.remove(0, 1);
        return true;
    }
    int bytesWaiting() const override { return int(input.size()); }
    void arrive(const QByteArray& bytes) {
        input += bytes;
        if (onReceived)
            onReceived(int(input.size()));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 || size > 4096)
        return 0;
    LayoutModel model;
    model.initDefaults(QStringLiteral("/nowhere/"));
    model.setKbdType(data[0] & 1);
    Line line;
    link::LinkEngine engine(model, line);
    FUZZ_CHECK(engine.tryport());
    emu::Eeprom eeprom(data[1]);
    engine.setComboIndex((data[0] >> 3) & 7);
    engine.LoadkeyClick(((data[0] >> 1) & 3) % 3 * 10);
    QByteArray answer;
    for (std::size_t i = 2; i < size; ++i) {
        const int op = data[i] & 3;
        const int arg = data[i] >> 2;
        if (op == 0) {
            engine.Timer1Timer();
        } else if (op == 1) { // the keyboard answers the last frame, in two pieces
            answer.clear();
            for (const QByteArray& a : emu::respond(line.lastSent, eeprom, emu::AnswerMode::Normal))
                answer += a;
            line.arrive(answer.left(arg));
            line.arrive(answer.mid(arg));
        } else if (op == 2) { // the same answer again: stale or doubled
            line.arrive(answer);
        } else { // noise: the next bytes of the input as they stand
            const std::size_t n = std::min<std::size_t>(std::size_t(arg) + 1, size - i - 1);
            line.arrive(QByteArray(reinterpret_cast<const char*>(data + i + 1), qsizetype(n)));
            i += n;
        }
    }
    return 0;
}
