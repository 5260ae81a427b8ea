#pragma once
#include "model/Images.h"

#include <array>
#include <cstdint>

// The 22 keys as they sit on the keyboard, and the functions they carry by default.
namespace zeltra {

struct KeyPlace {
    int left;
    int top;
    int size;      // keys are square
    bool topRow;   // group T (key1..key10) or L (key11..key22)
};

constexpr int TopKeySize = 65;
constexpr int LowerKeySize = 75;

constexpr std::array<KeyPlace, KeyCount> KeyPlaces{{
    {611, 0, TopKeySize, true},    {0, 0, TopKeySize, true},      {65, 0, TopKeySize, true},
    {130, 0, TopKeySize, true},    {195, 0, TopKeySize, true},    {260, 0, TopKeySize, true},
    {325, 0, TopKeySize, true},    {390, 0, TopKeySize, true},    {455, 0, TopKeySize, true},
    {546, 0, TopKeySize, true},    {1, 92, LowerKeySize, false},  {76, 92, LowerKeySize, false},
    {151, 92, LowerKeySize, false}, {226, 92, LowerKeySize, false}, {301, 92, LowerKeySize, false},
    {406, 92, LowerKeySize, false}, {1, 197, LowerKeySize, false}, {76, 197, LowerKeySize, false},
    {151, 197, LowerKeySize, false}, {226, 197, LowerKeySize, false},
    {301, 197, LowerKeySize, false}, {406, 197, LowerKeySize, false},
}};

constexpr std::array<std::uint8_t, KeyCount> McnDefaultKeys{
    69, 192, 193, 194, 195, 196, 197, 198, 199, 70, 133,
    131, 128, 71, 137, 73, 68, 66, 64, 65, 67, 72};

constexpr std::array<std::uint8_t, KeyCount> MonDefaultKeys{
    66, 80, 81, 82, 83, 84, 85, 86, 87, 65, 46, 47, 33, 53, 54, 1, 48, 49, 50, 51, 52, 2};

// Default code of key index i (0..21) for a keyboard kind; 0 for a kind without defaults.
constexpr std::uint8_t defaultKeyCode(std::int32_t kbdType, int i)
{
    if (kbdType == KbdMachine)
        return McnDefaultKeys[std::size_t(i)];
    if (kbdType == KbdMonitor)
        return MonDefaultKeys[std::size_t(i)];
    return 0;
}

} // namespace zeltra
