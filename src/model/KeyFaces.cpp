#include "model/KeyFaces.h"

#include "model/FunctionTables.h"

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
    if (code < 48 || code > 63)
        return -1;
    int slot = shifted ? code - 40 : code - 48;
    if (slot >= mon::FormatSlots)
        slot = code - 48;
    return slot;
}

std::optional<QString> formatMemoryCaption(const MonitorImage& img, int code, bool shifted)
{
    const int slot = formatSlot(code, shifted);
    if (slot < 0)
        return std::nullopt;
    const int record = img.formatAssign(slot);
    if (record >= mon::FormatCount)
        return std::nullopt;
    return img.formatName(record);
}

} // namespace zeltra
