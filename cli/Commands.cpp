#include "Commands.h"

#include "ExitCodes.h"
#include "HelpText.h"
#include "LayoutFile.h"
#include "LayoutText.h"
#include "PortsText.h"
#include "Transfer.h"

#include "link/BlockTables.h"
#include "link/ComPorts.h"

#include <QProcessEnvironment>
#include <QSerialPortInfo>

#include <cstdio>

namespace zeltra::cli {
namespace {

// Every line is one line: control characters from the command line or the environment are
// not passed to the terminal.
void printLine(std::FILE* to, const QString& line)
{
    std::fprintf(to, "%s\n", printable(line).toLocal8Bit().constData());
}

int fail(int code, const QString& line)
{
    const QString hint = code == ExitUsage ? QStringLiteral(" (%1)").arg(usageHint()) : QString();
    printLine(stderr, QStringLiteral("zeltra-cli: ") + line + hint);
    return code;
}

int ports()
{
    QList<link::SystemDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.systemLocation(), info.description()});
    for (const QString& line :
         portsText(link::availableComPorts(devices, QProcessEnvironment::systemEnvironment())))
        printLine(stdout, line);
    return ExitDone;
}

int show(const Options& o)
{
    LayoutModel model;
    model.initDefaults({});
    if (const QString e = loadLayout(o.file, model); !e.isEmpty())
        return fail(ExitFile, e);
    for (const QString& line : layoutText(model))
        printLine(stdout, line);
    return ExitDone;
}

// The file and the block, checked before the port is touched.
int prepare(const Options& o, LayoutModel& model, int& listIndex)
{
    model.initDefaults({});
    const QString e = o.command == Command::Upload ? uploadBase(o.file, o.kind, model)
                                                   : loadLayout(o.file, model);
    if (!e.isEmpty())
        return fail(ExitFile, e);
    const auto index = blockIndex(model.KbdType(), o.block);
    if (!index)
        return fail(ExitUsage, QStringLiteral("a %1 layout has no block \"%2\"")
                                   .arg(model.KbdType() == KbdMonitor ? QStringLiteral("monitor")
                                                                      : QStringLiteral("machine"),
                                        o.block));
    listIndex = *index;
    return ExitDone;
}

} // namespace

int runCommand(const Options& o)
{
    switch (o.command) {
    case Command::Help:
        return ExitDone;
    case Command::Ports:
        return ports();
    case Command::Show:
        return show(o);
    case Command::Download:
    case Command::Upload:
    case Command::Verify:
        break;
    }
    QString portError;
    const PortChoice port = resolvePort(o.port, QProcessEnvironment::systemEnvironment(), &portError);
    if (port.path.isEmpty())
        return fail(ExitUsage, portError);
    LayoutModel model;
    int listIndex = 0;
    if (const int rc = prepare(o, model, listIndex); rc != ExitDone)
        return rc;
    const TransferResult result = runTransfer(o, model, listIndex, port);
    for (const QString& line : result.lines)
        printLine(stdout, line);
    for (const QString& note : result.notes)
        printLine(stderr, QStringLiteral("zeltra-cli: ") + note);
    if (result.code != ExitDone)
        return fail(result.code, result.error);
    if (o.command == Command::Upload) {
        if (const QString e = saveLayout(o.file, model); !e.isEmpty())
            return fail(ExitFile, e);
    }
    return ExitDone;
}

} // namespace zeltra::cli
