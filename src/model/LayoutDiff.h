#pragma once
#include <QJsonObject>
#include <QStringList>

// Two layouts of one kind compared in words, one difference a line:
//   key 5: Bank -> Loc-3
//   cue 2: 01:02:03:04 -> 10:20:30:40
//   format 3 name: "StereoA4" -> "Dialog  "
// Both documents are as exportImage() makes them.
namespace zeltra::layoutdoc {

QStringList differences(const QJsonObject& a, const QJsonObject& b);

} // namespace zeltra::layoutdoc
