#pragma once
#include <QByteArray>
#include <QString>

// What Qt's JSON reader lets pass without a word, found in the document's text: a key given
// twice in one object (the reader keeps one of the values; a hand merge that left both must
// not silently lose the other) and raw control characters inside a string (not JSON).
namespace zeltra::layoutdoc {

// The first such fault of `text`, which Qt's reader has taken as valid JSON, as one line
// naming its place ("keys[0]: \"code\" given twice"); empty when there is none. `members`,
// when given, counts the object members the text holds, duplicates included.
QString strictFault(const QByteArray& text, qsizetype* members = nullptr);

} // namespace zeltra::layoutdoc
