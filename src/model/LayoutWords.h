#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The words a layout is told in, shared by `zeltra-cli show`, the layout document and its
// differences, so that each byte is named the same way everywhere.
namespace zeltra::words {

// A key's function name in the table of `listKind`: empty for code 0, "(none)" for a code the
// table does not have.
QString functionName(int listKind, int code);

// Loop details: byte 8 and the two nibbles of byte 9, as the loop details dialog lists them.
QStringList loopMachines();        // "A", "B", "A & B"
QStringList loopEndActions();      // "Pause", "Stop", "Locate", "Locate and Play"
QString loopDestination(int loop); // 0 -> "Loop 1"

// The list item at `index`, or the number as digits when the list has no such item.
QString choice(const QStringList& items, int index);
// The reverse: an item's text (any case) or digits 0..maximum.
std::optional<int> choiceIndex(const QStringList& items, const QString& text, int maximum);

// The output key of trim `index` (code 80 + index), or "Out N" when no function has the code.
QString trimOutput(int index);
// An output trim step in dB, or "out of range" above the trim's maximum.
QString trimLevel(int step);

// A timecode as "HH:MM:SS:FF" when every nibble is a digit, as four hex pairs otherwise.
QString timecodeWords(const std::uint8_t* bcd4);

// Text from a file or a file name, safe to print or show: every character that is not
// printable (a control character such as ESC or TAB) becomes '.'.
QString printable(const QString& text);

// Bytes as upper-case hex pairs separated by blanks.
QString hexPairs(const std::uint8_t* bytes, std::size_t count);

} // namespace zeltra::words
