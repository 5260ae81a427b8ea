#include "link/Telnet.h"

namespace zeltra::link::telnet {

QByteArray escape(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size() + 4);
    for (char c : data) {
        out += c;
        if (std::uint8_t(c) == IAC)
            out += c;
    }
    return out;
}

QByteArray command(std::uint8_t verb, std::uint8_t option)
{
    const char bytes[] = {char(IAC), char(verb), char(option)};
    return QByteArray(bytes, 3);
}

QByteArray subnegotiation(std::uint8_t option, QByteArrayView payload)
{
    const char start[] = {char(IAC), char(SB), char(option)};
    const char end[] = {char(IAC), char(SE)};
    return QByteArray(start, 3) + escape(payload) + QByteArray(end, 2);
}

void Receiver::feed(QByteArrayView bytes, Output& out)
{
    for (char c : bytes)
        step(std::uint8_t(c), out);
}

void Receiver::keep(std::uint8_t b)
{
    if (sub_.payload.size() < MaxPayload)
        sub_.payload += char(b);
    else
        sub_.truncated = true;
}

void Receiver::step(std::uint8_t b, Output& out)
{
    switch (state_) {
    case State::Data:
        if (b == IAC)
            state_ = State::Command;
        else
            out.data += char(b);
        return;
    case State::Command:
        if (b == IAC) {
            out.data += char(b);
            state_ = State::Data;
        } else if (b >= WILL) {
            verb_ = b;
            state_ = State::Option;
        } else if (b == SB) {
            state_ = State::SubOption;
        } else {
            state_ = State::Data; // NOP, GA, a stray SE and the like carry nothing
        }
        return;
    case State::Option:
        out.commands.append({verb_, b, {}, false});
        state_ = State::Data;
        return;
    case State::SubOption:
        sub_ = {SB, b, {}, false};
        state_ = State::Sub;
        return;
    case State::Sub:
        if (b == IAC)
            state_ = State::SubCommand;
        else
            keep(b);
        return;
    case State::SubCommand:
        if (b == IAC) {
            keep(b);
            state_ = State::Sub;
        } else if (b == SE) {
            out.commands.append(sub_);
            sub_ = {};
            state_ = State::Data;
        } else {
            // A subnegotiation broken off by a command: it is dropped, the command counts.
            sub_ = {};
            state_ = State::Command;
            step(b, out);
        }
        return;
    }
}

} // namespace zeltra::link::telnet
