#pragma once
#include "model/Images.h"
#include "model/Timecode.h"

// One loop entry as the loop details dialog shows it (the fields of records::Loop): In and
// Out timecodes, the machine, the end action and the loop it goes on to.
namespace zeltra::tables {

constexpr int MachineItems = 3;   // "A", "B", "A & B"
constexpr int EndActionItems = 4; // "Pause", "Stop", "Locate", "Locate and Play"
constexpr int EndDestItems = 16;  // "Loop 1".."Loop 16"

struct LoopDetails {
    timecode::Bcd start{};
    timecode::Bcd end{};
    int machine = 0;   // byte 8 as stored; may lie beyond the list (the loop grid's clip)
    int endAction = 0; // byte 9 AND 15
    int endDest = 0;   // byte 9 shr 4
};

LoopDetails loopDetails(const MachineImage& image, int k);

// Stores a loop entry. A list index of -1 (the list had no item for the stored value and the
// user chose none) keeps the stored value, so bytes 8 and 9 that the loop grid wrote as a clip
// number survive a visit to the dialog.
void storeLoopDetails(MachineImage& image, int k, const LoopDetails& details);

// The list index that shows a stored value, or -1 when the list has no such item.
int listIndex(int value, int items);

} // namespace zeltra::tables
