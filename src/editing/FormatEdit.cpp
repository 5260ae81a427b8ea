#include "editing/FormatEdit.h"

#include "editing/FormatPresets.h"

namespace zeltra::formats {

namespace {
std::uint8_t withBit(std::uint8_t mask, int bit, bool on)
{
    const auto b = std::uint8_t(1u << (bit & 7));
    return on ? std::uint8_t(mask | b) : std::uint8_t(mask & ~b);
}

void multiCaptions(const FormatFields& f, InputCaptions& c)
{
    c[0] = QStringLiteral("1:Left");
    c[1] = f.order == OrderLCR ? QStringLiteral("2:Centre") : QStringLiteral("2:Right");
    c[2] = f.order == OrderLCR ? QStringLiteral("3:Right") : QStringLiteral("3:Centre");
    c[3] = f.imax ? QStringLiteral("Top") : QStringLiteral("LFE");
    c[4] = QStringLiteral("5:");
    c[5] = QStringLiteral("6:");
    c[6] = QStringLiteral("7:");
    c[7] = QStringLiteral("8:");
    if (f.surround == SurroundMono)
        c[4] = QStringLiteral("5: Surround");
    if (f.surround >= SurroundStereo && f.surround <= SurroundLBBR) {
        c[4] = QStringLiteral("5: Left Sur");
        c[5] = QStringLiteral("6: Right Sur");
    }
    if (f.surround == SurroundLBR)
        c[6] = QStringLiteral("7: Sur Back");
    if (f.surround == SurroundLBBR) {
        c[6] = QStringLiteral("7: Left Back");
        c[7] = QStringLiteral("8: Right Back");
    }
    if (f.lrExtra) {
        c[6] = QStringLiteral("7: Left Extra");
        c[7] = QStringLiteral("8: Right Extra");
    }
}
} // namespace

InputCaptions inputCaptions(const FormatFields& f)
{
    InputCaptions c;
    if (f.inputType == InputStereo) {
        c = {QStringLiteral("1:left 1"), QStringLiteral("2:Right 1"), QStringLiteral("3:Left 2"),
             QStringLiteral("4:Right 2"), QStringLiteral("5:Left 3"), QStringLiteral("6:Right 3"),
             QStringLiteral("7:Left 4"), QStringLiteral("8:Right 4")};
        return c;
    }
    multiCaptions(f, c);
    return c;
}

void FormatEdit::open(const MonitorImage& img, int entry)
{
    entry_ = entry;
    opened_ = readRecord(img, entry);
    fields_ = unpackFields(opened_);
    name = shownName(opened_);
    inputTrim = opened_[rec::InputTrim];
    stereoTrim = opened_[rec::StereoTrim];
    monoTrim.reset();
    tv_ = false;
    setiocaption();
}

RecordBytes FormatEdit::result() const
{
    RecordBytes r = opened_;
    writeName(r, storedName(name, entry_));
    packFields(fields_, r);
    r[rec::InputTrim] = std::uint8_t(inputTrim);
    r[rec::StereoTrim] = std::uint8_t(stereoTrim);
    return r;
}

// With IMAX on a multichannel input, input 4 is the top channel and the sub-woofer takes
// the low-passed sum.
void FormatEdit::setiocaption()
{
    if (fields_.inputType == InputMulti && fields_.imax)
        fields_.source = SourceSumLP;
}

void FormatEdit::sourceGainRule()
{
    fields_.gain = fields_.source <= SourceLFELP ? GainMinus10dB : Gain0dB;
}

void FormatEdit::chooseInputType(int type)
{
    fields_.inputType = type & 1;
    setiocaption();
}

void FormatEdit::chooseStereoPair(int pair)
{
    fields_.stereoPair = pair & 3;
    fields_.inputMask = std::uint8_t(0x03 << (2 * fields_.stereoPair));
}

void FormatEdit::chooseOrder(int order)
{
    fields_.order = order & 1;
    setiocaption();
}

void FormatEdit::chooseSurround(int surround)
{
    fields_.surround = surround & 7;
    setiocaption();
}

void FormatEdit::chooseSource(int source)
{
    fields_.source = source & 3;
    setiocaption();
    sourceGainRule();
}

void FormatEdit::setImax(bool on)
{
    fields_.imax = on;
    setiocaption();
}

void FormatEdit::setLrExtra(bool on)
{
    fields_.lrExtra = on;
    setiocaption();
}

void FormatEdit::setTv(bool on)
{
    tv_ = on;
    if (on)
        fields_.imax = false;
    else
        sourceGainRule();
    setiocaption();
}

void FormatEdit::setInput(int bit, bool on) { fields_.inputMask = withBit(fields_.inputMask, bit, on); }

void FormatEdit::setOutput(int index, bool on)
{
    if (index < 8)
        fields_.outputMask1 = withBit(fields_.outputMask1, index, on);
    else
        fields_.outputMask2 = withBit(fields_.outputMask2, index - 8, on);
}

void FormatEdit::choosePreset(int index)
{
    if (index < 0 || index >= PresetCount)
        return;
    fields_ = applyPreset(fields_, index);
    name = QString::fromLatin1(Presets[std::size_t(index)].name);
    setiocaption();
}

} // namespace zeltra::formats
