#pragma once
#include "model/Images.h"

#include <QString>
#include <cstdint>
#include <optional>

// Captions of the macro menu items and of the keys that fire macros A..H.
namespace zeltra::macros {

// Short name of the macro function with `code`, or the code in decimal when there is none.
QString macroname(std::uint8_t code);
// "MA:" + name for slot 0, "MB:" for slot 1, ...
QString itemCaption(int slot, std::uint8_t code);
// The caption a key with `keyCode` takes from the macro table, if any: only keys of codes
// "Macro A".."Macro H" whose macro slot is set.
std::optional<QString> keyCaption(const MachineImage& img, int keyCode);

// The macro number typed into the entry dialog: a decimal number from 0 to 255, blanks
// around it allowed. Anything else (a larger number, a sign, letters, nothing) is refused, so
// that a typing slip never stores another macro than the one asked for.
std::optional<std::uint8_t> parseEntry(const QString& text);
// What the user is told when `text` is refused.
QString entryRefusal(const QString& text);

} // namespace zeltra::macros
