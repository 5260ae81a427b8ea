#pragma once
#include "model/FormatRecord.h"

#include <array>

// The editor's preset list: each row is what a preset leaves in the fields (after the common
// reset and the reactions it sets off) and its three masks. The input (A..H), the trims and
// the spare byte are never touched by a preset.
namespace zeltra::formats {

struct Preset {
    const char* name; // also the name the format gets
    int stereoPair;
    int inputType;
    int order;
    int surround;
    bool lrExtra;
    bool imax;
    int source;
    int gain;
    std::uint8_t inputMask;
    std::uint8_t outputMask1;
    std::uint8_t outputMask2;
};

constexpr int PresetCount = 12;
extern const std::array<Preset, PresetCount> Presets;

// The fields after choosing preset `index`; `input` is kept from `current`.
FormatFields applyPreset(const FormatFields& current, int index);

} // namespace zeltra::formats
