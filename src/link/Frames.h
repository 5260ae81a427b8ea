#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

// Frames on the keyboard line: byte 0 holds the frame class in its high nibble and the number
// of data bytes after byte 1 in its low nibble; the last byte is the sum of all others.
namespace zeltra::link {

constexpr int FrameBufferSize = 20;
constexpr int MinFrameLength = 3;
constexpr int MaxFrameLength = 18;
constexpr std::uint8_t CmdKeyPress = 0xB8;
constexpr std::uint8_t CmdJog = 0x11;
constexpr std::uint8_t CmdJogReverse = 0x21;
constexpr std::uint8_t CmdRead = 0xB2;
constexpr std::uint8_t CmdWrite = 0xB1;
constexpr int ReplyDataBytes = 8;
constexpr int ReplyLength = 13; // 1A B2 b a d0..d7 cs

// Total length of a frame whose first byte is `head`: 3..18.
constexpr int frameLength(std::uint8_t head)
{
    return (head & 0x0F) + 3;
}

std::uint8_t checksum(const QByteArray& bytes, int count);

// Stores the checksum after the bytes that byte 0 announces and cuts the frame to its length.
// The bytes must already hold the header, the command and the data bytes.
QByteArray sealFrame(QByteArray frame);

QByteArray keyPressFrame(std::uint8_t code);
// Forward for a positive speed, reverse or stop otherwise; the speed's low 8 bits are sent.
QByteArray jogFrame(int speed);
QByteArray readRequestFrame(std::uint8_t block, std::uint8_t address);
QByteArray writeRequestFrame(std::uint8_t block, std::uint8_t address, std::uint8_t value);

// The first bytes of the frames the keyboard sends: an acknowledgement (10 01 11) and a read
// reply (1A B2 ..). No other byte starts an answer.
constexpr std::uint8_t AckHead = 0x10;
constexpr std::uint8_t ReadReplyHead = 0x1A;
constexpr bool isReplyHead(std::uint8_t head)
{
    return head == AckHead || head == ReadReplyHead;
}

// A read reply: high nibble 1 in byte 0 and the read command in byte 1.
bool isReadReply(const QByteArray& frame);

// '0'..'9' for 0..9 and 'A'..'F' for 10..15.
char hex2ascii(int nibble);
// One trace line: every byte as a blank and two upper-case hex digits.
QString traceText(const QByteArray& frame);

} // namespace zeltra::link
