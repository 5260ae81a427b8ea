#include "model/LayoutModel.h"

#include <QDir>

namespace zeltra {

void LayoutModel::initDefaults(const QString& programDir)
{
    ProgramDir = programDir;
    Settings = SettingsRecord{};
    Settings.setLastDir(programDir);
    Settings.setComPort(1);
    McnImage = defaultMachineImage();
    MonImage = defaultMonitorImage();
    LayoutChanged = false;
}

QString LayoutModel::dialogFolder() const {
    const QString last = Settings.lastDir();
    if (installedCopy() && (last.isEmpty() || last == ProgramDir))
        return QDir::homePath() + QLatin1Char('/');
    return last;
}

void LayoutModel::storeKeyCodes(const std::array<std::uint8_t, KeyCount>& codes)
{
    auto store = [&](auto& image) {
        for (int i = 0; i < KeyCount; ++i)
            image.setKeyCode(i, codes[std::size_t(i)]);
        image.setKbdType(KbdType());
    };
    if (KbdType() == KbdMachine)
        store(McnImage);
    else if (KbdType() == KbdMonitor)
        store(MonImage);
}

std::optional<std::array<std::uint8_t, KeyCount>> LayoutModel::keyCodes() const
{
    auto read = [](const auto& image) {
        std::array<std::uint8_t, KeyCount> codes{};
        for (int i = 0; i < KeyCount; ++i)
            codes[std::size_t(i)] = image.keyCode(i);
        return codes;
    };
    if (KbdType() == KbdMachine)
        return read(McnImage);
    if (KbdType() == KbdMonitor)
        return read(MonImage);
    return std::nullopt;
}

} // namespace zeltra
