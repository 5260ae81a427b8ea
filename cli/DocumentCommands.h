#pragma once
#include "CliArgs.h"

// `zeltra-cli export`, `import` and `diff`: layouts as JSON documents and compared in words.
// Each returns the exit code and prints its own failure line.
namespace zeltra::cli {

int exportLayout(const Options& options);
int importLayout(const Options& options);
int diffLayouts(const Options& options);

} // namespace zeltra::cli
