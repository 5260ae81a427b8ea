#pragma once
#include "model/Images.h"

#include <QString>
#include <cstdint>
#include <optional>

// Captions of the macro menu items and of the keys that fire macros A..H.
namespace zeltra::macros {

constexpr int FirstMacroKeyCode = 248; // "Macro A"

// Short name of the macro function with `code`, or the code in decimal when there is none.
QString macroname(std::uint8_t code);
// "MA:" + name for slot 0, "MB:" for slot 1, ...
QString itemCaption(int slot, std::uint8_t code);
// The caption a key with `keyCode` takes from the macro table, if any: only keys of codes
// 248..255 whose macro slot is set.
std::optional<QString> keyCaption(const MachineImage& img, int keyCode);

} // namespace zeltra::macros
