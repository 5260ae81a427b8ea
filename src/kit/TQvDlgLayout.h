#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Sizes and placement of the message dialog, free of any window.
namespace zeltra::dlg {

constexpr int ClientWidth = 318;
constexpr int BorderWidth = 8;
constexpr int TextX = 64;
constexpr int TextWidth = 241;    // message and prompt labels wrap at this width
constexpr int MinTextHeight = 41; // message and query labels are never lower
constexpr int EditWidth = 246;
constexpr int EditHeight = 21;
constexpr int EditGap = 13;          // between the prompt label's top and the edit
constexpr int BelowContents = 42;    // room for the buttons under a label or the edit
constexpr int MinPageHeight = 92;
constexpr int ButtonBottomGap = 10;  // buttons keep this distance to the page's bottom
constexpr int ButtonHeight = 20;
constexpr int PictureSize = 49;

enum PictureKind { DT_DEFAULT = 0, DT_NOENTRY = 1, DT_LOCK = 2 };

// The resource path of the picture for a kind byte; kinds other than 1 and 2 show the default.
QString picturePath(int kind);

// The dialog's top-left corner, centred on the owner's outer rectangle, or on the mouse
// pointer when there is no owner. Divisions truncate toward zero.
QPoint centredOn(const QRect& owner, QSize dialog);
QPoint centredAt(QPoint pointer, QSize dialog);

// Page height for a message or query whose label is `labelHeight` high.
int textPageHeight(int labelHeight);

struct EntryLayout {
    int editTop = 0;
    int pageHeight = 0;
};
// The text entry page below a prompt label `promptHeight` high.
EntryLayout entryLayout(int promptHeight);

// The top of a page's buttons, anchored to the bottom of the page.
inline int buttonTop(int pageHeight) { return pageHeight - ButtonBottomGap - ButtonHeight; }

} // namespace zeltra::dlg
