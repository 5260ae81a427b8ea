#include "link/BlockTables.h"

#include "link/Frames.h"

#include <array>
#include <span>

namespace zeltra::link {
namespace {

constexpr int CueBytes = mcn::CueCount * int(mcn::CueSize);    // 192
constexpr int LoopBytes = mcn::LoopCount * int(mcn::LoopSize); // 160
constexpr int TimecodeBytes = 4;
constexpr int FormatRowBytes = 16;
constexpr int FormatRowsSent = 15;
constexpr int PecDirPageBytes = 8;

constexpr std::array<BlockEntry, 8> MachineBlocks{{
    {1, "Keyboard", "Download key values", 22, "Upload key values", 21, 21},
    {2, "Unit Config", "Download Unit Config", 15, "Upload Unit Config", 15, 15},
    {3, "Port A Config", "Download Port A Config", 15, "Upload porta Config", 15, 15},
    {4, "Port B Config", "Download Port B Config", 15, "Upload portb Config", 15, 15},
    {5, "Locates", "Download Locate cue points", CueBytes, "Upload Locate data", CueBytes,
     CueBytes},
    {6, "Loops", "Download loop data", LoopBytes, "Upload loop Data", LoopBytes, LoopBytes},
    {7, "GPO TC", "Download GPO data", 48, nullptr, 0, 47},
    {8, "Zq Macros", "Download Macro data", 8, nullptr, 0, 7},
}};

constexpr std::array<BlockEntry, 5> MonitorBlocks{{
    {1, "Keyboard", "Download key values", 21, "Upload key valuse", 21, 21},
    {2, "Unit Config", "Download Unit Config", 15, "Upload Unit Config", 15, 15},
    {3, "Format Assign", "Download Format Assign", 15, "Upload Format Assign", 15, 15},
    {4, "Monitor Formats", "Download Format data", FormatRowsSent* FormatRowBytes,
     "Upload Format data", 15, FormatRowsSent* FormatRowBytes - 1},
    {5, "Dim + Other", "Download Pec/Dir + Other data", 15, "Upload Pecdir+Other", 15, 15},
}};

template <std::size_t N>
const BlockEntry* findBlock(const std::array<BlockEntry, N>& table, int block)
{
    for (const auto& e : table)
        if (e.block == block)
            return &e;
    return nullptr;
}

// Image offset of address c of the format block: one 16-byte row per record, the eight name
// characters and then the eight data bytes; the name's length byte is not part of the row.
std::size_t formatRowOffset(int c)
{
    return MonitorImage::formatOffset(c / FormatRowBytes) + 1 + std::size_t(c % FormatRowBytes);
}

// Start and length of a block that maps its addresses straight onto the image.
struct Area {
    std::size_t start;
    int length;
};

std::optional<Area> machineArea(int block)
{
    switch (block) {
    case 1:
        return Area{mcn::KeyCodes, KeyCount};
    case 2:
        return Area{mcn::UnitConfig, 16};
    case 3:
        return Area{mcn::PortAConfig, 16};
    case 4:
        return Area{mcn::PortBConfig, 16};
    case 5:
        return Area{mcn::Cues, CueBytes};
    case 6:
        return Area{mcn::Loops, LoopBytes};
    case 7:
        return Area{mcn::Gpos, mcn::GpoCount * int(mcn::GpoSize)};
    case 8:
        return Area{mcn::MacroTable, mcn::MacroCount};
    default:
        return std::nullopt;
    }
}

std::optional<Area> monitorArea(int block)
{
    switch (block) {
    case 1:
        return Area{mon::KeyCodes, KeyCount};
    case 2:
        return Area{mon::UnitConfig, 16};
    case 3:
        return Area{mon::FormatAssign, mon::FormatSlots};
    case 5:
        return Area{mon::PecDirData, 16};
    default:
        return std::nullopt;
    }
}

// Cues begin with a timecode; a GPO record is one.
bool isTimecodeByte(int block, int c)
{
    return block == 7 || (block == 5 && c % int(mcn::CueSize) < TimecodeBytes);
}

struct Reply {
    int block;
    int address;
    std::span<const std::uint8_t> data;
};

std::optional<Reply> readReply(const QByteArray& reply)
{
    if (!isReadReply(reply) || reply.size() < ReplyLength)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(reply.constData());
    return Reply{bytes[2], bytes[3], std::span<const std::uint8_t>(bytes + 4, ReplyDataBytes)};
}

} // namespace

const BlockEntry* blockEntry(std::int32_t kbdType, int block)
{
    if (kbdType == KbdMachine)
        return findBlock(MachineBlocks, block);
    if (kbdType == KbdMonitor)
        return findBlock(MonitorBlocks, block);
    return nullptr;
}

StepEntry stepEntry(std::int32_t kbdType, int step, UploadList list)
{
    if (const auto* e = blockEntry(kbdType, step - DownloadBase); e && step > DownloadBase)
        return {StepKind::Download, e, e->block};
    if (const auto* e = blockEntry(kbdType, step - UploadBase);
        e && (e->uploadCaption || list == UploadList::Complete))
        return {StepKind::Upload, e, e->block};
    if (const auto* e = blockEntry(kbdType, step - VerifyBase))
        return {StepKind::Verify, e, e->block};
    return {};
}

QString uploadCaption(const BlockEntry& entry)
{
    if (entry.uploadCaption)
        return QString::fromLatin1(entry.uploadCaption);
    return QStringLiteral("Upload ") + QString::fromLatin1(entry.listItem);
}

int uploadBound(const BlockEntry& entry, UploadList list)
{
    return list == UploadList::Complete ? entry.readBackSize : entry.uploadSize;
}

int uploadReads(const BlockEntry& entry, UploadList list)
{
    if (!entry.uploadCaption && list == UploadList::Described)
        return 0;
    return uploadBound(entry, list) / ReplyDataBytes + 1;
}

int verifyReads(const BlockEntry& entry)
{
    return (entry.written + ReplyDataBytes - 1) / ReplyDataBytes;
}

int transferFrames(std::int32_t kbdType, int base, int listIndex, UploadList list)
{
    int frames = 0;
    // "All" runs the steps from block 1 on until the first step without an entry.
    for (int block = listIndex == 0 ? 1 : listIndex; block > 0; ++block) {
        const StepEntry step = stepEntry(kbdType, base + block, list);
        if (step.kind == StepKind::None)
            break;
        frames += step.kind == StepKind::Download ? step.entry->written
                  : step.kind == StepKind::Upload ? uploadReads(*step.entry, list)
                                                  : verifyReads(*step.entry);
        if (listIndex != 0)
            break;
    }
    return frames;
}

std::optional<QStringList> blockListItems(std::int32_t kbdType)
{
    auto list = [](const auto& table) {
        QStringList items{QStringLiteral("All")};
        for (const auto& e : table)
            items << QString::fromLatin1(e.listItem);
        return items;
    };
    if (kbdType == KbdMachine)
        return list(MachineBlocks);
    if (kbdType == KbdMonitor)
        return list(MonitorBlocks);
    return std::nullopt;
}

QStringList initialBlockList()
{
    return {QStringLiteral("All"),           QStringLiteral("Keyboard"),
            QStringLiteral("Unit Config"),   QStringLiteral("Port A Config"),
            QStringLiteral("Port B Config"), QStringLiteral("Locates"),
            QStringLiteral("Loops"),         QStringLiteral("GPO"),
            QStringLiteral("macro's")};
}

std::optional<std::uint8_t> downloadByte(const MachineImage& image, int block, int address)
{
    const auto* e = blockEntry(KbdMachine, block);
    const auto area = machineArea(block);
    if (!e || !area || address < 0 || address >= e->written)
        return std::nullopt;
    return image.bytes[area->start + std::size_t(address)];
}

std::optional<std::uint8_t> downloadByte(const MonitorImage& image, int block, int address)
{
    const auto* e = blockEntry(KbdMonitor, block);
    if (!e || address < 0 || address >= e->written)
        return std::nullopt;
    if (block == 4)
        return image.bytes[formatRowOffset(address)];
    return image.bytes[monitorArea(block)->start + std::size_t(address)];
}

int placeReply(MachineImage& image, const QByteArray& bytes, UploadList list,
               QList<RefusedByte>* refused, Placement placement)
{
    const auto reply = readReply(bytes);
    const bool readBack = list == UploadList::Complete || (reply && reply->block <= 6);
    const auto area = reply ? machineArea(reply->block) : std::nullopt;
    if (!readBack || !area)
        return 0;
    int stored = 0;
    for (int i = 0; i < ReplyDataBytes; ++i) {
        const int c = reply->address + i;
        const auto value = reply->data[std::size_t(i)];
        if (c >= area->length)
            continue;
        if (placement == Placement::Checked && isTimecodeByte(reply->block, c) && !isBcd(value)) {
            if (refused)
                refused->append({reply->block, c, value});
            continue;
        }
        image.bytes[area->start + std::size_t(c)] = value;
        ++stored;
    }
    return stored;
}

int placeReply(MonitorImage& image, const QByteArray& bytes, UploadList list,
               QList<RefusedByte>* refused, Placement placement)
{
    const auto reply = readReply(bytes);
    if (!reply)
        return 0;
    int stored = 0;
    auto store = [&](std::size_t at, std::uint8_t value) {
        image.bytes[at] = value;
        ++stored;
    };
    const bool asRead = list == UploadList::Complete || placement == Placement::Exact;
    for (int i = 0; i < ReplyDataBytes; ++i) {
        const int c = reply->address + i;
        const auto value = reply->data[std::size_t(i)];
        switch (reply->block) {
        case 1:
        case 2:
            if (c < monitorArea(reply->block)->length)
                store(monitorArea(reply->block)->start + std::size_t(c), value);
            break;
        case 3: // each slot names one of the sixteen format records
            if (c < mon::FormatSlots && (value < mon::FormatCount || asRead))
                store(mon::FormatAssign + std::size_t(c), value);
            else if (c < mon::FormatSlots && refused)
                refused->append({reply->block, c, value});
            break;
        case 4:
            if (c < FormatRowsSent * FormatRowBytes)
                store(formatRowOffset(c), value);
            break;
        case 5: {
            // The address is a page number; the byte address of the second page is taken too.
            const int a = reply->address;
            const int page = (a == 0 || a == 1) ? a : (a == PecDirPageBytes ? 1 : -1);
            if (page >= 0)
                store(mon::PecDirData + std::size_t(PecDirPageBytes * page + i), value);
            break;
        }
        default:
            return 0;
        }
    }
    return stored;
}

} // namespace zeltra::link
