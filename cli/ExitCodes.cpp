#include "ExitCodes.h"

#include "link/LinkTexts.h"

namespace zeltra::cli {

int exitCodeFor(link::TransferOutcome outcome)
{
    using link::TransferOutcome;
    switch (outcome) {
    case TransferOutcome::Finished:
    case TransferOutcome::Verified:
        return ExitDone;
    case TransferOutcome::NoAnswer:
    case TransferOutcome::NotTakingCommands:
    case TransferOutcome::OtherAddress:
        return ExitNoAnswer;
    case TransferOutcome::PortLost:
        return ExitPort;
    case TransferOutcome::Differ:
        return ExitMismatch;
    }
    return ExitNoAnswer;
}

QString outcomeText(link::TransferOutcome outcome)
{
    using link::TransferOutcome;
    switch (outcome) {
    case TransferOutcome::Finished:
        return link::texts::finished();
    case TransferOutcome::Verified:
        return link::texts::verified();
    case TransferOutcome::Differ:
        return QStringLiteral("the keyboard holds other bytes than the file");
    case TransferOutcome::NoAnswer:
        return link::texts::abortNoComs() + QStringLiteral(": the keyboard did not answer within 1 s");
    case TransferOutcome::OtherAddress:
        return link::texts::abortNoComs() + QStringLiteral(": the keyboard answered for another address");
    case TransferOutcome::NotTakingCommands:
        return link::texts::setSerialAToInput() +
               QStringLiteral(": the keyboard's port A is not taking commands");
    case TransferOutcome::PortLost:
        return QStringLiteral("the port went away during the transfer");
    }
    return {};
}

QString portOpenFailure(const QString& portName, const QString& reason)
{
    if (reason.contains(QLatin1String("locking the device")) ||
        reason.contains(QLatin1String("is in use")))
        return QStringLiteral("%1 is in use by another program (the zeltra window?); "
                              "disconnect it there and try again")
            .arg(portName);
    if (const qsizetype at = reason.lastIndexOf(QLatin1String(": it is ")); at >= 0)
        return QStringLiteral("%1 does not open: %2").arg(portName, reason.mid(at + 2));
    if (reason.contains(QLatin1String("No such file")))
        return QStringLiteral("%1 does not exist").arg(portName);
    if (reason.contains(QLatin1String("Permission denied")))
        return QStringLiteral("%1: permission denied (is your user in the dialout group?)")
            .arg(portName);
    return QStringLiteral("%1 does not open: %2").arg(portName, reason);
}

} // namespace zeltra::cli
