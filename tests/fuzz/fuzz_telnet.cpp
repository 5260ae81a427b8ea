// The Telnet receive filter and the RFC 2217 client against any bytes a server may send: the
// same bytes give the same data, answers and state however they are cut; nothing grows past
// the input; and data escaped for the line comes back as it was.
#include "FuzzCheck.h"

#include "link/ComPortSession.h"
#include "link/Telnet.h"

#include <tuple>

using namespace zeltra::link;

namespace {

// The client's data, answers, state and error, fed the input `piece` bytes at a time.
auto run(QByteArrayView input, qsizetype piece)
{
    ComPortSession s;
    QByteArray data;
    QByteArray reply = s.start();
    for (qsizetype at = 0; at < input.size(); at += piece)
        data += s.receive(input.sliced(at, std::min(piece, input.size() - at)), reply);
    return std::tuple(data, reply, s.state(), s.error());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1 || size > 8192)
        return 0;
    const QByteArrayView input(reinterpret_cast<const char*>(bytes) + 1, qsizetype(size - 1));
    const auto whole = run(input, std::max<qsizetype>(1, input.size()));
    FUZZ_CHECK(whole == run(input, 1 + bytes[0] % 7));
    const auto& [data, reply, state, error] = whole;
    FUZZ_CHECK(data.size() <= input.size());
    // Each answer answers one command of three bytes; the start and the settings come once.
    FUZZ_CHECK(reply.size() <= input.size() + 128);

    telnet::Receiver rx;
    telnet::Receiver::Output out;
    rx.feed(telnet::escape(input), out);
    FUZZ_CHECK(out.data == input.toByteArray() && out.commands.isEmpty() && !rx.midCommand());
    return 0;
}
