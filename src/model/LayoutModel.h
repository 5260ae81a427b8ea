#pragma once
#include "model/LayoutData.h"

#include <QObject>
#include <QString>
#include <span>

namespace zeltra {

// The program-wide layout state: both images, the keyboard kind, the layout's file and its
// unsaved mark, with the settings record and the main window's editing state beside them.
// One is made at start-up and handed to every window by reference.
//
// The layout is read through the const members below and changed only through the model's
// functions, each of which tells what it changed by a signal. A window that shows layout
// data connects to the signals and redraws itself; nobody calls a window to refresh it.
//   imageChanged(kind, offset, count)  bytes [offset, offset + count) of the image of `kind`
//   kindChanged(kind)                  the working keyboard kind
//   fileChanged(path)                  the layout's file; empty: none
//   unsavedChanged(unsaved)            the unsaved mark (LayoutChanged)
//   layoutReplaced()                   a layout was loaded as a whole (after the signals of
//                                      its bytes, kind and file): edits begun on the old one
//                                      have no place any more
//   showClipChanged(on)                the "Display Clip Number" option
class LayoutModel : public QObject {
    Q_OBJECT
  public:
    explicit LayoutModel(QObject* parent = nullptr);
    LayoutModel(const LayoutModel&) = delete;
    LayoutModel& operator=(const LayoutModel&) = delete;

    const MachineImage& McnImage;
    const MonitorImage& MonImage;
    // The unsaved mark. The layout history sets it from its clean state (setUnsaved), and
    // nothing else does, so the caption and every question read one and the same state.
    const bool& LayoutChanged;
    // The settings record. Its kind is the working keyboard kind: set it with setKbdType.
    SettingsRecord& Settings;

    bool TopRowKey = false;
    bool ShiftEdit = false;
    int JogOriginX = 0;
    long double JogAngle = 0;
    QString ProgramDir; // folder of the program file, with a trailing separator
    QString SettingsDir; // folder of the settings files; empty: ProgramDir
    const QString& settingsFolder() const { return SettingsDir.isEmpty() ? ProgramDir : SettingsDir; }
    // An installed copy keeps its settings away from its folder, which is not the user's.
    bool installedCopy() const { return settingsFolder() != ProgramDir; }
    // Where the file dialogs start: LastDir, or the user's home folder while an installed
    // copy's LastDir is still its program folder.
    QString dialogFolder() const;

    const LayoutData& data() const { return data_; }
    // Start-up state: ProgramDir, LastDir = ProgramDir, ComPort = 1, both images at their
    // defaults with the default keys of their kind, no file.
    void initDefaults(const QString& programDir);
    // A settings record read or put back as a whole; its kind and option are told.
    void setSettings(const SettingsRecord& record);

    std::int32_t KbdType() const { return data_.KbdType(); }
    void setKbdType(std::int32_t kind);

    // Puts `bytes` into the image of `kind` from `offset` on; bytes past the image's end are
    // left out, and a kind without an image takes nothing.
    void writeImage(std::int32_t kind, std::size_t offset, std::span<const std::uint8_t> bytes);
    void setMachineImage(const MachineImage& image) { writeImage(KbdMachine, 0, image.bytes); }
    void setMonitorImage(const MonitorImage& image) { writeImage(KbdMonitor, 0, image.bytes); }
    // A layout read from `file`: the image of `kind` (whole), the kind and the file, then
    // layoutReplaced.
    void load(std::int32_t kind, std::span<const std::uint8_t> image, const QString& file);

    // The file the layout belongs to and Save writes to (when it exists); empty for none.
    const QString& file() const { return file_; }
    bool hasFile() const { return !file_.isEmpty(); }
    void setFile(const QString& path);

    void setShowClip(bool on);
    void setUnsaved(bool unsaved);

  signals:
    void imageChanged(std::int32_t kind, int offset, int count);
    void kindChanged(std::int32_t kind);
    void fileChanged(const QString& file);
    void unsavedChanged(bool unsaved);
    void layoutReplaced();
    void showClipChanged(bool on);

  private:
    LayoutData data_;
    bool unsaved_ = false;
    QString file_;
};

} // namespace zeltra
