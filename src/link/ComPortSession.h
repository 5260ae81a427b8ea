#pragma once
#include "link/Telnet.h"

#include <QByteArray>
#include <QString>
#include <array>

// The client side of RFC 2217, the Telnet COM port option, without a socket: the program
// offers WILL COM-PORT-OPTION and takes BINARY and SUPPRESS-GO-AHEAD both ways; when the
// server says DO COM-PORT-OPTION it asks for 38400 baud, 8 data bits, odd parity, 1 stop bit
// and no flow control, and it is ready once the server has acknowledged the first four with
// the values asked. The server's own WILL COM-PORT-OPTION is not needed. A refusal, or an
// answer with other line settings, fails the session with a text naming what was refused.
namespace zeltra::link {

class ComPortSession {
  public:
    enum class State { Negotiating, Ready, Failed };

    // What goes out first, on connecting.
    QByteArray start();
    // Bytes from the server: the data bytes are returned, Telnet commands taken out; answers
    // to the server's negotiation are appended to `reply`.
    QByteArray receive(QByteArrayView bytes, QByteArray& reply);
    // Data for the server: every 0xFF doubled.
    static QByteArray send(QByteArrayView data) { return telnet::escape(data); }

    State state() const { return state_; }
    // Failed: what the server refused.
    QString error() const { return error_; }
    // Negotiating: what the server has not yet done, for a time-out message.
    QString missing() const;
    // The server said DO COM-PORT-OPTION: it is an RFC 2217 port.
    bool comPortTaken() const { return settingsSent_; }

  private:
    struct Option {
        bool usOn = false, usAsked = false, usRefused = false;
        bool himOn = false, himAsked = false, himRefused = false;
    };
    void negotiate(const telnet::Command& c, QByteArray& reply);
    void onWill(std::uint8_t option, QByteArray& reply);
    void onWont(std::uint8_t option, QByteArray& reply);
    void onDo(std::uint8_t option, QByteArray& reply);
    void onDont(std::uint8_t option, QByteArray& reply);
    void answer(const telnet::Command& sub);
    void fail(const QString& why);

    telnet::Receiver receiver_;
    std::array<Option, 256> options_{};
    State state_ = State::Negotiating;
    QString error_;
    bool settingsSent_ = false;
    unsigned acknowledged_ = 0; // bit n: setting n answered as asked
};

} // namespace zeltra::link
