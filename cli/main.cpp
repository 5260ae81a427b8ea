// zeltra-cli: the keyboard link and the layout files from a terminal, without a display.
#include "CliArgs.h"
#include "Commands.h"
#include "ExitCodes.h"
#include "HelpText.h"
#include "LayoutText.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeltra-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELTRA_VERSION));
    using namespace zeltra::cli;

    const Parsed parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (!parsed.options) {
        std::fprintf(stderr, "zeltra-cli: %s (%s)\n",
                     printable(parsed.error).toLocal8Bit().constData(),
                     usageHint().toLocal8Bit().constData());
        return ExitUsage;
    }
    if (parsed.options->command == Command::Help) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return ExitDone;
    }
    return runCommand(*parsed.options);
}
