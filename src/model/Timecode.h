#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <span>

// Timecodes as the layout stores them (four packed-BCD bytes: hours, minutes, seconds,
// frames, tens digit in the high nibble) and as the windows show them ("HH:MM:SS:FF").
namespace zeltra::timecode {

using Bcd = std::array<std::uint8_t, 4>;
constexpr int TextLength = 11;

// Each byte as two characters, high nibble first: 01 02 03 04 -> "01:02:03:04". Nibbles are
// shown as they are stored ('0' + nibble), so a stored nibble above 9 stays visible.
QString toText(std::span<const std::uint8_t, 4> bcd);

// The digit pairs at characters 1-2, 4-5, 7-8 and 10-11 back into bytes. Only a digit counts
// as its value; anything else there (a blank, an unfilled "_" of an edit mask, a missing
// character of a short text) is 0, so a stored nibble is never above 9. Ranges are not
// checked: "00:99:00:00" stores 99 minutes.
Bcd fromText(const QString& text);

} // namespace zeltra::timecode
