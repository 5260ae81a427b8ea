#include "LayoutFile.h"

#include "model/LayoutFiles.h"
#include "model/SafeFile.h"

#include <QFileInfo>

namespace zeltra::cli {
namespace {

std::size_t imageSize(std::int32_t kind)
{
    return kind == KbdMonitor ? mon::Size : mcn::Size;
}

const char* kindName(std::int32_t kind)
{
    return kind == KbdMonitor ? "monitor" : "machine";
}

// Qt cannot name a file whose name was not valid in the system's encoding.
QString badName(const QString& path)
{
    if (path.contains(QChar::ReplacementCharacter))
        return QStringLiteral("the file name is not valid UTF-8");
    return {};
}

QString readImage(const QString& path, QByteArray& image)
{
    if (QString e = badName(path); !e.isEmpty())
        return e;
    const auto file = safefile::readHead(path, qint64(mcn::Size) + 1);
    if (!file.ok())
        return QStringLiteral("%1: %2").arg(path, file.error);
    if (file.data.isEmpty())
        return QStringLiteral("%1 is empty").arg(path);
    const auto kind = layoutfiles::kindFromFirstByte(std::uint8_t(file.data[0]));
    if (!layoutfiles::kindHasImage(kind) || std::uint8_t(file.data[0]) != kind)
        return QStringLiteral("%1 is not a layout file (first byte %2)").arg(path).arg(std::uint8_t(file.data[0]));
    if (file.size != qint64(imageSize(kind)))
        return QStringLiteral("%1 is %2 bytes; a %3 layout is %4")
            .arg(path)
            .arg(file.size)
            .arg(QLatin1String(kindName(kind)))
            .arg(imageSize(kind));
    image = file.data;
    return {};
}

QString readExact(const QString& path, LayoutData& model)
{
    layoutfiles::LayoutRead read;
    if (QString e = readImage(path, read.head); !e.isEmpty())
        return e;
    read.kind = std::uint8_t(read.head[0]);
    layoutfiles::applyLayout(model, read);
    return {};
}

} // namespace

QString readImageFile(const QString& path, QByteArray& image)
{
    return readImage(path, image);
}

QString loadLayout(const QString& path, LayoutData& model)
{
    LayoutData loaded = model;
    const QString error = readExact(path, loaded);
    if (error.isEmpty())
        model = loaded;
    return error;
}

QString uploadBase(const QString& path, std::int32_t kind, LayoutData& model)
{
    LayoutData base;
    base.initDefaults({});
    base.setKbdType(kind);
    // A new file carries its kind in its first bytes, as every file of that kind does.
    if (kind == KbdMonitor)
        base.MonImage.setKbdType(kind);
    else
        base.McnImage.setKbdType(kind);
    if (QString e = badName(path); !e.isEmpty())
        return e;
    // Found out before the transfer, not after it.
    if (const QString e = safefile::saveProblem(path); !e.isEmpty())
        return QStringLiteral("%1 cannot be written to: %2").arg(path, e);
    if (QFileInfo::exists(path)) {
        if (QString e = readExact(path, base); !e.isEmpty())
            return e;
        if (base.KbdType() != kind)
            return QStringLiteral("%1 holds a %2 layout, not a %3 one")
                .arg(path, QLatin1String(kindName(base.KbdType())), QLatin1String(kindName(kind)));
    }
    model = base;
    return {};
}

QString saveLayout(const QString& path, const LayoutData& model)
{
    if (QString e = badName(path); !e.isEmpty())
        return e;
    const QByteArray image = layoutfiles::currentImage(model);
    if (image.isEmpty())
        return QStringLiteral("nothing to save: the layout has no image");
    if (QString e = safefile::writeAtomic(path, image); !e.isEmpty())
        return QStringLiteral("%1: %2").arg(path, e);
    return {};
}

} // namespace zeltra::cli
