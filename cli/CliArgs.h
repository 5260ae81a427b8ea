#pragma once
#include "link/PortAddress.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The words of a zeltra-cli command line, checked before anything touches a file or a port.
namespace zeltra::cli {

enum class Command { Help, Ports, Download, Upload, Verify, Show, Export, Import, Diff, Print };

struct Options {
    Command command = Command::Help;
    QString file;
    QStringList ports;      // as typed: COM numbers, "COMn", device paths or network ports;
                            // download and verify take several and work on all at once
    QString block;          // empty: every block
    bool verify = false;    // download: read back and compare afterwards
    bool fast = false;      // download, upload: next frame as soon as the reply is in
    std::int32_t kind = -1; // upload: the keyboard kind of the new file
    QString second;         // export: the document; import: the layout; diff: the other file
    bool exact = false;     // upload: keep every byte as read, times that are not BCD too
    bool json = false;      // ports, download, upload, verify, diff: one JSON document on stdout
    QString page = QStringLiteral("A4"); // print: A4 or Letter
    bool operator==(const Options&) const = default;
};

struct Parsed {
    std::optional<Options> options;
    QString error; // one line, when options is empty
};

// Longest word taken from the command line; anything longer is refused.
constexpr int MaxWordLength = 4096;
// Most keyboards one command works on at once.
constexpr int MaxPorts = 16;

// The arguments after the program name.
Parsed parseArguments(const QStringList& args);

// Whether a command line asks for a JSON document, also one that does not parse.
bool wantsJson(const QStringList& args);

// The port a --port word names: a COM number (through the COM map and ZELTRA_COM<n>), the
// same as "COMn", a path, or a network port (rfc2217://HOST:PORT, tcp://HOST:PORT). An empty
// name with `error` set when the word names nothing.
struct PortChoice {
    link::PortAddress address;
    QString path;  // the device; empty for a network port
    QString name;  // "COM7 (/dev/pts/3)", the path or the address, for messages
    QString label; // "COM7", the path or the address, for results read by scripts
};
PortChoice resolvePort(const QString& word, const QProcessEnvironment& env, QString* error);

// The block list index (0 = "All") of a block name for a keyboard kind: the list item's
// text, any case, or its number. Nothing when the kind has no such block.
std::optional<int> blockIndex(std::int32_t kind, const QString& name);

} // namespace zeltra::cli
