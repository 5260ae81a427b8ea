// zeltra-emu: the keyboard at the far end of the line, on a pseudo-terminal.
#include "EmuShell.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <string_view>

using zeltra::emu::AnswerMode;
using zeltra::emu::ShellOptions;

namespace {

bool readInt(const QCommandLineParser& parser, const QString& name, int max, int& out)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    if (!ok || v < 0 || v > max) {
        std::fprintf(stderr, "zeltra-emu: --%s takes a number 0..%d\n", qPrintable(name), max);
        return false;
    }
    out = v;
    return true;
}

bool readOptions(const QCommandLineParser& parser, ShellOptions& o)
{
    o.link = parser.value(QStringLiteral("link"));
    o.eepromFile = parser.value(QStringLiteral("eeprom"));
    if (parser.isSet(QStringLiteral("silent")))
        o.mode = AnswerMode::Silent;
    else if (parser.isSet(QStringLiteral("ack-only")))
        o.mode = AnswerMode::AckOnly;
    else if (parser.isSet(QStringLiteral("wrong-address")))
        o.mode = AnswerMode::WrongAddress;
    for (const char* name : {"fill", "garbage"}) {
        if (!parser.isSet(QString::fromLatin1(name)))
            continue;
        const auto bytes = zeltra::emu::parseHexBytes(parser.value(QString::fromLatin1(name)));
        if (!bytes || bytes->isEmpty() || bytes->size() > 64 ||
            (std::string_view(name) == "fill" && bytes->size() != 1)) {
            std::fprintf(stderr, "zeltra-emu: --%s takes hex bytes\n", name);
            return false;
        }
        if (std::string_view(name) == "fill")
            o.fill = std::uint8_t(bytes->at(0));
        else
            o.garbage = *bytes;
    }
    return readInt(parser, QStringLiteral("split"), 64, o.split) &&
           readInt(parser, QStringLiteral("split-gap"), 1000, o.splitGapMs) &&
           readInt(parser, QStringLiteral("delay"), 10000, o.delayMs) &&
           readInt(parser, QStringLiteral("line-rate"), 4000000, o.lineRate) &&
           readInt(parser, QStringLiteral("write-delay"), 10000, o.writeDelayMs) &&
           readInt(parser, QStringLiteral("corrupt"), 1000000, o.corruptEvery);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zeltra-emu"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Keyboard emulator: answers the keyboard protocol on a pseudo-terminal and prints "
        "every frame in hex."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("link"), QStringLiteral("Make a symlink to the pseudo-terminal."),
         QStringLiteral("path")},
        {QStringLiteral("eeprom"),
         QStringLiteral("EEPROM file (4096 bytes): loaded at start, saved after every write."),
         QStringLiteral("file")},
        {QStringLiteral("fill"), QStringLiteral("Byte an empty EEPROM holds (hex, default FF)."),
         QStringLiteral("hex")},
        {QStringLiteral("silent"), QStringLiteral("Answer nothing at all.")},
        {QStringLiteral("ack-only"),
         QStringLiteral("Answer reads with 10 01 11 too (port A not taking commands).")},
        {QStringLiteral("wrong-address"),
         QStringLiteral("Answer reads with a well-formed reply for another address.")},
        {QStringLiteral("line-rate"),
         QStringLiteral("Pace the line at this baud rate, 11 bits a byte (default: no pacing)."),
         QStringLiteral("baud")},
        {QStringLiteral("write-delay"),
         QStringLiteral("EEPROM write time before a write is acknowledged."),
         QStringLiteral("ms")},
        {QStringLiteral("corrupt"), QStringLiteral("Store every nth written byte wrongly."),
         QStringLiteral("n")},
        {QStringLiteral("garbage"), QStringLiteral("Send these bytes before every answer."),
         QStringLiteral("hex")},
        {QStringLiteral("split"), QStringLiteral("Write answers in pieces of n bytes."),
         QStringLiteral("n")},
        {QStringLiteral("split-gap"), QStringLiteral("Pause between pieces (default 2 ms)."),
         QStringLiteral("ms")},
        {QStringLiteral("delay"), QStringLiteral("Wait before every answer."),
         QStringLiteral("ms")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "zeltra-emu: unexpected argument %s\n",
                     qPrintable(parser.positionalArguments().first()));
        return 2;
    }
    ShellOptions options;
    if (!readOptions(parser, options))
        return 2;
    return zeltra::emu::EmuShell(options).run();
}
