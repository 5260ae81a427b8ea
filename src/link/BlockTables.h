#pragma once
#include "model/Images.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <optional>

// The EEPROM blocks of each keyboard kind: what a download sends for each address and where
// the bytes of a read reply go in the image.
namespace zeltra::link {

struct BlockEntry {
    int block;
    const char* listItem;
    const char* downloadCaption;
    int written;               // write frames, at addresses 0 .. written - 1
    const char* uploadCaption; // nullptr: the connect window does not read the block back
    int uploadSize;            // reads go to 0, 8, .. up to the last multiple of 8 <= this
    int readBackSize;          // the same for a complete read-back (see UploadList)
};

// Which reads an upload makes. The connect window reads the blocks it has always read; the
// command line reads back every byte a verify compares, so that an upload is a whole backup.
enum class UploadList { Described, Complete };

// How an upload places what it reads. Checked keeps the image valid: a cue or GPO time byte
// that is not BCD, or a format slot naming no format memory, is left out. Exact places every
// byte as read, so that the image verifies against the keyboard it came from.
enum class Placement { Checked, Exact };

// The block's entry for a keyboard kind, or nullptr.
const BlockEntry* blockEntry(std::int32_t kbdType, int block);

// First step of a download, an upload and a verify: step = base + block. The bases are the
// tags of the window's three buttons.
constexpr int DownloadBase = 0;
constexpr int UploadBase = 10;
constexpr int VerifyBase = 20;

enum class StepKind { None, Download, Upload, Verify };
struct StepEntry {
    StepKind kind = StepKind::None;
    const BlockEntry* entry = nullptr;
    int block = 0;
};
// What a step number means for a keyboard kind; kind None when it has no entry.
StepEntry stepEntry(std::int32_t kbdType, int step, UploadList list = UploadList::Described);
// The caption of an upload step, also for a block only the complete list reads.
QString uploadCaption(const BlockEntry& entry);
// The size bound of an upload step's reads.
int uploadBound(const BlockEntry& entry, UploadList list);

// Read requests of one block: an upload reads at 0, 8, .. up to the upload size; a verify
// reads every address the download writes, at 0, 8, .. below the written count.
int uploadReads(const BlockEntry& entry, UploadList list = UploadList::Described);
int verifyReads(const BlockEntry& entry);
// Frames a transfer sends for a list item (0 "All", or a block) when every frame is answered:
// `base` is DownloadBase, UploadBase or VerifyBase.
int transferFrames(std::int32_t kbdType, int base, int listIndex,
                   UploadList list = UploadList::Described);

// The block list for a kind; nothing for a kind without blocks (the list stays as it is).
std::optional<QStringList> blockListItems(std::int32_t kbdType);
// The list the window starts with, before it is first shown.
QStringList initialBlockList();

// The image byte a download sends for an address, or nothing outside the block.
std::optional<std::uint8_t> downloadByte(const MachineImage& image, int block, int address);
std::optional<std::uint8_t> downloadByte(const MonitorImage& image, int block, int address);

// A byte the keyboard sent that the image cannot hold: a cue timecode byte that is not BCD,
// a format slot naming no format memory.
struct RefusedByte {
    int block;
    int address;
    std::uint8_t value;
    bool operator==(const RefusedByte&) const = default;
};

// Places the eight data bytes of a complete read reply (1A B2 b a d0..d7 cs) by the reply's
// own block and address. Bytes whose target lies outside the block, and bytes that would
// make the image invalid, are dropped one by one; the latter are added to `refused` when
// given. For the complete list GPO times and macros are placed too, and format slots as read,
// as a layout file may hold them. Returns the number of bytes stored.
int placeReply(MachineImage& image, const QByteArray& reply,
               UploadList list = UploadList::Described, QList<RefusedByte>* refused = nullptr,
               Placement placement = Placement::Checked);
int placeReply(MonitorImage& image, const QByteArray& reply,
               UploadList list = UploadList::Described, QList<RefusedByte>* refused = nullptr,
               Placement placement = Placement::Checked);

// A packed-BCD byte: both nibbles 0..9.
constexpr bool isBcd(std::uint8_t b)
{
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

} // namespace zeltra::link
