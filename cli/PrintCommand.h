#pragma once
#include "CliArgs.h"

// `zeltra-cli print LAYOUT OUT.pdf [--page A4|Letter]`: the layout card as a PDF. It paints,
// so it needs a QGuiApplication; the other commands stay with QCoreApplication.
namespace zeltra::cli {

int printLayout(const Options& options);

// Before the application object exists: painting runs on the offscreen platform, with or
// without a display (unless QT_QPA_PLATFORM says otherwise).
void preparePrintPlatform();

} // namespace zeltra::cli
