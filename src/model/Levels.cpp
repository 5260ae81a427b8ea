#include "model/Levels.h"

#include <cstdlib>

namespace zeltra::formats {

QString levelText(int value, int zero)
{
    const int v = value - zero;
    const int a = std::abs(v);
    return QStringLiteral("%1%2.%3dB").arg(v >= 0 ? QLatin1Char('+') : QLatin1Char('-')).arg(a / 2).arg((a % 2) * 5);
}

int gainOnOpen(int value, int maximum, int zero) { return value > maximum ? zero : value; }
int gainIncrease(int value, int maximum) { return value < maximum ? value + 1 : value; }
int gainDecrease(int value) { return value > 0 ? value - 1 : value; }

GainUse inputTrimUse() { return {QStringLiteral("Set Input Trim"), 30, 60}; }
GainUse stereoTrimUse() { return {QStringLiteral("Set Stereo Trim"), 0, 12}; }
GainUse monoTrimUse() { return {QStringLiteral("Set Mono Trim"), 0, 6}; }
GainUse outputTrimUse() { return {QStringLiteral("Set Output Trim"), 8, 16}; }
GainUse dimUse() { return {QStringLiteral("Set DIM cut"), 0, 80}; }

GainUse calibrateUse(int code)
{
    return {QStringLiteral("Set Calibrate ") + QChar(char16_t(code)) + QStringLiteral(" level"), 0, 240};
}

} // namespace zeltra::formats
