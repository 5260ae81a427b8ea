#pragma once
#include "model/Images.h"
#include "model/SettingsRecord.h"

#include <QString>
#include <optional>

namespace zeltra {

// The program-wide layout state: both images, the settings record and the editing flags.
// One is made at start-up and handed to every window by reference.
struct LayoutModel {
    MachineImage McnImage;
    MonitorImage MonImage;
    SettingsRecord Settings;
    bool LayoutChanged = false;
    bool TopRowKey = false;
    bool ShiftEdit = false;
    int JogOriginX = 0;
    long double JogAngle = 0;
    QString ProgramDir; // folder of the program file, with a trailing separator
    QString SettingsDir; // folder of the settings files; empty: ProgramDir
    const QString& settingsFolder() const { return SettingsDir.isEmpty() ? ProgramDir : SettingsDir; }
    // An installed copy keeps its settings away from its folder, which is not the user's.
    bool installedCopy() const { return settingsFolder() != ProgramDir; }
    // Where the file dialogs start: LastDir, or the user's home folder while an installed
    // copy's LastDir is still its program folder.
    QString dialogFolder() const;

    // The working keyboard kind is the one in the settings record.
    std::int32_t KbdType() const { return Settings.kbdType(); }
    void setKbdType(std::int32_t t) { Settings.setKbdType(t); }

    // Start-up state: LastDir = ProgramDir, ComPort = 1, both images at their defaults.
    void initDefaults(const QString& programDir);

    // Copies key codes into the image of the current kind, with the kind in its first four
    // bytes; a kind without an image changes nothing.
    void storeKeyCodes(const std::array<std::uint8_t, KeyCount>& codes);
    // Key codes of the current kind's image; nothing for a kind without an image.
    std::optional<std::array<std::uint8_t, KeyCount>> keyCodes() const;
};

} // namespace zeltra
