#include "model/LayoutWords.h"

#include "model/Levels.h"
#include "model/FunctionTables.h"
#include "model/Timecode.h"

#include <span>

namespace zeltra::words {

QString functionName(int listKind, int code)
{
    const auto& e = functionTable(listKind)[std::size_t(findfunction(listKind, code))];
    return e.Code == 0 && code != 0 ? QStringLiteral("(none)")
                                    : QString::fromLatin1(e.Name).trimmed();
}

QStringList loopMachines()
{
    return {"A", "B", "A & B"};
}
QStringList loopEndActions()
{
    return {"Pause", "Stop", "Locate", "Locate and Play"};
}
QString loopDestination(int loop)
{
    return QStringLiteral("Loop %1").arg(loop + 1);
}

QString choice(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items[index] : QString::number(index);
}

std::optional<int> choiceIndex(const QStringList& items, const QString& text, int maximum)
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    bool ok = false;
    const int n = text.size() <= 3 ? text.toInt(&ok, 10) : -1;
    if (ok && n >= 0 && n <= maximum && text == QString::number(n))
        return n;
    return std::nullopt;
}

QString trimOutput(int index)
{
    const int code = codes::FirstOutput + index;
    return findfunction(ListMonitor, code) != 0 ? functionName(ListMonitor, code)
                                                : QStringLiteral("Out %1").arg(index + 1);
}

QString trimLevel(int step)
{
    const formats::GainUse use = formats::outputTrimUse();
    return step > use.maximum ? QStringLiteral("out of range") : formats::levelText(step, use.zero);
}

QString timecodeWords(const std::uint8_t* bcd4)
{
    for (int i = 0; i < 4; ++i)
        if ((bcd4[i] >> 4) > 9 || (bcd4[i] & 15) > 9)
            return hexPairs(bcd4, 4);
    return timecode::toText(std::span<const std::uint8_t, 4>(bcd4, 4));
}

QString printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (!c.isPrint())
            c = QLatin1Char('.');
    return out;
}

QString hexPairs(const std::uint8_t* bytes, std::size_t count)
{
    QStringList pairs;
    for (std::size_t i = 0; i < count; ++i)
        pairs << QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    return pairs.join(QLatin1Char(' '));
}

} // namespace zeltra::words
