#pragma once
#include "model/LayoutData.h"

#include <QByteArray>
#include <QString>

// Layout image files and the binary settings record file: what goes into and comes out of
// the model, with no window involved.
namespace zeltra::layoutfiles {

inline constexpr char SettingsRecordName[] = "rs422kbd.ini";
inline constexpr char BinExtension[] = ".bin";
QString dialogFilter();
QString settingsRecordPath(const QString& programDir);

// A name typed without an extension gets ".bin".
QString withDefaultExtension(const QString& path);

// A layout file as read from disk, before it touches the model.
struct LayoutRead {
    std::int32_t kind = KbdMachine; // from the first byte
    QByteArray head;                // at most the size of the larger image
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The kind a file's first byte names; a byte above 2 loads as machine control. Only the
// byte counts: stray upper bytes of the kind held in the settings record never turn a
// monitor file into a machine one.
std::int32_t kindFromFirstByte(std::uint8_t first);

// Reads at most one image's worth; an empty or unreadable file is an error.
LayoutRead readLayout(const QString& path);

// Copies the read bytes over the leading part of the image of their kind (bytes past the
// file's end keep their values) and stamps the image's kind field. Kind 2 touches nothing.
void applyLayout(LayoutData& layout, const LayoutRead& file);

// The image of the current kind, byte for byte, as a file of that kind holds it: its first
// four bytes are the kind. Empty for a kind that has no image.
QByteArray currentImage(const LayoutData& layout);
bool kindHasImage(std::int32_t kind);

enum class RecordRead { Loaded, Missing, Ignored, Failed };

// Reads the settings record over `record`. A file shorter than the record is ignored (the
// defaults stay); of a longer one only the leading record is used.
RecordRead readSettingsRecord(const QString& path, SettingsRecord& record, QString* error = nullptr);
// Writes the record only when the file does not already hold exactly its bytes.
QString writeSettingsRecord(const QString& path, const SettingsRecord& record);

} // namespace zeltra::layoutfiles
