#include "model/LayoutData.h"

namespace zeltra {

void LayoutData::initDefaults(const QString& lastDir)
{
    Settings = SettingsRecord{};
    Settings.setLastDir(lastDir);
    Settings.setComPort(1);
    McnImage = defaultMachineImage();
    MonImage = defaultMonitorImage();
}

std::span<std::uint8_t> LayoutData::image(std::int32_t kind)
{
    if (kind == KbdMachine)
        return McnImage.bytes;
    if (kind == KbdMonitor)
        return MonImage.bytes;
    return {};
}

std::span<const std::uint8_t> LayoutData::image(std::int32_t kind) const
{
    if (kind == KbdMachine)
        return McnImage.bytes;
    if (kind == KbdMonitor)
        return MonImage.bytes;
    return {};
}

} // namespace zeltra
