#pragma once
#include "model/Colours.h"
#include "model/Images.h"
#include "model/LayoutData.h"

#include <QString>
#include <optional>

// What a key shows for the function code it carries.
namespace zeltra {

struct KeyFace {
    QString caption;
    Colour fill = 0;
    Colour text = 0;
    QString hint;
    int row = 0; // the row of the function table it resolved to
};

// Lit text colour for a lit fill: black on lime, blue on yellow, white on everything else.
Colour litTextColour(Colour fill);

// "$40:- Stop": the entry's code as two upper-case hex digits and its description.
QString functionHint(int code, const char* description);

// The face of a key with `code` in the table of `listKind`; an unknown code gives row 0.
KeyFace keyFace(int listKind, int code);

// Format-memory keys (codes 48..63) on a monitor keyboard show the name of the format record
// assigned to their slot: slot code-48, or code-40 while the shift layer is shown. Returns
// nothing when the code is no format-memory key, when the shifted slot lies outside the
// sixteen slots (codes 56..63 shifted use their unshifted slot) or when the slot holds no
// valid record number (0..15).
std::optional<QString> formatMemoryCaption(const MonitorImage& img, int code, bool shifted);

// FormatAssign slot a format-memory key edits or shows; -1 when none.
int formatSlot(int code, bool shifted);

// What key `key` (0..21) shows for the layout: the face of the code the image of the working
// kind holds for it, with the name of its format record on a monitor format-memory key (of
// the layer shown) and the macro's caption on a machine macro key. Nothing for a kind without
// an image.
std::optional<KeyFace> keyShown(const LayoutData& layout, int key, bool shifted);

} // namespace zeltra
