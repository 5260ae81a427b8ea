// The receive scan and reply matching: a transfer against a line that brings the keyboard's
// answers cut, late, doubled and mixed with any bytes. Every input byte is one event.
#include "FakeChannel.h"
#include "FuzzCheck.h"

#include "link/LinkEngine.h"
#include "model/LayoutData.h"

using namespace zeltra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > 4096)
        return 0;
    LayoutData model;
    model.initDefaults(QStringLiteral("/nowhere/"));
    model.setKbdType(data[0] & 1);
    FakeChannel line; // answers every frame as the keyboard would, when asked to deliver
    line.eeprom = emu::Eeprom(data[1]);
    link::LinkEngine engine(model, line);
    FUZZ_CHECK(engine.tryport());
    engine.setComboIndex((data[0] >> 3) & 7);
    engine.LoadkeyClick(((data[0] >> 1) & 3) % 3 * 10);
    QByteArray last;
    for (std::size_t i = 2; i < size; ++i) {
        const int op = data[i] & 3;
        const int arg = data[i] >> 2;
        if (op == 0) {
            engine.Timer1Timer();
        } else if (op == 1) { // the answers so far, in two pieces
            last = line.answers;
            line.answers.clear();
            line.receive(last.left(arg));
            line.receive(last.mid(arg));
        } else if (op == 2) { // the same again: stale or doubled
            line.receive(last);
        } else { // noise: the next bytes of the input as they stand
            const std::size_t n = std::min<std::size_t>(std::size_t(arg) + 1, size - i - 1);
            line.receive(QByteArray(reinterpret_cast<const char*>(data + i + 1), qsizetype(n)));
            i += n;
        }
    }
    return 0;
}
