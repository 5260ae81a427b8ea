#pragma once
#include "link/BlockTables.h"
#include "PortsText.h"
#include "link/ComPorts.h"
#include "model/LayoutDiff.h"

#include <QByteArray>
#include <QList>
#include <QString>

// `--json`: the result of a command as one JSON document for scripts. The field names are
// part of the command line's interface (the manual page lists them): add, never rename.
namespace zeltra::cli {

// A byte a verify found different: where, what the file has and what the keyboard holds.
struct Mismatch {
    int block = 0;
    int address = 0;
    int fileByte = 0;
    int keyboardByte = 0;
};

// What one port's transfer did.
struct PortReport {
    QString address; // "COM7" or the device path
    QString device;
    int exitCode = 0;
    QString message;
    int blocksDone = 0;
    int bytesWritten = 0;
    int bytesRead = 0;
    QList<Mismatch> mismatches;
    QList<link::RefusedByte> leftOut; // upload: bytes the backup could not hold
};

// {"exitCode", "message", "ports": [{"address", "device", "description", "driver",
// "latencyTimerMs"}], "networkPorts": [address ...]}: driver and latency timer are null where
// the system tells none.
QByteArray portsDocument(const QList<PortLine>& ports, const QStringList& networkPorts);

// {"command", "file", "exitCode", "message", "ports": [PortReport ...]}: the exit code is the
// highest of the ports', the message that of the first port with it.
QByteArray transferDocument(const QString& command, const QString& file,
                            const QList<PortReport>& ports);

// {"command": "diff", "files": [a, b], "exitCode", "message", "differences": [{"section",
// "item", "field", "from", "to", "text"}]}
QByteArray diffDocument(const QString& a, const QString& b,
                        const QList<layoutdoc::Difference>& differences);

// A command that ended before it could do its work: {"command", "exitCode", "message"}, and
// "ports": [] or "differences": [] so that a script finds the lists it expects.
QByteArray failureDocument(const QString& command, int exitCode, const QString& message);

} // namespace zeltra::cli
