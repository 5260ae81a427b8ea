#include "HelpText.h"

namespace zeltra::cli {

QString helpText()
{
    return QStringLiteral(
        "Usage: zeltra-cli COMMAND [FILE] [OPTIONS]\n"
        "\n"
        "Downloads, uploads, verifies, shows, exports, imports, compares and prints\n"
        "Zeltra keyboard layouts without a window.\n"
        "\n"
        "Commands:\n"
        "  ports [--json]                 list the COM numbers with their devices\n"
        "  download FILE --port PORT... [--block NAME] [--verify] [--fast] [--json]\n"
        "                                 write the layout FILE into the keyboard\n"
        "  upload FILE --port PORT --kind machine|monitor [--block NAME] [--fast]\n"
        "         [--exact] [--json]      read the keyboard into FILE (an existing FILE of\n"
        "                                 that kind keeps the bytes that are not read back)\n"
        "  verify FILE --port PORT... [--block NAME] [--json]\n"
        "                                 compare the keyboard with FILE, byte by byte of\n"
        "                                 what a download writes\n"
        "  show FILE                      print the layout in words\n"
        "  export FILE [OUT.json]         write the layout as a JSON document (to stdout\n"
        "                                 without OUT.json); every byte has its place\n"
        "  import IN.json FILE            make the layout FILE from a document; a document\n"
        "                                 that is not valid writes nothing and names the\n"
        "                                 place: \"keys[4].code: 300 is not a byte\"\n"
        "  diff A B [--json]              print the differences of two layouts in words,\n"
        "                                 one a line; A and B are .bin or .json files\n"
        "  print FILE OUT.pdf [--page A4|Letter]\n"
        "                                 lay the layout out on paper as a PDF: the keys\n"
        "                                 in their colours, then its tables in words\n"
        "\n"
        "Options:\n"
        "  --port PORT   a COM number (7 or COM7; ZELTRA_COM7=/path points COM7 anywhere)\n"
        "                or a device path such as /dev/ttyUSB0. download and verify take\n"
        "                --port up to 16 times and work on every keyboard at once: a\n"
        "                progress line each, then a line per port, and the highest exit\n"
        "                code of them; a port that fails does not hold up the others\n"
        "  --block NAME  one block of the list, by name or number: Keyboard, \"Unit Config\",\n"
        "                \"Port A Config\", \"Port B Config\", Locates, Loops, \"GPO TC\",\n"
        "                \"Zq Macros\" (machine); Keyboard, \"Unit Config\", \"Format Assign\",\n"
        "                \"Monitor Formats\", \"Dim + Other\" (monitor). Without it: all blocks\n"
        "  --verify      after the download, read the blocks back and compare\n"
        "  --fast        send each frame as soon as the previous one is answered\n"
        "  --exact       upload: keep every byte as read, also cue and GPO times that are\n"
        "                not timecode digits, so that the backup verifies. Without it such\n"
        "                bytes are left out and named, and the exit code is 6\n"
        "  --kind        the kind of keyboard being read: machine or monitor\n"
        "  --json        ports, download, upload, verify, diff: print the result as one\n"
        "                JSON document on stdout (fields: see zeltra-cli(1)); the exit\n"
        "                code is the same\n"
        "  --page        print: the paper size, A4 (the default) or Letter\n"
        "  -h, --help    this text\n"
        "\n"
        "Progress goes to stderr: a bar on a terminal, plain lines otherwise.\n"
        "\n"
        "Exit codes:\n"
        "  0  done\n"
        "  1  usage: the command line is wrong\n"
        "  2  file: FILE cannot be read or written, or is not a layout; import: the\n"
        "     document is not valid; diff: the layouts are of different kinds\n"
        "  3  port: the port does not open, is held by another program, or went away\n"
        "  4  no answer: the keyboard did not answer within 1 s, answered only for\n"
        "     another address, or its port A is not taking commands\n"
        "  5  verify mismatch: the keyboard holds other bytes than FILE; diff: the\n"
        "     layouts differ\n"
        "  6  backup incomplete: upload wrote FILE without bytes it could not place\n"
        "     (times that are not timecode digits); FILE will not verify\n");
}

QString usageHint()
{
    return QStringLiteral("try 'zeltra-cli --help'");
}

} // namespace zeltra::cli
