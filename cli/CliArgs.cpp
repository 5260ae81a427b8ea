#include "CliArgs.h"

#include "link/BlockTables.h"
#include "link/ComPorts.h"
#include "model/Images.h"

#include <QHash>

namespace zeltra::cli {
namespace {

struct CommandWord {
    const char* word;
    Command command;
};
constexpr CommandWord Commands[] = {{"ports", Command::Ports},   {"download", Command::Download},
                                    {"upload", Command::Upload}, {"verify", Command::Verify},
                                    {"show", Command::Show},     {"help", Command::Help},
                                    {"export", Command::Export}, {"import", Command::Import},
                                    {"diff", Command::Diff},     {"print", Command::Print}};

// How many file names a command takes, and what it calls them in a message.
struct FileWords {
    Command command;
    int least;
    int most;
    const char* needs;
};
constexpr FileWords FileCounts[] = {
    {Command::Download, 1, 1, "a FILE"},   {Command::Upload, 1, 1, "a FILE"},
    {Command::Verify, 1, 1, "a FILE"},     {Command::Show, 1, 1, "a FILE"},
    {Command::Export, 1, 2, "a LAYOUT"},   {Command::Import, 2, 2, "IN.json and LAYOUT"},
    {Command::Diff, 2, 2, "two files"},    {Command::Print, 2, 2, "LAYOUT and OUT.pdf"}};

FileWords fileWords(Command command)
{
    for (const auto& f : FileCounts)
        if (f.command == command)
            return f;
    return {command, 0, 0, ""};
}

// Options with a value, and the commands that take each of them.
struct ValueOption {
    const char* name;
    QList<Command> commands;
};
const ValueOption ValueOptions[] = {
    {"--port", {Command::Download, Command::Upload, Command::Verify}},
    {"--block", {Command::Download, Command::Upload, Command::Verify}},
    {"--kind", {Command::Upload}},
    {"--page", {Command::Print}},
};
const ValueOption Flags[] = {
    {"--verify", {Command::Download}},
    {"--fast", {Command::Download, Command::Upload}},
    {"--exact", {Command::Upload}},
    {"--json", {Command::Ports, Command::Download, Command::Upload, Command::Verify, Command::Diff}},
};
// Options with a value that may be left out.
const char* const OptionalValues[] = {"--block", "--page"};

bool isOptional(const char* name)
{
    for (const char* o : OptionalValues)
        if (QLatin1String(o) == QLatin1String(name))
            return true;
    return false;
}

QString quoted(const QString& word)
{
    return QLatin1Char('"') + word + QLatin1Char('"');
}

std::optional<Command> commandOf(const QString& word)
{
    for (const auto& c : Commands)
        if (word == QLatin1String(c.word))
            return c.command;
    return std::nullopt;
}

const char* commandWord(Command command)
{
    for (const auto& c : Commands)
        if (c.command == command)
            return c.word;
    return "";
}

template <std::size_t N>
const ValueOption* findOption(const ValueOption (&table)[N], const QString& name)
{
    for (const auto& o : table)
        if (name == QLatin1String(o.name))
            return &o;
    return nullptr;
}

struct Reader {
    Options o;
    QHash<QString, QString> values;
    QStringList positional;
    QString error;

    bool fail(const QString& text)
    {
        error = text;
        return false;
    }

    bool option(const QStringList& args, qsizetype& i)
    {
        QString name = args[i];
        std::optional<QString> value;
        if (const auto eq = name.indexOf(QLatin1Char('=')); eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        const ValueOption* withValue = findOption(ValueOptions, name);
        const ValueOption* flag = findOption(Flags, name);
        if (!withValue && !flag)
            return fail(QStringLiteral("unknown option %1").arg(name));
        const auto& takers = withValue ? withValue->commands : flag->commands;
        if (!takers.contains(o.command))
            return fail(QStringLiteral("%1 does not take %2")
                            .arg(QLatin1String(commandWord(o.command)), name));
        const bool many = name == QLatin1String("--port") && o.command != Command::Upload;
        if (values.contains(name) && !many)
            return fail(QStringLiteral("%1 given twice").arg(name));
        if (flag) {
            if (value)
                return fail(QStringLiteral("%1 takes no value").arg(name));
            values.insert(name, {});
            return true;
        }
        if (!value) {
            if (i + 1 >= args.size() || args[i + 1].startsWith(QLatin1String("--")))
                return fail(QStringLiteral("%1 needs a value").arg(name));
            value = args[++i];
        }
        if (value->isEmpty())
            return fail(QStringLiteral("%1 needs a value").arg(name));
        if (many && o.ports.size() >= MaxPorts)
            return fail(QStringLiteral("at most %1 --port").arg(MaxPorts));
        if (many && o.ports.contains(*value))
            return fail(QStringLiteral("--port %1 given twice").arg(quoted(*value)));
        if (name == QLatin1String("--port"))
            o.ports << *value;
        values.insert(name, *value);
        return true;
    }

    bool finish()
    {
        const FileWords files = fileWords(o.command);
        if (positional.size() < files.least)
            return fail(QStringLiteral("%1 needs %2")
                            .arg(QLatin1String(commandWord(o.command)), QLatin1String(files.needs)));
        if (positional.size() > files.most)
            return fail(QStringLiteral("unexpected word %1").arg(quoted(positional.last())));
        o.file = positional.value(0);
        o.second = positional.value(1);
        for (const auto& opt : ValueOptions)
            if (opt.commands.contains(o.command) && !isOptional(opt.name) &&
                !values.contains(QLatin1String(opt.name)))
                return fail(QStringLiteral("%1 needs %2")
                                .arg(QLatin1String(commandWord(o.command)), QLatin1String(opt.name)));
        o.block = values.value(QStringLiteral("--block"));
        o.verify = values.contains(QStringLiteral("--verify"));
        o.fast = values.contains(QStringLiteral("--fast"));
        o.exact = values.contains(QStringLiteral("--exact"));
        o.json = values.contains(QStringLiteral("--json"));
        if (values.contains(QStringLiteral("--page"))) {
            const QString page = values.value(QStringLiteral("--page"));
            if (page.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
                o.page = QStringLiteral("A4");
            else if (page.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
                o.page = QStringLiteral("Letter");
            else
                return fail(QStringLiteral("--page takes A4 or Letter, not %1").arg(quoted(page)));
        }
        if (values.contains(QStringLiteral("--kind"))) {
            const QString kind = values.value(QStringLiteral("--kind"));
            if (kind == QLatin1String("machine"))
                o.kind = KbdMachine;
            else if (kind == QLatin1String("monitor"))
                o.kind = KbdMonitor;
            else
                return fail(QStringLiteral("--kind takes machine or monitor, not %1").arg(quoted(kind)));
        }
        return true;
    }
};

} // namespace

Parsed parseArguments(const QStringList& args)
{
    for (const QString& a : args)
        if (a.size() > MaxWordLength)
            return {std::nullopt, QStringLiteral("a word of the command line is too long")};
    for (const QString& a : args) {
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return {Options{}, {}};
    }
    if (args.isEmpty())
        return {std::nullopt, QStringLiteral("no command given")};
    const auto command = commandOf(args.first());
    if (!command)
        return {std::nullopt, QStringLiteral("unknown command %1").arg(quoted(args.first()))};

    Reader r;
    r.o.command = *command;
    bool optionsEnded = false; // after "--" every word is a file name
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (optionsEnded) {
            r.positional << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            if (!r.option(args, i))
                return {std::nullopt, r.error};
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return {std::nullopt, QStringLiteral("unknown option %1").arg(a)};
        } else {
            r.positional << a;
        }
    }
    if (!r.finish())
        return {std::nullopt, r.error};
    return {r.o, {}};
}

bool wantsJson(const QStringList& args)
{
    for (const QString& a : args) {
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("--json"))
            return true;
    }
    return false;
}

PortChoice resolvePort(const QString& word, const QProcessEnvironment& env, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return PortChoice{};
    };
    if (link::hasScheme(word)) {
        const auto parsed = link::parseNetworkAddress(word);
        if (!parsed.address)
            return fail(QStringLiteral("--port %1: %2").arg(quoted(word), parsed.error));
        return {*parsed.address, {}, parsed.address->text(), parsed.address->text()};
    }
    if (word.contains(QLatin1Char('/')))
        return {link::PortAddress::device(word), word, word, word};
    int number = 0;
    bool ok = false;
    if (word.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        number = link::portNumberFromText(word.toUpper());
    else
        number = word.toInt(&ok, 10);
    if (word.size() > 6 || number <= 0 || number > link::MaxComNumber)
        return fail(QStringLiteral("--port takes a COM number 1..%1, a device path or a network "
                                   "port (rfc2217://HOST:PORT, tcp://HOST:PORT), not %2")
                        .arg(link::MaxComNumber)
                        .arg(quoted(word)));
    const QString path = link::comDevicePath(number, env);
    if (path.isEmpty())
        return fail(QStringLiteral("COM%1 names no device").arg(number));
    return {link::PortAddress::device(path), path, QStringLiteral("COM%1 (%2)").arg(number).arg(path),
            QStringLiteral("COM%1").arg(number)};
}

std::optional<int> blockIndex(std::int32_t kind, const QString& name)
{
    const auto items = link::blockListItems(kind);
    if (!items)
        return std::nullopt;
    if (name.isEmpty())
        return 0;
    bool isNumber = false;
    const int n = name.toInt(&isNumber, 10);
    if (isNumber)
        return (n >= 1 && n < items->size()) ? std::optional<int>(n) : std::nullopt;
    for (int i = 0; i < items->size(); ++i)
        if (items->at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return std::nullopt;
}

} // namespace zeltra::cli
