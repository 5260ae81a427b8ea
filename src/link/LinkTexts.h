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

} // namespace zeltra::link::texts
