// The text settings file: a file the program does not change comes back byte for byte.
#include "FuzzCheck.h"

#include "kit/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zeltra.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    f.close();
    IniFile ini(path);
    if (ini.load() == IniFile::Load::Loaded)
        FUZZ_CHECK(ini.bytes() == bytes);
    return 0;
}
