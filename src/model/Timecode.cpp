#include "model/Timecode.h"

namespace zeltra::timecode {

namespace {
constexpr int PairStart[4] = {0, 3, 6, 9};

std::uint8_t digitAt(const QString& text, int at)
{
    if (at >= text.size())
        return 0;
    const char16_t c = text[at].unicode();
    return (c >= u'0' && c <= u'9') ? std::uint8_t(c - u'0') : 0;
}
} // namespace

QString toText(std::span<const std::uint8_t, 4> bcd)
{
    QString text = QStringLiteral("00:00:00:00");
    for (int i = 0; i < 4; ++i) {
        text[PairStart[i]] = QChar(u'0' + (bcd[std::size_t(i)] >> 4));
        text[PairStart[i] + 1] = QChar(u'0' + (bcd[std::size_t(i)] & 15));
    }
    return text;
}

Bcd fromText(const QString& text)
{
    Bcd bcd{};
    for (int i = 0; i < 4; ++i)
        bcd[std::size_t(i)] =
            std::uint8_t(digitAt(text, PairStart[i]) * 16 + digitAt(text, PairStart[i] + 1));
    return bcd;
}

} // namespace zeltra::timecode
