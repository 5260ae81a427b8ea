#include "EmuCore.h"

#include "link/Frames.h"

namespace zeltra::emu {

using namespace zeltra::link;

Eeprom::Eeprom(std::uint8_t fill)
{
    for (auto& block : blocks)
        block.fill(fill);
}

std::uint8_t Eeprom::at(int block, int address) const
{
    if (block < 0 || block >= BlockCount || address < 0 || address >= BlockBytes)
        return 0;
    return blocks[std::size_t(block)][std::size_t(address)];
}

bool Eeprom::store(int block, int address, std::uint8_t value)
{
    if (block < 0 || block >= BlockCount || address < 0 || address >= BlockBytes)
        return false;
    blocks[std::size_t(block)][std::size_t(address)] = value;
    return true;
}

QByteArray Eeprom::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(BlockCount * BlockBytes);
    for (const auto& block : blocks)
        bytes.append(reinterpret_cast<const char*>(block.data()), BlockBytes);
    return bytes;
}

std::optional<Eeprom> Eeprom::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() != BlockCount * BlockBytes)
        return std::nullopt;
    Eeprom eeprom;
    for (int i = 0; i < bytes.size(); ++i)
        eeprom.blocks[std::size_t(i / BlockBytes)][std::size_t(i % BlockBytes)] =
            std::uint8_t(bytes[i]);
    return eeprom;
}

QByteArray ackFrame()
{
    return sealFrame(QByteArray("\x10\x01", 2));
}

static QByteArray readReply(const Eeprom& eeprom, std::uint8_t block, std::uint8_t address)
{
    QByteArray reply;
    reply.append(char(0x1A)).append(char(CmdRead)).append(char(block)).append(char(address));
    for (int i = 0; i < ReplyDataBytes; ++i)
        reply.append(char(eeprom.at(block, address + i)));
    return sealFrame(reply);
}

std::uint8_t Corruption::apply(std::uint8_t value)
{
    if (every <= 0 || ++writes % every != 0)
        return value;
    return std::uint8_t(~value);
}

QList<QByteArray> respond(const QByteArray& request, Eeprom& eeprom, AnswerMode mode,
                          Corruption* corruption)
{
    if (mode == AnswerMode::Silent || request.size() < MinFrameLength)
        return {};
    const auto* b = reinterpret_cast<const std::uint8_t*>(request.constData());
    const int dataBytes = b[0] & 0x0F;
    const std::uint8_t command = b[1];
    if (command == CmdWrite && dataBytes >= 3)
        eeprom.store(b[2], b[3], corruption ? corruption->apply(b[4]) : b[4]);
    if (command == CmdRead && dataBytes >= 2 && mode == AnswerMode::Normal)
        return {readReply(eeprom, b[2], b[3])};
    if (command == CmdRead && dataBytes >= 2 && mode == AnswerMode::WrongAddress)
        return {readReply(eeprom, b[2], std::uint8_t(b[3] + ReplyDataBytes))};
    return {ackFrame()};
}

QList<QByteArray> splitBytes(const QByteArray& bytes, int size)
{
    if (size <= 0 || size >= bytes.size())
        return {bytes};
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < bytes.size(); at += size)
        pieces << bytes.mid(at, size);
    return pieces;
}

std::optional<QByteArray> parseHexBytes(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    if (digits.size() % 2 != 0)
        return std::nullopt;
    auto nibble = [](QChar c) {
        const int v = QStringView(QStringLiteral("0123456789abcdef")).indexOf(c.toLower());
        return v;
    };
    QByteArray bytes;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int high = nibble(digits[i]);
        const int low = nibble(digits[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(char(high * 16 + low));
    }
    return bytes;
}

} // namespace zeltra::emu
