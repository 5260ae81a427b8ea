#include "model/KeyFaces.h"

#include "model/FunctionTables.h"
#include "model/MacroLabels.h"
#include "model/Records.h"

namespace zeltra {

Colour litTextColour(Colour fill)
{
    if (fill == clLime)
        return clBlack;
    if (fill == clYellow)
        return clBlue;
    return clWhite;
}

QString functionHint(int code, const char* description)
{
    const QString hex = QStringLiteral("%1").arg(code & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("$") + hex + QStringLiteral(":- ") + QString::fromLatin1(description);
}

KeyFace keyFace(int listKind, int code)
{
    const auto table = functionTable(listKind);
    const int row = findfunction(table, code);
    const FunctionEntry& e = table[std::size_t(row)];
    KeyFace face;
    face.caption = QString::fromLatin1(e.Name);
    face.fill = e.Colour;
    face.text = litTextColour(e.Colour);
    face.hint = functionHint(e.Code, e.Description);
    face.row = row;
    return face;
}

int formatSlot(int code, bool shifted)
{
    if (code < codes::UserA || code > codes::LastFormatMemory)
        return -1;
    const int slot = code - codes::UserA + (shifted ? mon::FormatSlots / 2 : 0);
    return slot < mon::FormatSlots ? slot : code - codes::UserA;
}

std::optional<QString> formatMemoryCaption(const MonitorImage& img, int code, bool shifted)
{
    const int slot = formatSlot(code, shifted);
    if (slot < 0)
        return std::nullopt;
    const int record = records::formatMemory(img, slot).format();
    if (record >= mon::FormatCount)
        return std::nullopt;
    return img.formatName(record);
}

std::optional<KeyFace> keyShown(const LayoutData& layout, int key, bool shifted)
{
    const std::int32_t kind = layout.KbdType();
    if (kind != KbdMachine && kind != KbdMonitor)
        return std::nullopt;
    const int code = layout.image(kind)[mcn::KeyCodes + std::size_t(key)];
    KeyFace face = keyFace(kind, code);
    const auto caption = kind == KbdMonitor ? formatMemoryCaption(layout.MonImage, code, shifted)
                                            : macros::keyCaption(layout.McnImage, code);
    if (caption)
        face.caption = *caption;
    return face;
}

} // namespace zeltra
