// What a long editing session's history costs: 1,000 steps, each a key given another function
// as a right click gives it, kept by the layout history the program uses. Prints the heap the
// history holds once they are made:
//   steps kib
// Usage: zeltra-history-bench [STEPS]
#include "history/LayoutHistory.h"
#include "model/LayoutModel.h"

#include <QCoreApplication>

#include <cstdio>
#include <malloc.h>

namespace {
std::size_t heapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int steps = argc > 1 ? std::atoi(argv[1]) : LayoutHistory::StepLimit;
    zeltra::LayoutModel model;
    model.initDefaults(QStringLiteral("/nowhere/"));
    LayoutHistory history(model);
    const std::size_t before = heapInUse();
    for (int i = 0; i < steps; ++i) {
        const int key = i % zeltra::KeyCount;
        const auto code = std::uint8_t(1 + i % 250);
        history.edit(QStringLiteral("key %1: function %2").arg(key + 1).arg(code), zeltra::KbdMachine,
                     [key, code](std::span<std::uint8_t> image) {
                         image[zeltra::mcn::KeyCodes + std::size_t(key)] = code;
                     });
    }
    const std::size_t after = heapInUse();
    std::printf("%d %zu\n", history.count(), (after - before + 1023) / 1024);
    return 0;
}
