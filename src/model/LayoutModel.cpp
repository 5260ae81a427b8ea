#include "model/LayoutModel.h"

#include "model/KeyLayout.h"

#include <QDir>
#include <algorithm>

namespace zeltra {

LayoutModel::LayoutModel(QObject* parent)
    : QObject(parent), McnImage(data_.McnImage), MonImage(data_.MonImage),
      LayoutChanged(unsaved_), Settings(data_.Settings)
{
}

void LayoutModel::initDefaults(const QString& programDir)
{
    ProgramDir = programDir;
    LayoutData defaults;
    defaults.initDefaults(programDir);
    for (int i = 0; i < KeyCount; ++i) {
        defaults.McnImage.setKeyCode(i, defaultKeyCode(KbdMachine, i));
        defaults.MonImage.setKeyCode(i, defaultKeyCode(KbdMonitor, i));
    }
    setMachineImage(defaults.McnImage);
    setMonitorImage(defaults.MonImage);
    setSettings(defaults.Settings);
    setFile({});
}

void LayoutModel::setSettings(const SettingsRecord& record)
{
    const std::int32_t kind = KbdType();
    const bool clip = Settings.showClip();
    data_.Settings = record;
    if (KbdType() != kind)
        emit kindChanged(KbdType());
    if (Settings.showClip() != clip)
        emit showClipChanged(Settings.showClip());
}

QString LayoutModel::dialogFolder() const {
    const QString last = Settings.lastDir();
    if (installedCopy() && (last.isEmpty() || last == ProgramDir))
        return QDir::homePath() + QLatin1Char('/');
    return last;
}

void LayoutModel::setKbdType(std::int32_t kind)
{
    if (kind == data_.KbdType())
        return;
    data_.setKbdType(kind);
    emit kindChanged(kind);
}

// Only the bytes that differ count: the signal names the smallest range holding all of them.
void LayoutModel::writeImage(std::int32_t kind, std::size_t offset, std::span<const std::uint8_t> bytes)
{
    const std::span<std::uint8_t> image = data_.image(kind);
    if (offset >= image.size())
        return;
    const std::size_t n = std::min(bytes.size(), image.size() - offset);
    std::size_t first = n;
    std::size_t last = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (image[offset + i] == bytes[i])
            continue;
        image[offset + i] = bytes[i];
        first = std::min(first, i);
        last = i;
    }
    if (first < n)
        emit imageChanged(kind, int(offset + first), int(last - first + 1));
}

void LayoutModel::load(std::int32_t kind, std::span<const std::uint8_t> image, const QString& file)
{
    setKbdType(kind);
    writeImage(kind, 0, image);
    setFile(file);
    emit layoutReplaced();
}

void LayoutModel::setFile(const QString& path)
{
    if (path == file_)
        return;
    file_ = path;
    emit fileChanged(file_);
}

void LayoutModel::setShowClip(bool on)
{
    if (on == Settings.showClip())
        return;
    data_.Settings.setShowClip(on);
    emit showClipChanged(on);
}

void LayoutModel::setUnsaved(bool unsaved)
{
    if (unsaved == unsaved_)
        return;
    unsaved_ = unsaved;
    emit unsavedChanged(unsaved_);
}

} // namespace zeltra
