#include "editing/LoopDetails.h"

#include "model/Records.h"

namespace zeltra::tables {

LoopDetails loopDetails(const MachineImage& image, int k) {
    const auto loop = records::loop(image, k);
    return {loop.in(), loop.out(), loop.machine(), loop.endAction(), loop.endDestination()};
}

void storeLoopDetails(MachineImage& image, int k, const LoopDetails& d) {
    auto loop = records::loop(image, k);
    loop.setIn(d.start);
    loop.setOut(d.end);
    if (d.machine >= 0)
        loop.setMachine(d.machine);
    if (d.endAction >= 0)
        loop.setEndAction(d.endAction);
    if (d.endDest >= 0)
        loop.setEndDestination(d.endDest);
}

int listIndex(int value, int items) {
    return (value >= 0 && value < items) ? value : -1;
}

} // namespace zeltra::tables
