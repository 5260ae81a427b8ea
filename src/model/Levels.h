#pragma once
#include <QString>

// Levels and trims in 0.5 dB steps, as the gain dialog and the trim buttons show them.
namespace zeltra::formats {

// (value - zero) * 0.5 dB: "+0.0dB" for value == zero, "-1.5dB" three steps below.
QString levelText(int value, int zero);

// The value a gain dialog starts from: one above `maximum` falls back to the zero point.
int gainOnOpen(int value, int maximum, int zero);
int gainIncrease(int value, int maximum);
int gainDecrease(int value);

// Title, zero point and maximum of one use of the gain dialog.
struct GainUse {
    QString title;
    int zero;
    int maximum;
};
GainUse inputTrimUse();
GainUse stereoTrimUse();
GainUse monoTrimUse();
GainUse outputTrimUse();
GainUse dimUse();
// Calibrated level for a key code 65..68 ("Cal-A".."Cal-D").
GainUse calibrateUse(int code);

} // namespace zeltra::formats
