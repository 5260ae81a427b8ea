#include "link/ComPortSession.h"

#include <QStringList>

namespace zeltra::link {
namespace {

using namespace telnet;

constexpr std::uint8_t ServerAnswer = 100; // a server answers command n with n + 100

struct Setting {
    std::uint8_t command;
    const char* value;
    int size;
    const char* what;
    bool required; // the session waits for its acknowledgement
};
// SET-BAUDRATE 38400 (four bytes, network order), SET-DATASIZE 8, SET-PARITY odd (2),
// SET-STOPSIZE 1, SET-CONTROL no flow control (1).
constexpr Setting Settings[] = {{1, "\x00\x00\x96\x00", 4, "38400 baud", true},
                                {2, "\x08", 1, "8 data bits", true},
                                {3, "\x02", 1, "odd parity", true},
                                {4, "\x01", 1, "1 stop bit", true},
                                {5, "\x01", 1, "no flow control", false}};
constexpr unsigned RequiredMask = 0b1111;

bool acceptedBothWays(std::uint8_t option)
{
    return option == OptBinary || option == OptSuppressGoAhead;
}

QString named(const char* const* names, int count, std::uint8_t value, const QString& other)
{
    return value >= 1 && value <= count ? QString::fromLatin1(names[value - 1]) : other;
}

// The line setting a server's answer names, in words.
QString described(const Setting& s, const QByteArray& value)
{
    if (value.size() != s.size)
        return QStringLiteral("%1 bytes").arg(value.size());
    const auto v = std::uint8_t(value[0]);
    static const char* const parity[] = {"no parity", "odd parity", "even parity", "mark parity",
                                         "space parity"};
    static const char* const stop[] = {"1 stop bit", "2 stop bits", "1.5 stop bits"};
    static const char* const control[] = {"no flow control", "XON/XOFF flow control",
                                          "hardware flow control"};
    const QString code = QStringLiteral("value %1").arg(v);
    switch (s.command) {
    case 1: {
        quint32 baud = 0;
        for (char c : value)
            baud = baud << 8 | std::uint8_t(c);
        return QStringLiteral("%1 baud").arg(baud);
    }
    case 2:
        return QStringLiteral("%1 data bits").arg(v);
    case 3:
        return named(parity, 5, v, code);
    case 4:
        return named(stop, 3, v, code);
    default:
        return named(control, 3, v, code);
    }
}

} // namespace

QByteArray ComPortSession::start()
{
    QByteArray out = command(WILL, OptComPort);
    options_[OptComPort].usAsked = true;
    for (std::uint8_t o : {OptBinary, OptSuppressGoAhead}) {
        out += command(WILL, o) + command(DO, o);
        options_[o].usAsked = options_[o].himAsked = true;
    }
    return out;
}

QByteArray ComPortSession::receive(QByteArrayView bytes, QByteArray& reply)
{
    Receiver::Output out;
    receiver_.feed(bytes, out);
    for (const Command& c : out.commands) { // in order: an answer counts only after its request
        if (c.verb != SB)
            negotiate(c, reply);
        else if (c.option == OptComPort && state_ == State::Negotiating && settingsSent_)
            answer(c);
    }
    return out.data;
}

void ComPortSession::negotiate(const Command& n, QByteArray& reply)
{
    switch (n.verb) {
    case WILL:
        return onWill(n.option, reply);
    case WONT:
        return onWont(n.option, reply);
    case DO:
        return onDo(n.option, reply);
    default:
        return onDont(n.option, reply);
    }
}

// Each answer changes a state: a server repeating itself gets no answer, so nothing loops.
void ComPortSession::onWill(std::uint8_t option, QByteArray& reply)
{
    Option& o = options_[option];
    if (!acceptedBothWays(option)) {
        if (!o.himRefused)
            reply += command(DONT, option);
        o.himRefused = true;
        return;
    }
    if (!o.himOn && !o.himAsked)
        reply += command(DO, option);
    o.himOn = true;
    o.himAsked = false;
}

void ComPortSession::onWont(std::uint8_t option, QByteArray& reply)
{
    Option& o = options_[option];
    if (o.himOn)
        reply += command(DONT, option);
    o.himOn = o.himAsked = false;
}

void ComPortSession::onDo(std::uint8_t option, QByteArray& reply)
{
    Option& o = options_[option];
    if (!acceptedBothWays(option) && option != OptComPort) {
        if (!o.usRefused)
            reply += command(WONT, option);
        o.usRefused = true;
        return;
    }
    if (!o.usOn && !o.usAsked)
        reply += command(WILL, option);
    o.usOn = true;
    o.usAsked = false;
    if (option == OptComPort && !settingsSent_ && state_ == State::Negotiating) {
        settingsSent_ = true;
        for (const Setting& s : Settings)
            reply += subnegotiation(OptComPort,
                                    QByteArray(1, char(s.command)) + QByteArray(s.value, s.size));
    }
}

void ComPortSession::onDont(std::uint8_t option, QByteArray& reply)
{
    Option& o = options_[option];
    if (option == OptComPort && state_ == State::Negotiating)
        fail(QStringLiteral("the server refused the COM port option (DONT 44): is it an RFC 2217 "
                            "port? tcp:// reaches a raw one"));
    if (o.usOn)
        reply += command(WONT, option);
    o.usOn = o.usAsked = false;
}

void ComPortSession::answer(const Command& sub)
{
    if (sub.payload.isEmpty())
        return;
    const int code = std::uint8_t(sub.payload[0]) - ServerAnswer;
    for (int i = 0; i < int(std::size(Settings)); ++i) {
        const Setting& s = Settings[i];
        if (s.command != code)
            continue;
        const QByteArray value = sub.payload.mid(1);
        if (value != QByteArray(s.value, s.size)) {
            fail(QStringLiteral("the server refused %1: it answered %2 (%3)")
                     .arg(QLatin1String(s.what), described(s, value))
                     .arg(code + ServerAnswer));
            return;
        }
        if (s.required)
            acknowledged_ |= 1u << i;
    }
    if ((acknowledged_ & RequiredMask) == RequiredMask)
        state_ = State::Ready;
}

void ComPortSession::fail(const QString& why)
{
    if (state_ == State::Failed)
        return;
    state_ = State::Failed;
    error_ = why;
}

QString ComPortSession::missing() const
{
    if (!settingsSent_)
        return QStringLiteral("the server did not take the COM port option (no DO 44)");
    QStringList waiting;
    for (int i = 0; i < int(std::size(Settings)); ++i)
        if (Settings[i].required && !(acknowledged_ & (1u << i)))
            waiting << QLatin1String(Settings[i].what);
    return QStringLiteral("the server did not acknowledge %1").arg(waiting.join(QStringLiteral(", ")));
}

} // namespace zeltra::link
