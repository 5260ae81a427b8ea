#pragma once
#include "print/LayoutCard.h"

#include <QString>

class QPagedPaintDevice;

// Lays a layout card out on pages and paints it: the window's print preview and printer, and
// the command line's PDF, all through this one piece of code.
namespace zeltra::card {

struct Header {
    QString file; // the layout's file name, or a word for a layout without one
    QString date;
};

// Paints `card` on `device`, inside its paint rectangle (the page less its margins): the
// header with the file and the date, the keyboard picture, then the tables, continued on the
// next page where they do not fit, and "Page N of M" in the footer. Returns the page count,
// 0 when the device could not be painted on.
int paintCard(const Card& card, const Header& header, QPagedPaintDevice& device);

} // namespace zeltra::card
