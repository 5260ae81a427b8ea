#pragma once
// Two layouts with something in every table, for `show` and the transfers.
#include "model/Images.h"
#include "model/KeyLayout.h"

#include <QByteArray>

inline QByteArray knownMachineLayout()
{
    using namespace zeltra;
    MachineImage img = defaultMachineImage();
    for (int k = 0; k < KeyCount; ++k)
        img.setKeyCode(k, McnDefaultKeys[std::size_t(k)]);
    img.setKeyCode(0, 250);  // "Macro C", whose slot is empty
    img.setKeyCode(21, 248); // "Macro A"
    img.setKeyCode(2, 61);   // a code of three rows: the last one's name
    img.bytes[mcn::MacroTable] = 16;     // "Mark In"
    img.bytes[mcn::MacroTable + 7] = 99; // no such macro function
    for (int i = 0; i < 16; ++i)
        img.bytes[mcn::UnitConfig + std::size_t(i)] = std::uint8_t(0xA0 + i);
    const std::uint8_t cue[] = {0x10, 0x20, 0x30, 0x40, 0x02, 0x01};
    std::copy(std::begin(cue), std::end(cue), img.bytes.begin() + std::ptrdiff_t(img.cueOffset(4)));
    const std::uint8_t loop[] = {0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x10, 0x00, 0x01, 0x13};
    std::copy(std::begin(loop), std::end(loop), img.bytes.begin() + std::ptrdiff_t(img.loopOffset(1)));
    const std::uint8_t gpo[] = {0x23, 0x59, 0x59, 0x24};
    std::copy(std::begin(gpo), std::end(gpo), img.bytes.begin() + std::ptrdiff_t(img.gpoOffset(11)));
    return QByteArray(reinterpret_cast<const char*>(img.bytes.data()), qsizetype(img.bytes.size()));
}

inline QByteArray knownMonitorLayout()
{
    using namespace zeltra;
    MonitorImage img = defaultMonitorImage();
    img.setKbdType(KbdMonitor);
    for (int k = 0; k < KeyCount; ++k)
        img.setKeyCode(k, MonDefaultKeys[std::size_t(k)]);
    img.bytes[mon::FormatAssign] = 2;      // "User-A" recalls format 3
    img.bytes[mon::FormatAssign + 8] = 15; // shifted, format 16
    img.bytes[mon::FormatAssign + 1] = 40; // no such record
    img.setFormatName(3, QByteArray("Bad\x1b[2J", 7));
    img.bytes[mon::OutputTrim] = 10;       // "Left" +1.0dB
    img.bytes[mon::OutputTrim + 1] = 5;    // "Right" -1.5dB
    img.bytes[mon::OutputTrim + 15] = 200; // out of the trim's range
    return QByteArray(reinterpret_cast<const char*>(img.bytes.data()), qsizetype(img.bytes.size()));
}
