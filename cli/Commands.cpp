#include "Commands.h"

#include "DocumentCommands.h"
#include "ExitCodes.h"
#include "HelpText.h"
#include "JsonResults.h"
#include "LayoutFile.h"
#include "LeftOut.h"
#include "LayoutText.h"
#include "PortsText.h"
#include "PrintCommand.h"
#include "Transfer.h"

#include "link/BlockTables.h"
#include "link/ComPorts.h"
#include "link/UsbSerial.h"
#include "link/UsedNetworkPorts.h"

#include <QFileInfo>
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

QString sysfsRoot(const QProcessEnvironment& env)
{
    return env.value(QStringLiteral("ZELTRA_SYSFS"), QStringLiteral("/sys"));
}


void printDocument(const QByteArray& document)
{
    std::fwrite(document.constData(), 1, std::size_t(document.size()), stdout);
}

const char* commandName(Command command)
{
    switch (command) {
    case Command::Download:
        return "download";
    case Command::Upload:
        return "upload";
    case Command::Verify:
        return "verify";
    default:
        return "";
    }
}

// A failure line on stderr; with --json also the document that tells it on stdout.
int failed(const Options& o, int code, const QString& line)
{
    if (o.json)
        printDocument(failureDocument(QLatin1String(commandName(o.command)), code, line));
    return fail(code, line);
}

int ports(const Options& o)
{
    const auto env = QProcessEnvironment::systemEnvironment();
    QList<link::SystemDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.systemLocation(), info.description()});
    QList<PortLine> lines;
    for (const auto& port : link::availableComPorts(devices, env))
        lines.append({port, link::adapterInfo(sysfsRoot(env), port.path)});
    const QStringList used = link::usedports::read(link::usedports::filePath(env));
    if (o.json) {
        printDocument(portsDocument(lines, used));
        return ExitDone;
    }
    for (const QString& line : portsText(lines, used))
        printLine(stdout, line);
    return ExitDone;
}

// Network ports that opened are listed by `ports` from then on.
void rememberNetworkPorts(const QList<PortChoice>& ports, const QList<TransferResult>& results)
{
    const QString file = link::usedports::filePath(QProcessEnvironment::systemEnvironment());
    for (int i = int(ports.size()) - 1; i >= 0; --i) {
        if (!ports[i].address.isNetwork() || !results[i].opened)
            continue;
        if (const QString e = link::usedports::remember(file, ports[i].address.text()); !e.isEmpty())
            printLine(stderr, QStringLiteral("zeltra-cli: %1 is not remembered: %2").arg(ports[i].name, e));
    }
}

QList<PortReport> reports(const QList<PortChoice>& ports, const QList<TransferResult>& results)
{
    QList<PortReport> out;
    for (int i = 0; i < ports.size(); ++i) {
        const TransferResult& r = results[i];
        out << PortReport{ports[i].label, ports[i].path, r.code,
                          r.code == ExitDone ? QStringLiteral("done") : r.error,
                          r.blocksDone, r.bytesWritten, r.bytesRead, r.mismatches, r.refused};
    }
    return out;
}

int show(const Options& o)
{
    LayoutData model;
    model.initDefaults({});
    if (const QString e = loadLayout(o.file, model); !e.isEmpty())
        return fail(ExitFile, e);
    for (const QString& line : layoutText(model))
        printLine(stdout, line);
    return ExitDone;
}

// The file and the block, checked before the port is touched.
int prepare(const Options& o, LayoutData& model, int& listIndex)
{
    model.initDefaults({});
    const QString e = o.command == Command::Upload ? uploadBase(o.file, o.kind, model)
                                                   : loadLayout(o.file, model);
    if (!e.isEmpty())
        return failed(o, ExitFile, e);
    const auto index = blockIndex(model.KbdType(), o.block);
    if (!index)
        return failed(o, ExitUsage, QStringLiteral("a %1 layout has no block \"%2\"")
                                   .arg(model.KbdType() == KbdMonitor ? QStringLiteral("monitor")
                                                                      : QStringLiteral("machine"),
                                        o.block));
    listIndex = *index;
    return ExitDone;
}

// Two names of one device (a link, "..", a COM number): two links on one line would fight.
bool sameDevice(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return a == b || (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath());
}

// Every --port names a device, and no two the same one, before anything is opened.
int choosePorts(const Options& o, QList<PortChoice>& ports)
{
    for (const QString& word : o.ports) {
        QString error;
        const PortChoice port = resolvePort(word, QProcessEnvironment::systemEnvironment(), &error);
        if (port.name.isEmpty())
            return failed(o, ExitUsage, error);
        for (const PortChoice& other : ports)
            if (port.address.isNetwork() ? port.address.sameServerPort(other.address)
                                         : !other.address.isNetwork() && sameDevice(other.path, port.path))
                return failed(o, ExitUsage,
                            QStringLiteral("%1 and %2 are the same device").arg(other.name, port.name));
        ports << port;
    }
    return ExitDone;
}

// With several ports: a line per port (and its differences after it), the worst code.
int summary(const QList<PortChoice>& ports, const QList<TransferResult>& results)
{
    for (int i = 0; i < ports.size(); ++i) {
        const TransferResult& r = results[i];
        const QString outcome = r.code == ExitDone ? QStringLiteral("done") : r.error;
        printLine(stdout, QStringLiteral("%1: %2").arg(ports[i].name, outcome));
        for (const QString& line : r.lines)
            printLine(stdout, QStringLiteral("%1: %2").arg(ports[i].name, line));
    }
    return worstCode(results);
}

// The upload's file is written as without --json; the document tells the end of it.
int finishJson(const Options& o, const LayoutData& model, const QList<PortChoice>& ports,
               const QList<TransferResult>& results, bool newFile)
{
    QList<PortReport> report = reports(ports, results);
    const TransferResult& first = results.first();
    if (o.command == Command::Upload && (first.code == ExitDone || first.code == ExitIncomplete)) {
        for (const QString& line : leftOutLines(first.refused, model, newFile))
            printLine(stderr, QStringLiteral("zeltra-cli: ") + line);
        if (const QString e = saveLayout(o.file, model); !e.isEmpty()) {
            report.first().exitCode = ExitFile;
            report.first().message = e;
        } else if (first.code == ExitIncomplete) {
            report.first().message = incompleteLine(first.refused, o.file, newFile);
        }
    }
    printDocument(transferDocument(QLatin1String(commandName(o.command)), o.file, report));
    int code = ExitDone;
    for (const PortReport& r : report)
        code = std::max(code, r.exitCode);
    return code;
}

} // namespace

int runCommand(const Options& o)
{
    switch (o.command) {
    case Command::Help:
        return ExitDone;
    case Command::Ports:
        return ports(o);
    case Command::Show:
        return show(o);
    case Command::Export:
        return exportLayout(o);
    case Command::Import:
        return importLayout(o);
    case Command::Diff:
        return diffLayouts(o);
    case Command::Print:
        return printLayout(o);
    case Command::Download:
    case Command::Upload:
    case Command::Verify:
        break;
    }
    QList<PortChoice> ports;
    if (const int rc = choosePorts(o, ports); rc != ExitDone)
        return rc;
    LayoutData model;
    int listIndex = 0;
    const bool newFile = !QFileInfo::exists(o.file);
    if (const int rc = prepare(o, model, listIndex); rc != ExitDone)
        return rc;
    const QList<TransferResult> results = runTransfers(o, model, listIndex, ports);
    rememberNetworkPorts(ports, results);
    if (o.json)
        return finishJson(o, model, ports, results, newFile);
    if (results.size() > 1)
        return summary(ports, results);
    const TransferResult& result = results.first();
    for (const QString& line : result.lines)
        printLine(stdout, line);
    if (result.code != ExitDone && result.code != ExitIncomplete)
        return fail(result.code, result.error);
    if (o.command != Command::Upload)
        return ExitDone;
    // What could be placed is written; the bytes left out are named, and the exit code says
    // that this backup will not verify.
    for (const QString& line : leftOutLines(result.refused, model, newFile))
        printLine(stderr, QStringLiteral("zeltra-cli: ") + line);
    if (const QString e = saveLayout(o.file, model); !e.isEmpty())
        return fail(ExitFile, e);
    if (result.code == ExitIncomplete)
        return fail(ExitIncomplete, incompleteLine(result.refused, o.file, newFile));
    return ExitDone;
}

} // namespace zeltra::cli
