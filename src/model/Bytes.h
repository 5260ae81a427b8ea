#pragma once
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <span>

// Typed access to little-endian, big-endian and length-prefixed fields of a byte image.
namespace zeltra::bytes {

inline std::int32_t readLE32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::int32_t(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
                        std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24);
}

inline void writeLE32(std::span<std::uint8_t> b, std::size_t at, std::int32_t value)
{
    auto v = std::uint32_t(value);
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}

inline std::uint16_t readBE16(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint16_t(b[at] << 8 | b[at + 1]);
}

inline void writeBE16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t value)
{
    b[at] = std::uint8_t(value >> 8);
    b[at + 1] = std::uint8_t(value);
}

// A short string: one length byte, then `capacity` character bytes. A length byte larger
// than the field never lets the read run past it.
inline QByteArray readShortString(std::span<const std::uint8_t> b, std::size_t at,
                                  std::size_t capacity)
{
    std::size_t len = std::min<std::size_t>(b[at], capacity);
    return QByteArray(reinterpret_cast<const char*>(b.data() + at + 1), qsizetype(len));
}

// Writes at most `capacity` bytes; returns false (and writes nothing) when text is longer.
// Character bytes past the new length are left as they were.
inline bool writeShortString(std::span<std::uint8_t> b, std::size_t at, std::size_t capacity,
                             const QByteArray& text)
{
    if (std::size_t(text.size()) > capacity)
        return false;
    b[at] = std::uint8_t(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        b[at + 1 + std::size_t(i)] = std::uint8_t(text[i]);
    return true;
}

} // namespace zeltra::bytes
