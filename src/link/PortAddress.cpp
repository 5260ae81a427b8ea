#include "link/PortAddress.h"

#include <QRegularExpression>

#include <arpa/inet.h>

namespace zeltra::link {
namespace {

constexpr int MaxHostLength = 253;
constexpr int MaxLabelLength = 63;

struct Scheme {
    const char* prefix;
    PortAddress::Kind kind;
};
constexpr Scheme Schemes[] = {{"rfc2217://", PortAddress::Kind::Rfc2217},
                              {"tcp://", PortAddress::Kind::Tcp}};

ParsedAddress refuse(const QString& why)
{
    return {std::nullopt, why};
}

bool isLiteral(int family, const QString& text)
{
    unsigned char buffer[16];
    return inet_pton(family, text.toLatin1().constData(), buffer) == 1;
}

// A host name by the rules of DNS: labels of letters, digits and hyphens, 1..63 characters,
// no hyphen at either end. Empty when it is one.
QString nameProblem(const QString& host)
{
    if (host.size() > MaxHostLength)
        return QStringLiteral("the host name is longer than %1 characters").arg(MaxHostLength);
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?$"));
    const QString name = host.endsWith(QLatin1Char('.')) ? host.chopped(1) : host;
    for (const QString& part : name.split(QLatin1Char('.'))) {
        if (part.isEmpty() || part.size() > MaxLabelLength || !label.match(part).hasMatch())
            return QStringLiteral("\"%1\" is no host name (letters, digits, hyphens and dots)")
                .arg(host);
    }
    return {};
}

// HOST as it stands between "//" and ":PORT"; empty when it is a host.
QString hostProblem(const QString& host, bool bracketed)
{
    if (host.isEmpty())
        return QStringLiteral("the host is missing");
    if (bracketed)
        return isLiteral(AF_INET6, host)
                   ? QString()
                   : QStringLiteral("[%1] is no IPv6 address").arg(host);
    if (host.contains(QLatin1Char(':')))
        return QStringLiteral("an IPv6 address goes in brackets: [%1]").arg(host);
    static const QRegularExpression numeric(QStringLiteral("^[0-9.]+$"));
    if (numeric.match(host).hasMatch())
        return isLiteral(AF_INET, host) ? QString()
                                        : QStringLiteral("%1 is no IPv4 address").arg(host);
    return nameProblem(host);
}

std::optional<quint16> portNumber(const QString& digits)
{
    static const QRegularExpression plain(QStringLiteral("^[1-9][0-9]{0,4}$"));
    if (!plain.match(digits).hasMatch())
        return std::nullopt;
    const int n = digits.toInt();
    return n <= 65535 ? std::optional<quint16>(quint16(n)) : std::nullopt;
}

} // namespace

bool hasScheme(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(text).hasMatch();
}

ParsedAddress parseNetworkAddress(const QString& text)
{
    if (!hasScheme(text))
        return {};
    if (text.size() > MaxAddressLength)
        return refuse(QStringLiteral("the address is longer than %1 characters").arg(MaxAddressLength));
    const Scheme* scheme = nullptr;
    for (const Scheme& s : Schemes)
        if (text.startsWith(QLatin1String(s.prefix), Qt::CaseInsensitive))
            scheme = &s;
    if (!scheme)
        return refuse(QStringLiteral("a network port is rfc2217://HOST:PORT or tcp://HOST:PORT"));
    const QString rest = text.mid(int(qstrlen(scheme->prefix)));
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    const bool bracketed = rest.startsWith(QLatin1Char('['));
    const qsizetype close = rest.indexOf(QLatin1Char(']'));
    if (colon < 0 || (bracketed && (close < 0 || colon != close + 1)))
        return refuse(bracketed && close < 0 ? QStringLiteral("the \"[\" of the host is not closed")
                                             : QStringLiteral("the port number is missing (HOST:PORT)"));
    const QString host = bracketed ? rest.mid(1, close - 1) : rest.left(colon);
    if (const QString why = hostProblem(host, bracketed); !why.isEmpty())
        return refuse(why);
    const auto port = portNumber(rest.mid(colon + 1));
    if (!port)
        return refuse(QStringLiteral("the port number must be 1..65535, not \"%1\"").arg(rest.mid(colon + 1)));
    PortAddress a;
    a.kind = scheme->kind;
    a.host = host;
    a.port = *port;
    return {a, {}};
}

QString PortAddress::text() const
{
    switch (kind) {
    case Kind::Com:
        return QStringLiteral("COM%1").arg(number);
    case Kind::Device:
        return path;
    case Kind::Rfc2217:
    case Kind::Tcp:
        break;
    }
    const QString h = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("%1://%2:%3")
        .arg(kind == Kind::Rfc2217 ? QStringLiteral("rfc2217") : QStringLiteral("tcp"), h)
        .arg(port);
}

bool PortAddress::sameServerPort(const PortAddress& other) const
{
    return isNetwork() && other.isNetwork() && port == other.port &&
           host.compare(other.host, Qt::CaseInsensitive) == 0;
}

} // namespace zeltra::link
