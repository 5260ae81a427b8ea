// The Telnet receive filter and the RFC 2217 client against any bytes a server may send: the
// same bytes give the same data, answers and state however they are cut; nothing grows past
// the input; and data escaped for the line comes back as it was.
#include "FuzzCheck.h"

#include "link/ComPortSession.h"
#include "link/Telnet.h"

using namespace zeltra::link;

namespace {

struct Result {
    QByteArray data;
    QByteArray reply;
    ComPortSession::State state;
    QString error;
    bool operator==(const Result&) const = default;
};

Result run(QByteArrayView input, qsizetype piece)
{
    ComPortSession s;
    Result r{{}, s.start(), {}, {}};
    for (qsizetype at = 0; at < input.size(); at += piece)
        r.data += s.receive(input.sliced(at, std::min(piece, input.size() - at)), r.reply);
    r.state = s.state();
    r.error = s.error();
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1 || size > 8192)
        return 0;
    const QByteArrayView input(reinterpret_cast<const char*>(bytes) + 1, qsizetype(size - 1));
    const Result whole = run(input, std::max<qsizetype>(1, input.size()));
    const Result cut = run(input, 1 + bytes[0] % 7);
    FUZZ_CHECK(whole == cut);
    FUZZ_CHECK(whole.data.size() <= input.size());
    // Each answer answers one command of three bytes; the start and the settings come once.
    FUZZ_CHECK(whole.reply.size() <= input.size() + 128);

    telnet::Receiver rx;
    telnet::Receiver::Output out;
    rx.feed(telnet::escape(input), out);
    FUZZ_CHECK(out.data == input.toByteArray() && out.commands.isEmpty() && !rx.midCommand());
    return 0;
}
