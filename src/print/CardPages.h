#pragma once
#include <QList>

// Pages of a printed card: pieces of known height placed from the top of the body down, a
// new page where the next piece does not fit. A piece that opens a page in the middle of a
// table is preceded by that table's head again (its "continuation").
namespace zeltra::card {

struct Placed {
    int piece = 0;
    double top = 0;
    bool continued = false; // the table head repeated before the piece
    bool operator==(const Placed&) const = default;
};
using Page = QList<Placed>;

// `heights[i]` is piece i's height, `continuation[i]` the height of the head repeated before
// it when it opens a page (0: none). The body runs from `top` to `bottom`. A piece taller
// than the body gets a page of its own.
QList<Page> paginate(const QList<double>& heights, const QList<double>& continuation, double top,
                     double bottom);

} // namespace zeltra::card
