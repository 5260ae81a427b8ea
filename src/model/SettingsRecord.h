#pragma once
#include "model/Bytes.h"

#include <QString>
#include <array>
#include <cstdint>

namespace zeltra {

// The program's own small state, kept byte for byte in its settings record file.
struct SettingsRecord {
    static constexpr std::size_t Size = 524;
    static constexpr std::size_t LastDirAt = 0;
    static constexpr std::size_t LastFileAt = 256;
    static constexpr std::size_t StringCapacity = 255;
    static constexpr std::size_t KbdTypeAt = 512;
    static constexpr std::size_t ComPortAt = 516;
    static constexpr std::size_t ShowClipAt = 520;

    std::array<std::uint8_t, Size> bytes{};

    // Paths are kept as the file system's own bytes, so any folder name round-trips.
    QString lastDir() const;
    QString lastFile() const;
    // False, and nothing stored, when the path needs more than 255 bytes (a cut path would
    // name another file) or holds text Qt made up for bytes that are not UTF-8.
    bool setLastDir(const QString& path);
    bool setLastFile(const QString& path);

    std::int32_t kbdType() const { return bytes::readLE32(bytes, KbdTypeAt); }
    void setKbdType(std::int32_t v) { bytes::writeLE32(bytes, KbdTypeAt, v); }
    std::int32_t comPort() const { return bytes::readLE32(bytes, ComPortAt); }
    void setComPort(std::int32_t v) { bytes::writeLE32(bytes, ComPortAt, v); }
    bool showClip() const { return bytes[ShowClipAt] != 0; }
    void setShowClip(bool v) { bytes[ShowClipAt] = v ? 1 : 0; }

    static bool fitsString(const QString& path);
    bool operator==(const SettingsRecord&) const = default;
};

} // namespace zeltra
