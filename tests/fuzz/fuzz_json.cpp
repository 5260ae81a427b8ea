// The document import: any text is refused with one line or gives an image, and that image
// exported and imported again is the same image. The strict scan passes a document only when
// Qt's reader kept every member of it (no key given twice was dropped).
#include "FuzzCheck.h"

#include "model/DocumentScan.h"
#include "model/LayoutDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace zeltra;

static qsizetype membersIn(const QJsonValue& v)
{
    qsizetype n = 0;
    const QJsonObject object = v.toObject(); // empty unless v is one; so is the array
    for (auto it = object.begin(); it != object.end(); ++it)
        n += 1 + membersIn(it.value());
    for (const QJsonValue& e : v.toArray())
        n += membersIn(e);
    return n;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    qsizetype members = -1;
    if (error.error == QJsonParseError::NoError &&
        layoutdoc::strictFault(text, &members).isEmpty())
        FUZZ_CHECK(members ==
                   membersIn(doc.isObject() ? QJsonValue(doc.object()) : QJsonValue(doc.array())));
    const layoutdoc::Imported in = layoutdoc::importDocument(text);
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
