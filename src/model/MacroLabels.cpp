#include "model/MacroLabels.h"

#include "model/FunctionTables.h"
#include "model/Records.h"

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
    const int slot = codes::indexIn(keyCode, codes::FirstMacro);
    if (slot < 0)
        return std::nullopt;
    const std::uint8_t code = records::macro(img, slot).code();
    if (code == 0)
        return std::nullopt;
    return itemCaption(slot, code);
}

std::optional<std::uint8_t> parseEntry(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 8)
        return std::nullopt;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const int value = t.toInt();
    if (value > 255)
        return std::nullopt;
    return std::uint8_t(value);
}

QString entryRefusal(const QString& text)
{
    QString shown = text.trimmed().left(20);
    if (text.trimmed().size() > 20)
        shown += QStringLiteral("...");
    return QStringLiteral("\"%1\" is not a macro number: enter a number from 0 to 255. "
                          "The macro keeps its value.")
        .arg(shown);
}

} // namespace zeltra::macros
