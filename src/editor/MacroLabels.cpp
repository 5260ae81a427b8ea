#include "editor/MacroLabels.h"

#include "model/FunctionTables.h"

namespace zeltra::macros {

QString macroname(std::uint8_t code)
{
    const char* name = nullptr; // the last row with the code wins
    for (const auto& e : MacroFunctions())
        if (e.Code == code)
            name = e.Name;
    return name ? QString::fromLatin1(name) : QString::number(code);
}

QString itemCaption(int slot, std::uint8_t code)
{
    return QStringLiteral("M") + QChar(u'A' + slot) + QStringLiteral(":") + macroname(code);
}

std::optional<QString> keyCaption(const MachineImage& img, int keyCode)
{
    const int slot = keyCode - FirstMacroKeyCode;
    if (slot < 0 || slot >= mcn::MacroCount)
        return std::nullopt;
    const std::uint8_t code = img.bytes[mcn::MacroTable + std::size_t(slot)];
    if (code == 0)
        return std::nullopt;
    return itemCaption(slot, code);
}

} // namespace zeltra::macros
