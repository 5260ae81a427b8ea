// The layout loader: any file's leading bytes over the model, then the image as a document
// and back, which must give the same bytes.
#include "FuzzCheck.h"

#include "model/KeyFaces.h"
#include "model/LayoutDocument.h"
#include "model/LayoutFiles.h"

using namespace zeltra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    LayoutData model;
    model.initDefaults(QStringLiteral("/nowhere/"));
    layoutfiles::LayoutRead read;
    read.kind = layoutfiles::kindFromFirstByte(data[0]);
    read.head = QByteArray(reinterpret_cast<const char*>(data), qsizetype(std::min(size, mcn::Size)));
    layoutfiles::applyLayout(model, read);
    model.setKbdType(read.kind);
    const QByteArray image = layoutfiles::currentImage(model);
    if (image.isEmpty())
        return 0;
    FUZZ_CHECK(layoutdoc::imageKind(image) == read.kind);
    const layoutdoc::Imported back = layoutdoc::importDocument(layoutdoc::documentText(layoutdoc::exportImage(image)));
    FUZZ_CHECK(back.ok() && back.image == image);
    return 0;
}
