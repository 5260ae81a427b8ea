// The settings record file: any bytes read as the record; the paths it names are stored back
// unchanged or refused, never cut.
#include "FuzzCheck.h"

#include "model/LayoutFiles.h"

#include <QFile>
#include <QTemporaryDir>

using namespace zeltra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rs422kbd.ini"));
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    f.close();
    SettingsRecord record;
    if (layoutfiles::readSettingsRecord(path, record) != layoutfiles::RecordRead::Loaded)
        return 0;
    FUZZ_CHECK(std::equal(record.bytes.begin(), record.bytes.end(), data));
    SettingsRecord copy = record;
    FUZZ_CHECK(!copy.setLastDir(record.lastDir()) || copy.lastDir() == record.lastDir());
    FUZZ_CHECK(!copy.setLastFile(record.lastFile()) || copy.lastFile() == record.lastFile());
    return 0;
}
