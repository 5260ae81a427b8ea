#include "link/Frames.h"

namespace zeltra::link {

std::uint8_t checksum(const QByteArray& bytes, int count)
{
    std::uint8_t sum = 0;
    for (int i = 0; i < count && i < bytes.size(); ++i)
        sum = std::uint8_t(sum + std::uint8_t(bytes[i]));
    return sum;
}

QByteArray sealFrame(QByteArray frame)
{
    if (frame.isEmpty())
        return frame;
    const int length = frameLength(std::uint8_t(frame[0]));
    frame.resize(length - 1, '\0');
    frame.append(char(checksum(frame, length - 1)));
    return frame;
}

static QByteArray frameOf(std::initializer_list<std::uint8_t> bytes)
{
    QByteArray frame;
    for (auto b : bytes)
        frame.append(char(b));
    return sealFrame(frame);
}

QByteArray keyPressFrame(std::uint8_t code)
{
    return frameOf({0x01, CmdKeyPress, code});
}

QByteArray jogFrame(int speed)
{
    if (speed > 0)
        return frameOf({0x21, CmdJog, std::uint8_t(speed)});
    return frameOf({0x21, CmdJogReverse, std::uint8_t(0u - unsigned(speed))});
}

QByteArray readRequestFrame(std::uint8_t block, std::uint8_t address)
{
    return frameOf({0x02, CmdRead, block, address});
}

QByteArray writeRequestFrame(std::uint8_t block, std::uint8_t address, std::uint8_t value)
{
    return frameOf({0x03, CmdWrite, block, address, value});
}

bool isReadReply(const QByteArray& frame)
{
    return frame.size() >= 2 && (std::uint8_t(frame[0]) >> 4) == 1 &&
           std::uint8_t(frame[1]) == CmdRead;
}

char hex2ascii(int nibble)
{
    nibble &= 0x0F;
    return char(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

QString traceText(const QByteArray& frame)
{
    QString line;
    line.reserve(frame.size() * 3);
    for (char c : frame) {
        const auto b = std::uint8_t(c);
        line += QLatin1Char(' ');
        line += QLatin1Char(hex2ascii(b >> 4));
        line += QLatin1Char(hex2ascii(b));
    }
    return line;
}

} // namespace zeltra::link
