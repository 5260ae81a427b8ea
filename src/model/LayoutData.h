#pragma once
#include "model/Images.h"
#include "model/SettingsRecord.h"

#include <QByteArray>
#include <QString>

namespace zeltra {

// The layout's bytes as a plain value: both images and the settings record, whose kind is
// the working keyboard kind. The observable model (LayoutModel) holds one; a transfer and the
// command line work on copies of their own.
struct LayoutData {
    MachineImage McnImage;
    MonitorImage MonImage;
    SettingsRecord Settings;

    std::int32_t KbdType() const { return Settings.kbdType(); }
    void setKbdType(std::int32_t t) { Settings.setKbdType(t); }

    // Start-up state: LastDir = `lastDir`, ComPort = 1, both images at their defaults.
    void initDefaults(const QString& lastDir);

    // The bytes of the image of `kind`; empty for a kind without an image.
    std::span<std::uint8_t> image(std::int32_t kind);
    std::span<const std::uint8_t> image(std::int32_t kind) const;
};

} // namespace zeltra
