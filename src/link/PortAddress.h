#pragma once
#include <QString>
#include <optional>

// Where the keyboard's line is reached: a COM number, a device path, or a port on a serial
// device server, rfc2217://HOST:PORT (the program sets the line through the Telnet COM port
// option) or tcp://HOST:PORT (raw bytes to a port the server has set to 38400 8O1). HOST is a
// name, an IPv4 literal or an IPv6 literal in brackets.
namespace zeltra::link {

struct PortAddress {
    enum class Kind { Com, Device, Rfc2217, Tcp };
    Kind kind = Kind::Com;
    int number = 0;   // Com
    QString path;     // Device
    QString host;     // Rfc2217, Tcp: without brackets
    quint16 port = 0; // Rfc2217, Tcp

    static PortAddress com(int n) { return {Kind::Com, n, {}, {}, 0}; }
    static PortAddress device(const QString& path) { return {Kind::Device, 0, path, {}, 0}; }
    bool isNetwork() const { return kind == Kind::Rfc2217 || kind == Kind::Tcp; }
    // "COM7", the path, or the address as it is written ("tcp://[::1]:2000").
    QString text() const;
    // The same server port: rfc2217:// and tcp:// to one host and port are one port.
    bool sameServerPort(const PortAddress& other) const;
    bool operator==(const PortAddress&) const = default;
};

// Longest address text taken; a host name is at most 253 characters.
constexpr int MaxAddressLength = 300;

struct ParsedAddress {
    std::optional<PortAddress> address;
    QString error; // what is wrong, when address is empty
};

// A network address: rfc2217://HOST:PORT or tcp://HOST:PORT. Text that names no scheme is no
// network address and gives an empty error (a COM number or a path, for the caller to read).
ParsedAddress parseNetworkAddress(const QString& text);

// Whether the text starts with a scheme ("name://"), ours or not.
bool hasScheme(const QString& text);

} // namespace zeltra::link
