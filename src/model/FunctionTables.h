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

// Function codes with a meaning of their own beyond their table row: the keys whose Shift +
// click edits something, the format-memory and output keys, and the two functions top-row keys
// never get. Every part of the program names them from here.
namespace codes {
// Machine control
constexpr int Locate1 = 71;     // "Locate1" and "Locate2": not for top-row keys
constexpr int Locate2 = 76;
constexpr int FirstCue = 160;   // "Loc-1".."Loc-8": cues 0..7
constexpr int FirstLoop = 168;  // "Loop-1".."Loop-8": loops 0..7
constexpr int FirstMacro = 248; // "Macro A".."Macro H": macros 0..7
constexpr int KeysPerRange = 8;
// Monitor control
constexpr int Dim = 2;
constexpr int Shift = 15;
constexpr int UserA = 48; // "User-A".."User-J" choose a format; 48..63 show format memories
constexpr int UserJ = 57;
constexpr int LastFormatMemory = 63;
constexpr int CalA = 65; // "Cal-A".."Cal-D": calibrated levels
constexpr int CalD = 68;
constexpr int FirstOutput = 80; // output keys: trim index = code AND 15
constexpr int LastOutput = 95;

// The entry a machine key of `first`'s range uses (0..7), or -1 outside the range.
constexpr int indexIn(int code, int first)
{
    return code >= first && code < first + KeysPerRange ? code - first : -1;
}
} // namespace codes

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
