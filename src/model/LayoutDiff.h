#pragma once
#include <QJsonObject>
#include <QStringList>

// Two layouts of one kind compared in words, one difference a line:
//   key 5: Bank -> Loc-3
//   cue 2: 01:02:03:04 -> 10:20:30:40
//   format 3 name: "StereoA4" -> "Dialog  "
// Both documents are as exportImage() makes them.
namespace zeltra::layoutdoc {

// One difference as a record: the document section ("keys", "cues", "unitConfig",
// "unnamedBytes", ...), the entry in it (its index, macro letter or key name; null for a
// section that is one field; the offset for an unnamed byte), the field, both values as told,
// and the line that tells it.
struct Difference {
    QString section;
    QJsonValue item;
    QString field;
    QString from;
    QString to;
    QString text;
};

QList<Difference> differenceRecords(const QJsonObject& a, const QJsonObject& b);
QStringList differences(const QJsonObject& a, const QJsonObject& b);

} // namespace zeltra::layoutdoc
