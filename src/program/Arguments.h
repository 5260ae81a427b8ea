#pragma once
#include <QString>
#include <QStringList>

// The words the program is started with (less "--no-splash", which start-up takes first).
namespace zeltra::arguments {

// The link window's hex trace: the first word is exactly "d" or "D".
bool showsTrace(const QStringList& args);

// The layout to open at start: the first word that is neither that leading "d"/"D" nor an
// option ("-..."), made absolute against `workingDir`; empty when there is none.
QString layoutFile(const QStringList& args, const QString& workingDir);

} // namespace zeltra::arguments
