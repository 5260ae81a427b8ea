#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// The keyboard's side of the line, without the line: what it stores and what it answers.
namespace zeltra::emu {

constexpr int BlockCount = 16;
constexpr int BlockBytes = 256;
constexpr std::uint8_t ErasedByte = 0xFF;

// The keyboard's EEPROM: one 256-byte page per block number 0..15.
struct Eeprom {
    std::array<std::array<std::uint8_t, BlockBytes>, BlockCount> blocks{};

    explicit Eeprom(std::uint8_t fill = ErasedByte);
    // Bytes outside the EEPROM read as 0 and are never written.
    std::uint8_t at(int block, int address) const;
    bool store(int block, int address, std::uint8_t value);

    // The whole EEPROM as a file holds it: block 0 first, 4096 bytes.
    QByteArray toBytes() const;
    // Nothing when the bytes are not exactly one EEPROM.
    static std::optional<Eeprom> fromBytes(const QByteArray& bytes);
    bool operator==(const Eeprom&) const = default;
};

// How the keyboard answers.
enum class AnswerMode {
    Normal,  // acknowledge writes, keys and jogs; answer reads with their data
    Silent,  // answer nothing
    AckOnly, // acknowledge everything, reads included: port A is not taking commands
    WrongAddress, // answer reads with a well-formed reply for the address 8 further on
};

// Stores every nth written byte wrongly (its bits inverted), so a verify has something to
// find; 0 stores every byte as sent.
struct Corruption {
    int every = 0;
    int writes = 0;
    std::uint8_t apply(std::uint8_t value);
};

// The acknowledgement frame 10 01 11.
QByteArray ackFrame();

// The answer to one request frame (checksum already checked); a write changes `eeprom`.
QList<QByteArray> respond(const QByteArray& request, Eeprom& eeprom, AnswerMode mode,
                          Corruption* corruption = nullptr);

// Pieces of `bytes` at most `size` long (the whole when size <= 0).
QList<QByteArray> splitBytes(const QByteArray& bytes, int size);

// Reads a hex byte string such as "00", "0F 00" or "0f00"; nothing when it is not one.
std::optional<QByteArray> parseHexBytes(const QString& text);

} // namespace zeltra::emu
