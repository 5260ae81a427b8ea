#pragma once
#include "model/Colours.h"
#include "model/Images.h"

#include <QString>
#include <array>

// Everything an edit of the layout can change: both images and what each key carries and
// shows. Undoing an edit puts a whole snapshot back, so undo is exact by construction.
namespace zeltra {

struct KeyShown {
    int code = 0;
    QString caption;
    Colour fill = 0;
    Colour text = 0;
    QString hint;
    bool operator==(const KeyShown&) const = default;
};

struct LayoutSnapshot {
    MachineImage mcn;
    MonitorImage mon;
    std::array<KeyShown, KeyCount> keys;
    bool shifted = false; // the shift layer of a monitor keyboard is shown
    bool operator==(const LayoutSnapshot&) const = default;
    // The same images, key codes and layer: what the keys show follows from these, so a
    // caption that was merely redrawn is no edit.
    bool sameLayout(const LayoutSnapshot& other) const;
};

namespace steps {
// Names of the steps the Edit menu shows after "Undo" and "Redo".
// "key 5: Loc-3": a function chosen for key 5 (0-based index 4).
QString keyFunction(int keyIndex, const QString& functionName);
// "key 5: Loc-3 timecode": what a key's function uses, edited through the key.
QString keyDetail(int keyIndex, const QString& functionName, const QString& what);
// "Cue Setup: Reset All": a command of a named window.
QString windowCommand(const QString& window, const QString& command);
} // namespace steps

} // namespace zeltra
