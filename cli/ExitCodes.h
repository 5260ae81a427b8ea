#pragma once
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
};

// How a transfer ended.
enum class TransferEnd {
    Finished,
    NoAnswer,          // "Abort No Coms": no frame for a whole reply time
    NotTakingCommands, // a read was answered by another frame: "Set Serial-A to Input"
    PortLost,          // the device went away
    Mismatch,          // verify found other bytes
};

int exitCodeFor(TransferEnd end);
QString transferEndText(TransferEnd end);

// The line for a port that did not open, from the system's reason. A port another program
// holds (the window program connected to the keyboard) is reported, not taken over.
QString portOpenFailure(const QString& portName, const QString& reason);

} // namespace zeltra::cli
