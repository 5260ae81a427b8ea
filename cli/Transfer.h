#pragma once
#include "CliArgs.h"
#include "JsonResults.h"
#include "link/BlockTables.h"
#include "model/LayoutData.h"

#include <QList>
#include <QStringList>

namespace zeltra::cli {

struct TransferResult {
    int code = 0;      // an ExitCode
    QString error;     // the failure line, when code is not 0
    QStringList lines; // what to report besides (verify differences)
    QList<link::RefusedByte> refused; // bytes an upload could not place (code ExitIncomplete)
    bool opened = false; // the port opened (a network port is then remembered)
    // What reached the keyboard or came back from it, also for a transfer that failed.
    int blocksDone = 0;
    int bytesWritten = 0;
    int bytesRead = 0;
    QList<Mismatch> mismatches;
};

// Runs the command's transfer of list item `listIndex` on every port at once, each with its
// own link and its own copy of the model, all on one event loop: a download (and its verify),
// an upload into the model (one port only; also when some bytes were left out), or a verify
// against it. A port that does not
// open or does not answer ends on its own; the others go on at their own pace. Results come
// in the order of `ports`.
QList<TransferResult> runTransfers(const Options& options, LayoutData& model, int listIndex,
                                   const QList<PortChoice>& ports);

// The exit code for several ports: the highest of them.
int worstCode(const QList<TransferResult>& results);

} // namespace zeltra::cli
