#pragma once
#include <QString>
#include <QStringList>

// The layouts last opened or saved, newest first, as "File" > "Recent" lists them.
namespace zeltra::recent {

constexpr int MaxFiles = 8;
// A stored path longer than this is not a path this program wrote.
constexpr int MaxPathLength = 4096;

// The list with `path` at its head, once, cut to MaxFiles. A path that could not be stored
// as one settings line leaves the list as it was.
QStringList added(const QStringList& list, const QString& path);

// The list as read from stored values (in order): empty, over-long and multi-line values and
// repeats are dropped, and at most MaxFiles are kept.
QStringList cleaned(const QStringList& stored);

// Key of the n-th entry (0-based) in the settings file: "File1".."File8".
QString keyOf(int n);

} // namespace zeltra::recent
