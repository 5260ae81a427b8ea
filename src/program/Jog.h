#pragma once
#include <QPoint>
#include <QRect>

// The on-screen jog wheel: the value a drag sends and where the animated knob sits.
namespace zeltra::jog {

constexpr int Limit = 100;

// Distance of the cursor from the press point, clamped to -100..100.
int value(int cursorX, int originX);

// Turns the knob by one tick of `v`: the angle falls by v * 0.015 and wraps to 0 above 2 pi
// (there is no lower wrap).
long double turn(long double angle, int v);

// Top-left of a knob of `knobWidth` on `wheel` at `angle`, rounded half to even.
QPoint knobPosition(const QRect& wheel, int knobWidth, long double angle);

} // namespace zeltra::jog
