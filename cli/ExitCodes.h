#pragma once
#include "link/LinkEngine.h"

#include <QString>

// zeltra-cli's exit codes and the one line it prints when it fails.
namespace zeltra::cli {

enum ExitCode : int {
    ExitDone = 0,
    ExitUsage = 1,    // the command line is wrong
    ExitFile = 2,     // the layout file cannot be read or written, or is not a layout
    ExitPort = 3,     // the port does not open or went away
    ExitNoAnswer = 4, // the keyboard did not answer, or its port A takes no commands
    ExitMismatch = 5, // verify: the keyboard holds other bytes than the file
    ExitIncomplete = 6, // upload: bytes the keyboard holds were left out of the backup
};

// How a transfer's end maps to the exit code, and the line that tells it.
int exitCodeFor(link::TransferOutcome outcome);
QString outcomeText(link::TransferOutcome outcome);

// The line for a port that did not open, from the system's reason. A port another program
// holds (the window program connected to the keyboard) is reported, not taken over.
QString portOpenFailure(const QString& portName, const QString& reason);

} // namespace zeltra::cli
