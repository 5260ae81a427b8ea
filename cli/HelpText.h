#pragma once
#include <QString>

namespace zeltra::cli {

// `zeltra-cli --help`: the commands, the options and the exit codes.
QString helpText();

// The hint after a usage error.
QString usageHint();

} // namespace zeltra::cli
