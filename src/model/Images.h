#pragma once
#include "model/Bytes.h"

#include <QString>
#include <array>
#include <cstdint>

// The two layout images. Each is exactly the bytes of a layout file and the source of the
// keyboard's EEPROM blocks, unused bytes included.
namespace zeltra {

enum KbdKind : std::int32_t { KbdMachine = 0, KbdMonitor = 1, KbdFuture = 2 };
constexpr int KeyCount = 22;

namespace mcn {
constexpr std::size_t Size = 484;
constexpr std::size_t KbdType = 0;
constexpr std::size_t KeyCodes = 4;
constexpr std::size_t UnitConfig = 26;
constexpr std::size_t PortAConfig = 42;
constexpr std::size_t PortBConfig = 58;
constexpr std::size_t Cues = 74;
constexpr std::size_t CueSize = 6;
constexpr int CueCount = 32;
constexpr std::size_t Loops = 266;
constexpr std::size_t LoopSize = 10;
constexpr int LoopCount = 16;
constexpr std::size_t Gpos = 426;
constexpr std::size_t GpoSize = 4;
constexpr int GpoCount = 12;
constexpr std::size_t MacroTable = 474;
constexpr int MacroCount = 8;
} // namespace mcn

namespace mon {
constexpr std::size_t Size = 364;
constexpr std::size_t KbdType = 0;
constexpr std::size_t KeyCodes = 4;
constexpr std::size_t UnitConfig = 26;
constexpr std::size_t FormatAssign = 42;
constexpr int FormatSlots = 16;
constexpr std::size_t FormatTable = 58;
constexpr std::size_t FormatSize = 17;
constexpr int FormatCount = 16;
constexpr std::size_t FormatNameLen = 8;
constexpr std::size_t OutputTrim = 330;
constexpr int OutputTrims = 16;
constexpr std::size_t PecDirData = 346;
} // namespace mon

template <std::size_t N> struct ImageBytes {
    static constexpr std::size_t Size = N;
    std::array<std::uint8_t, N> bytes{};

    std::int32_t kbdType() const { return bytes::readLE32(bytes, 0); }
    void setKbdType(std::int32_t t) { bytes::writeLE32(bytes, 0, t); }
    std::uint8_t keyCode(int key) const { return bytes.at(4 + std::size_t(key)); }
    void setKeyCode(int key, std::uint8_t code) { bytes.at(4 + std::size_t(key)) = code; }
    bool operator==(const ImageBytes&) const = default;
};

struct MachineImage : ImageBytes<mcn::Size> {
    std::size_t cueOffset(int k) const { return mcn::Cues + mcn::CueSize * std::size_t(k); }
    std::size_t loopOffset(int k) const { return mcn::Loops + mcn::LoopSize * std::size_t(k); }
    std::size_t gpoOffset(int k) const { return mcn::Gpos + mcn::GpoSize * std::size_t(k); }
};

struct MonitorImage : ImageBytes<mon::Size> {
    static std::size_t formatOffset(int r) { return mon::FormatTable + mon::FormatSize * std::size_t(r); }
    // Name of format record r (0..15); a length byte above 8 is read as 8.
    QString formatName(int r) const;
    void setFormatName(int r, const QByteArray& name8);
    std::uint8_t formatAssign(int slot) const { return bytes.at(mon::FormatAssign + std::size_t(slot)); }
};

// Start-up contents: cues 0..3 at 01:01:01:01, everything else zero.
MachineImage defaultMachineImage();
// Start-up contents: the sixteen default format records, FormatAssign[j] = j.
MonitorImage defaultMonitorImage();

} // namespace zeltra
