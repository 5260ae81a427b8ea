#pragma once
#include <QString>

// Names of the steps the Edit menu shows after "Undo" and "Redo".
namespace zeltra::steps {

// "key 5: Loc-3": a function chosen for key 5 (0-based index 4).
QString keyFunction(int keyIndex, const QString& functionName);
// "key 5: Loc-3 timecode": what a key's function uses, edited through the key.
QString keyDetail(int keyIndex, const QString& functionName, const QString& what);
// "Cue Setup: Reset All": a command of a named window.
QString windowCommand(const QString& window, const QString& command);

} // namespace zeltra::steps
