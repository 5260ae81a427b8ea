// zeltra-cli: the keyboard link and the layout files from a terminal, without a display.
#include "CliArgs.h"
#include "Commands.h"
#include "ExitCodes.h"
#include "HelpText.h"
#include "JsonResults.h"
#include "LayoutText.h"
#include "PrintCommand.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>
#include <string_view>

namespace {

// Only `print` paints: the other commands start without a display connection.
std::unique_ptr<QCoreApplication> application(int& argc, char** argv)
{
    if (argc > 1 && std::string_view(argv[1]) == "print") {
        zeltra::cli::preparePrintPlatform();
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeltra-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELTRA_VERSION));
    using namespace zeltra::cli;

    const Parsed parsed = parseArguments(QCoreApplication::arguments().mid(1));
    if (!parsed.options) {
        if (wantsJson(QCoreApplication::arguments().mid(1)))
            std::fputs(failureDocument(QStringLiteral("usage"), ExitUsage, parsed.error).constData(),
                       stdout);
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
