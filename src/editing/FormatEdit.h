#pragma once
#include "model/FormatRecord.h"

#include <QString>
#include <array>
#include <optional>

// The format editor's working state for one entry, free of any window: the fields of the
// entry, the reactions between them, the input captions and the bytes OK stores.
namespace zeltra::formats {

constexpr int InputCount = 8;
using InputCaptions = std::array<QString, InputCount>;

// Captions of the eight input check boxes for the fields (the stereo pairs, or the
// multichannel inputs by order, surround, L&R extra and IMAX).
InputCaptions inputCaptions(const FormatFields& f);

class FormatEdit {
public:
    void open(const MonitorImage& img, int entry);
    // The record OK stores: name rule, bytes 9..13 from the fields, the trims; the spare
    // byte 14 as it was.
    RecordBytes result() const;
    void store(MonitorImage& img) const { writeRecord(img, entry_, result()); }

    int entry() const { return entry_; }
    QString caption() const { return QStringLiteral("Set format %1").arg(entry_ + 1); }
    const FormatFields& fields() const { return fields_; }
    bool tv() const { return tv_; }
    bool stereoPanelVisible() const { return fields_.inputType == InputStereo; }
    InputCaptions captions() const { return inputCaptions(fields_); }

    QString name;
    int inputTrim = 0;
    int stereoTrim = 0;
    std::optional<int> monoTrim; // shown only; the record has no place for it

    void chooseInput(int input) { fields_.input = input & 7; }
    void chooseInputType(int type);
    void chooseStereoPair(int pair);
    void chooseOrder(int order);
    void chooseSurround(int surround);
    void chooseSource(int source);
    void chooseGain(int gain) { fields_.gain = gain & 3; }
    void setImax(bool on);
    void setLrExtra(bool on);
    void setTv(bool on);
    void setInput(int bit, bool on);
    // Outputs 0..7 are output mask 1, 8..15 output mask 2.
    void setOutput(int index, bool on);
    void choosePreset(int index);

private:
    void setiocaption();
    void sourceGainRule();

    int entry_ = 0;
    FormatFields fields_;
    bool tv_ = false;
    RecordBytes opened_{};
};

} // namespace zeltra::formats
