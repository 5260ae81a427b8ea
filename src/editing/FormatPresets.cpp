#include "editing/FormatPresets.h"

namespace zeltra::formats {

namespace {
constexpr int None = NoStereoPair;
constexpr int Multi = InputMulti;
constexpr int Stereo = InputStereo;
constexpr int LRC = OrderLRC;
constexpr int LCR = OrderLCR;
} // namespace

// Every preset first resets: no stereo pair, Multi, LRC, no L&R extra, no IMAX, LFE, gain Off.
// "LRCS" is "LCRS" with the centre input third.
const std::array<Preset, PresetCount> Presets{{
    // name      pair  type    order surround        lre    imax   source       gain           in    out1  out2
    {"Mono",     0,    Stereo, LRC, SurroundOff,    false, false, SourceLFE,   GainOff,       0x01, 0x04, 0x00},
    {"Stereo",   0,    Stereo, LRC, SurroundOff,    false, false, SourceLFE,   GainOff,       0x03, 0x03, 0x00},
    {"LCRS",     None, Multi,  LCR, SurroundMono,   false, false, SourceLFE,   GainOff,       0x17, 0xF7, 0x00},
    {"LCRlre",   None, Multi,  LCR, SurroundStereo, false, false, SourceLFE,   GainMinus10dB, 0x3F, 0xFF, 0x00},
    {"Dolby",    None, Multi,  LRC, SurroundStereo, false, false, SourceLFE,   GainMinus10dB, 0x3F, 0xFF, 0x00},
    {"DTS",      None, Multi,  LRC, SurroundStereo, false, false, SourceLFE,   GainMinus10dB, 0x3F, 0xFF, 0x00},
    {"DolbyEx",  None, Multi,  LRC, SurroundLBBR,   false, false, SourceLFE,   GainMinus10dB, 0xFF, 0xFF, 0x00},
    {"DTS ES",   None, Multi,  LRC, SurroundLBBR,   false, false, SourceLFE,   GainMinus10dB, 0xFF, 0xFF, 0x00},
    {"Music",    None, Multi,  LRC, SurroundStereo, false, false, SourceSum,   Gain0dB,       0x33, 0xFF, 0x00},
    {"SDDS",     None, Multi,  LRC, SurroundStereo, true,  false, SourceLFE,   GainMinus10dB, 0xFF, 0xFF, 0xC0},
    {"IMAX",     None, Multi,  LRC, SurroundStereo, false, true,  SourceSumLP, Gain0dB,       0xFF, 0xFF, 0xC4},
    {"LRCS",     None, Multi,  LRC, SurroundMono,   false, false, SourceLFE,   GainOff,       0x17, 0xF7, 0x00},
}};

FormatFields applyPreset(const FormatFields& current, int index)
{
    const Preset& p = Presets.at(std::size_t(index));
    FormatFields f;
    f.input = current.input;
    f.stereoPair = p.stereoPair;
    f.inputType = p.inputType;
    f.order = p.order;
    f.surround = p.surround;
    f.lrExtra = p.lrExtra;
    f.imax = p.imax;
    f.source = p.source;
    f.gain = p.gain;
    f.inputMask = p.inputMask;
    f.outputMask1 = p.outputMask1;
    f.outputMask2 = p.outputMask2;
    return f;
}

} // namespace zeltra::formats
