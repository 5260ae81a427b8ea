#include "program/Jog.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zeltra::jog {

namespace {
// Round half to even, whatever rounding mode the process runs in.
long roundEven(long double x)
{
    const long double f = std::floor(x);
    const long double diff = x - f;
    if (diff < 0.5L)
        return long(f);
    if (diff > 0.5L)
        return long(f) + 1;
    return (long(f) % 2 == 0) ? long(f) : long(f) + 1;
}
} // namespace

int value(int cursorX, int originX)
{
    const long long d = static_cast<long long>(cursorX) - originX;
    return int(std::clamp<long long>(d, -Limit, Limit));
}

long double turn(long double angle, int v)
{
    angle -= static_cast<long double>(v) * 0.015L;
    if (angle > 2 * std::numbers::pi_v<long double>)
        angle = 0;
    return angle;
}

QPoint knobPosition(const QRect& wheel, int knobWidth, long double angle)
{
    const long r = roundEven((wheel.width() - knobWidth) / 2.0L);
    const long dx = roundEven(std::sin(angle) * static_cast<long double>(r - 5));
    const long dy = roundEven(std::cos(angle) * static_cast<long double>(r - 5));
    return {int(wheel.left() + r - dx), int(wheel.top() + r - dy)};
}

} // namespace zeltra::jog
