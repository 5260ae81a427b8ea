#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <cstdint>

// The Telnet byte stream: 0xFF (IAC) starts a command, IAC IAC is a data byte 0xFF, and
// IAC SB option ... IAC SE carries a subnegotiation. Pure byte work, no sockets.
namespace zeltra::link::telnet {

constexpr std::uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250,
                       SE = 240;
constexpr std::uint8_t OptBinary = 0, OptEcho = 1, OptSuppressGoAhead = 3, OptComPort = 44;

// Every 0xFF of `data` doubled, as data and subnegotiation bytes travel.
QByteArray escape(QByteArrayView data);
QByteArray command(std::uint8_t verb, std::uint8_t option);
QByteArray subnegotiation(std::uint8_t option, QByteArrayView payload);

// An option negotiation (verb WILL, WONT, DO or DONT) or a subnegotiation (verb SB).
struct Command {
    std::uint8_t verb = 0;
    std::uint8_t option = 0;
    QByteArray payload;     // SB: IAC IAC collapsed
    bool truncated = false; // SB: longer than the receiver keeps
    bool operator==(const Command&) const = default;
};

// Separates what a server sends into data bytes, option negotiations and subnegotiations.
// Its state carries over between calls, so a command may be cut anywhere. Nothing it keeps
// grows with the input: a subnegotiation is kept up to MaxPayload bytes, the rest dropped.
class Receiver {
  public:
    static constexpr int MaxPayload = 64;

    struct Output {
        QByteArray data;
        QList<Command> commands; // in the order they came
    };

    void feed(QByteArrayView bytes, Output& out);
    // Inside a subnegotiation or a command that has not ended yet.
    bool midCommand() const { return state_ != State::Data; }

  private:
    enum class State { Data, Command, Option, SubOption, Sub, SubCommand };
    void step(std::uint8_t b, Output& out);
    void keep(std::uint8_t b);

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    Command sub_;
};

} // namespace zeltra::link::telnet
