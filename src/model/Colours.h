#pragma once
#include <cstdint>

// Colours are 0x00BBGGRR values: red in the lowest byte, blue in the third.
namespace zeltra {

using Colour = std::uint32_t;

constexpr Colour rgbColour(int r, int g, int b)
{
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}
constexpr int colourRed(Colour c) { return int(c & 0xFF); }
constexpr int colourGreen(Colour c) { return int((c >> 8) & 0xFF); }
constexpr int colourBlue(Colour c) { return int((c >> 16) & 0xFF); }

constexpr Colour clSilver = rgbColour(0xC0, 0xC0, 0xC0);
constexpr Colour clBlue = rgbColour(0x00, 0x00, 0xFF);
constexpr Colour clRed = rgbColour(0xFF, 0x00, 0x00);
constexpr Colour clLime = rgbColour(0x00, 0xFF, 0x00);
constexpr Colour clTeal = rgbColour(0x00, 0x80, 0x80);
constexpr Colour clOlive = rgbColour(0x80, 0x80, 0x00);
constexpr Colour clGreen = rgbColour(0x00, 0x80, 0x00);
constexpr Colour clGray = rgbColour(0x80, 0x80, 0x80);
constexpr Colour clYellow = rgbColour(0xFF, 0xFF, 0x00);
constexpr Colour clFuchsia = rgbColour(0xFF, 0x00, 0xFF);
constexpr Colour clNavy = rgbColour(0x00, 0x00, 0x80);
constexpr Colour clMaroon = rgbColour(0x80, 0x00, 0x00);
constexpr Colour clBlack = rgbColour(0x00, 0x00, 0x00);
constexpr Colour clWhite = rgbColour(0xFF, 0xFF, 0xFF);

} // namespace zeltra
