// The document import: any text is refused with one line or gives an image, and that image
// exported and imported again is the same image.
#include "FuzzCheck.h"

#include "model/LayoutDocument.h"

using namespace zeltra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const layoutdoc::Imported in =
        layoutdoc::importDocument(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!in.ok()) {
        FUZZ_CHECK(in.image.isEmpty() && !in.error.contains(QLatin1Char('\n')));
        return 0;
    }
    FUZZ_CHECK(layoutdoc::imageKind(in.image) >= 0);
    const layoutdoc::Imported again =
        layoutdoc::importDocument(layoutdoc::documentText(layoutdoc::exportImage(in.image)));
    FUZZ_CHECK(again.ok() && again.image == in.image);
    return 0;
}
