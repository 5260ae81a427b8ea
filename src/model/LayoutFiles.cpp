#include "model/LayoutFiles.h"

#include "model/SafeFile.h"

#include <QFileInfo>
#include <algorithm>

namespace zeltra::layoutfiles {

QString dialogFilter()
{
    // Both spellings, for file dialogs that match patterns case-sensitively.
    return QStringLiteral("Binary Image File (*.bin *.BIN)");
}

QString settingsRecordPath(const QString& programDir)
{
    return programDir + QLatin1String(SettingsRecordName);
}

QString withDefaultExtension(const QString& path)
{
    if (safefile::fileNameOf(path).contains(QLatin1Char('.')))
        return path;
    return path + QLatin1String(BinExtension);
}

std::int32_t kindFromFirstByte(std::uint8_t first)
{
    return first <= KbdFuture ? std::int32_t(first) : KbdMachine;
}

LayoutRead readLayout(const QString& path)
{
    LayoutRead r;
    auto file = safefile::readHead(path, qint64(mcn::Size));
    if (!file.ok()) {
        r.error = file.error;
        return r;
    }
    if (file.data.isEmpty()) {
        r.error = QStringLiteral("The file is empty.");
        return r;
    }
    r.kind = kindFromFirstByte(std::uint8_t(file.data[0]));
    r.head = std::move(file.data);
    return r;
}

namespace {
template <typename Image> void copyHead(Image& image, const QByteArray& head, std::int32_t kind)
{
    const auto n = std::min<std::size_t>(std::size_t(head.size()), Image::Size);
    std::copy_n(reinterpret_cast<const std::uint8_t*>(head.constData()), n, image.bytes.begin());
    image.setKbdType(kind);
}
} // namespace

void applyLayout(LayoutData& model, const LayoutRead& file)
{
    if (!kindHasImage(file.kind))
        return;
    model.setKbdType(file.kind);
    if (file.kind == KbdMachine)
        copyHead(model.McnImage, file.head, KbdMachine);
    else if (file.kind == KbdMonitor)
        copyHead(model.MonImage, file.head, KbdMonitor);
}

bool kindHasImage(std::int32_t kind) { return kind == KbdMachine || kind == KbdMonitor; }

QByteArray currentImage(const LayoutData& model)
{
    auto bytesOf = [&model](auto image) {
        image.setKbdType(model.KbdType());
        return QByteArray(reinterpret_cast<const char*>(image.bytes.data()), qsizetype(image.bytes.size()));
    };
    if (model.KbdType() == KbdMachine)
        return bytesOf(model.McnImage);
    if (model.KbdType() == KbdMonitor)
        return bytesOf(model.MonImage);
    return {};
}

RecordRead readSettingsRecord(const QString& path, SettingsRecord& record, QString* error)
{
    if (!QFileInfo::exists(path))
        return RecordRead::Missing;
    const auto file = safefile::readHead(path, qint64(SettingsRecord::Size));
    if (!file.ok()) {
        if (error)
            *error = file.error;
        return RecordRead::Failed;
    }
    if (std::size_t(file.data.size()) < SettingsRecord::Size)
        return RecordRead::Ignored;
    std::copy_n(reinterpret_cast<const std::uint8_t*>(file.data.constData()), SettingsRecord::Size,
                record.bytes.begin());
    return RecordRead::Loaded;
}

QString writeSettingsRecord(const QString& path, const SettingsRecord& record)
{
    return safefile::writeIfChanged(
        path, QByteArray(reinterpret_cast<const char*>(record.bytes.data()), qsizetype(record.bytes.size())));
}

} // namespace zeltra::layoutfiles
