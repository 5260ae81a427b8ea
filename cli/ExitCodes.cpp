#include "ExitCodes.h"

namespace zeltra::cli {

int exitCodeFor(TransferEnd end)
{
    switch (end) {
    case TransferEnd::Finished:
        return ExitDone;
    case TransferEnd::NoAnswer:
    case TransferEnd::NotTakingCommands:
        return ExitNoAnswer;
    case TransferEnd::PortLost:
        return ExitPort;
    case TransferEnd::Mismatch:
        return ExitMismatch;
    }
    return ExitNoAnswer;
}

QString transferEndText(TransferEnd end)
{
    switch (end) {
    case TransferEnd::Finished:
        return QStringLiteral("finished");
    case TransferEnd::NoAnswer:
        return QStringLiteral("Abort No Coms: the keyboard did not answer within 1 s");
    case TransferEnd::NotTakingCommands:
        return QStringLiteral("Set Serial-A to Input: the keyboard's port A is not taking commands");
    case TransferEnd::PortLost:
        return QStringLiteral("the port went away during the transfer");
    case TransferEnd::Mismatch:
        return QStringLiteral("the keyboard holds other bytes than the file");
    }
    return {};
}

QString portOpenFailure(const QString& portName, const QString& reason)
{
    if (reason.contains(QLatin1String("locking the device")))
        return QStringLiteral("%1 is in use by another program (the zeltra window?); "
                              "disconnect it there and try again")
            .arg(portName);
    if (reason.contains(QLatin1String("No such file")))
        return QStringLiteral("%1 does not exist").arg(portName);
    if (reason.contains(QLatin1String("Permission denied")))
        return QStringLiteral("%1: permission denied (is your user in the dialout group?)")
            .arg(portName);
    return QStringLiteral("%1 does not open: %2").arg(portName, reason);
}

} // namespace zeltra::cli
