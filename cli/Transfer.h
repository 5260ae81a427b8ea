#pragma once
#include "CliArgs.h"
#include "model/LayoutModel.h"

#include <QStringList>

namespace zeltra::cli {

struct TransferResult {
    int code = 0;      // an ExitCode
    QString error;     // the failure line, when code is not 0
    QStringList lines; // what to report besides (verify differences)
    QStringList notes; // bytes an upload could not take, for stderr
};

// Opens the port and runs the command's transfer of list item `listIndex` on the model: a
// download (and its verify), an upload into the model, or a verify against it.
TransferResult runTransfer(const Options& options, LayoutModel& model, int listIndex,
                           const PortChoice& port);

} // namespace zeltra::cli
