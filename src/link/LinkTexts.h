#pragma once
#include <QString>

// The link's own words, as the user sees them.
namespace zeltra::link::texts {

inline QString comPortInvalid()
{
    return QStringLiteral("Com Port Invalid");
}
inline QString portUnknown()
{
    return QStringLiteral("Com?");
}
inline QString portNumbered(int n)
{
    return QStringLiteral("Com:%1").arg(n);
}
inline QString started()
{
    return QStringLiteral("started");
}
inline QString finished()
{
    return QStringLiteral("finished");
}
inline QString abortNoComs()
{
    return QStringLiteral("Abort No Coms");
}
inline QString setSerialAToInput()
{
    return QStringLiteral("Set Serial-A to Input");
}

inline QString verified()
{
    return QStringLiteral("verified");
}
inline QString bytesDiffer(int n)
{
    return QStringLiteral("%1 bytes differ").arg(n);
}
inline QString verifyCaption(const QString& listItem)
{
    return QStringLiteral("Verify %1").arg(listItem);
}
// One difference found by a verify, as the trace shows it.
inline QString differenceLine(int block, int address, int expected, int got)
{
    auto hex = [](int b) { return QString::number(b, 16).rightJustified(2, QLatin1Char('0')).toUpper(); };
    return QStringLiteral("block %1 address %2 expected %3 got %4")
        .arg(block)
        .arg(address)
        .arg(hex(expected), hex(got));
}

} // namespace zeltra::link::texts
