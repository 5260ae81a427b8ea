#pragma once
#include "CliArgs.h"

namespace zeltra::cli {

// Runs a checked command line; returns the exit code. Messages go to stderr, results to
// stdout.
int runCommand(const Options& options);

} // namespace zeltra::cli
