#include "kit/TQvDlgLayout.h"

#include <algorithm>

namespace zeltra::dlg {

QString picturePath(int kind)
{
    switch (kind) {
    case DT_NOENTRY:
        return QStringLiteral(":/kit/pictures/DT_NOENTRY.png");
    case DT_LOCK:
        return QStringLiteral(":/kit/pictures/DT_LOCK.png");
    default:
        return QStringLiteral(":/kit/pictures/DT_DEFAULT.png");
    }
}

QPoint centredOn(const QRect& owner, QSize dialog)
{
    return {owner.left() + (owner.width() - dialog.width()) / 2,
            owner.top() + (owner.height() - dialog.height()) / 2};
}

QPoint centredAt(QPoint pointer, QSize dialog)
{
    return {pointer.x() - dialog.width() / 2, pointer.y() - dialog.height() / 2};
}

int textPageHeight(int labelHeight) { return std::max(labelHeight + BelowContents, MinPageHeight); }

EntryLayout entryLayout(int promptHeight)
{
    EntryLayout layout;
    layout.editTop = promptHeight + EditGap;
    layout.pageHeight = std::max(layout.editTop + EditHeight + BelowContents, MinPageHeight);
    return layout;
}

} // namespace zeltra::dlg
