#pragma once
#include "model/Colours.h"

#include <QColor>

inline QColor toQColor(zeltra::Colour c)
{
    return QColor(zeltra::colourRed(c), zeltra::colourGreen(c), zeltra::colourBlue(c));
}

inline zeltra::Colour fromQColor(const QColor& c)
{
    return zeltra::rgbColour(c.red(), c.green(), c.blue());
}
