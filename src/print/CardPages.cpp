#include "print/CardPages.h"

namespace zeltra::card {

QList<Page> paginate(const QList<double>& heights, const QList<double>& continuation, double top,
                     double bottom)
{
    QList<Page> pages{Page{}};
    double y = top;
    for (qsizetype i = 0; i < heights.size(); ++i) {
        const double head = continuation.value(i);
        if (y + heights[i] > bottom && !pages.last().isEmpty()) {
            pages << Page{};
            y = top;
            if (head > 0) {
                pages.last() << Placed{int(i), y, true};
                y += head;
            }
        }
        pages.last() << Placed{int(i), y, false};
        y += heights[i];
    }
    return pages;
}

} // namespace zeltra::card
