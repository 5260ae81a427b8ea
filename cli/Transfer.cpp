#include "Transfer.h"

#include "ExitCodes.h"

#include "link/LinkEngine.h"
#include "link/QtSerialChannel.h"

#include <QFile>
#include <QSerialPort>

namespace zeltra::cli {
namespace {

// The channel names its device by a COM number; the chosen device, whatever it is, is given
// this one in our own environment.
constexpr int CliPortNumber = 999;

// Why the device does not open. The channel clears the port's error as it reports it, so its
// own text has lost the reason; a second try on the failed device gives it again.
QString openFailureReason(const QString& path, const QString& channelError)
{
    QSerialPort probe(path);
    if (!probe.open(QIODevice::ReadWrite))
        return probe.errorString();
    probe.close();
    return channelError;
}

} // namespace

TransferResult runTransfer(const Options& o, LayoutModel& model, int listIndex, const PortChoice& port)
{
    Q_UNUSED(o);
    Q_UNUSED(listIndex);
    qputenv(qPrintable(QStringLiteral("ZELTRA_COM%1").arg(CliPortNumber)), QFile::encodeName(port.path));
    model.Settings.setComPort(CliPortNumber);
    QtSerialChannel channel;
    link::LinkEngine engine(model, channel);
    if (!engine.tryport())
        return {ExitPort, portOpenFailure(port.name, openFailureReason(port.path, channel.errorString())), {}};
    return {ExitPort, QStringLiteral("transfers are not built yet"), {}};
}

} // namespace zeltra::cli
