// The settings record file: any bytes read as the record; what it names is stored back
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
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    SettingsRecord record;
    if (layoutfiles::readSettingsRecord(path, record) != layoutfiles::RecordRead::Loaded)
        return 0;
    FUZZ_CHECK(std::equal(record.bytes.begin(), record.bytes.end(), data));
    SettingsRecord copy = record;
    if (copy.setLastDir(record.lastDir()))
        FUZZ_CHECK(copy.lastDir() == record.lastDir());
    if (copy.setLastFile(record.lastFile()))
        FUZZ_CHECK(copy.lastFile() == record.lastFile());
    FUZZ_CHECK(layoutfiles::writeSettingsRecord(path, record).isEmpty());
    SettingsRecord again;
    FUZZ_CHECK(layoutfiles::readSettingsRecord(path, again) == layoutfiles::RecordRead::Loaded);
    FUZZ_CHECK(again == record);
    return 0;
}
