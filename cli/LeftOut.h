#pragma once
#include "link/BlockTables.h"
#include "model/LayoutData.h"

#include <QList>
#include <QString>
#include <QStringList>

// The bytes an upload read but could not place in its backup, in words: each byte with the
// time or slot it belongs to, and what the file holds there instead.
namespace zeltra::cli {

// Each refused byte once (the last reading of it), in the order first read.
QList<link::RefusedByte> distinctRefused(const QList<link::RefusedByte>& refused);

// A line a byte: "block 5 address 0: the keyboard's FF is not a timecode digit pair; cue 1
// keeps the file's own 01". `kept` is the layout as saved; `newFile` says the backup is new,
// so what it keeps is its default.
QStringList leftOutLines(const QList<link::RefusedByte>& refused, const LayoutData& kept,
                         bool newFile);

// The closing line: how many bytes are missing and which times in `file` are not the
// keyboard's.
QString incompleteLine(const QList<link::RefusedByte>& refused, const QString& file, bool newFile);

} // namespace zeltra::cli
