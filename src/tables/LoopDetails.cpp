#include "tables/LoopDetails.h"

#include <algorithm>

namespace zeltra::tables {

namespace {
constexpr std::size_t OutAt = 4;
constexpr std::size_t MachineAt = 8;
constexpr std::size_t EndAt = 9;
} // namespace

LoopDetails loopDetails(const MachineImage& image, int k) {
    const std::size_t at = image.loopOffset(k);
    LoopDetails d;
    std::copy_n(image.bytes.begin() + std::ptrdiff_t(at), 4, d.start.begin());
    std::copy_n(image.bytes.begin() + std::ptrdiff_t(at + OutAt), 4, d.end.begin());
    d.machine = image.bytes[at + MachineAt];
    d.endAction = image.bytes[at + EndAt] & 15;
    d.endDest = image.bytes[at + EndAt] >> 4;
    return d;
}

void storeLoopDetails(MachineImage& image, int k, const LoopDetails& d) {
    const std::size_t at = image.loopOffset(k);
    std::copy(d.start.begin(), d.start.end(), image.bytes.begin() + std::ptrdiff_t(at));
    std::copy(d.end.begin(), d.end.end(), image.bytes.begin() + std::ptrdiff_t(at + OutAt));
    if (d.machine >= 0)
        image.bytes[at + MachineAt] = std::uint8_t(d.machine);
    std::uint8_t end = image.bytes[at + EndAt];
    if (d.endAction >= 0)
        end = std::uint8_t((end & 0xF0) | (d.endAction & 15));
    if (d.endDest >= 0)
        end = std::uint8_t((end & 0x0F) | ((d.endDest & 15) << 4));
    image.bytes[at + EndAt] = end;
}

int listIndex(int value, int items) {
    return (value >= 0 && value < items) ? value : -1;
}

} // namespace zeltra::tables
