#pragma once
#include "model/Colours.h"

#include <cstdint>
#include <span>

namespace zeltra {

// One row of a function table: the code a key carries, its caption, one line of help and
// the colour its key is lit in.
struct FunctionEntry {
    std::uint16_t Code;
    const char* Name;
    const char* Description;
    zeltra::Colour Colour;
};

// Which table a list of functions shows.
enum ListKindValue : int { ListMachine = 0, ListMonitor = 1, ListMacro = 129 };

std::span<const FunctionEntry> McnFunctions();
std::span<const FunctionEntry> MonFunctions();
std::span<const FunctionEntry> MacroFunctions();

// The table for a list kind; any kind other than 1 and 129 gives the machine table.
std::span<const FunctionEntry> functionTable(int listKind);

// Row of `code` in the table: the last row with that code, or row 0 when none has it.
int findfunction(std::span<const FunctionEntry> table, int code);
int findfunction(int listKind, int code);

} // namespace zeltra
