// The text settings file: a file the program does not change comes back byte for byte, and
// a value it sets reads back after a rewrite.
#include "FuzzCheck.h"

#include "kit/IniFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeltra.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    IniFile ini(path);
    if (ini.load() != IniFile::Load::Loaded)
        return 0;
    FUZZ_CHECK(ini.bytes() == bytes);
    const QStringList pieces = QString::fromLatin1(bytes.left(40)).split(QLatin1Char('\n'));
    const QString section = pieces.value(0).trimmed();
    const QString key = pieces.value(1).trimmed();
    // Names as the program writes them ("<FORM>main_FLeft", "USER\\<FACTORY DEFAULT>").
    static const QRegularExpression programName(QStringLiteral("^[A-Za-z0-9<>_\\\\ .]+$"));
    if (!programName.match(section).hasMatch() || !programName.match(key).hasMatch())
        return 0;
    if (!ini.setValue(section, key, QStringLiteral("v\u00e9")))
        return 0;
    FUZZ_CHECK(ini.save());
    IniFile again(path);
    FUZZ_CHECK(again.load() == IniFile::Load::Loaded);
    FUZZ_CHECK(again.value(section, key) == QStringLiteral("v\u00e9"));
    return 0;
}
