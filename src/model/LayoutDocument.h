#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QString>

// A layout image as a JSON document a person can read, edit and keep in version control, and
// back. Every byte has a place: named fields in words where the program knows the byte's
// meaning, and the bytes no named field covers as hex under "unnamedBytes", so exporting and
// importing gives back the image byte for byte. On import a named field wins over the raw
// bytes it covers; fields that only repeat what other fields say ("function", "clip",
// levels) may be left out, and when present they must agree.
namespace zeltra::layoutdoc {

constexpr int DocumentFormat = 1;
constexpr qint64 MaxDocumentBytes = 1024 * 1024;

// The kind of an image as a layout file holds it: 0 for 484 bytes starting with 0, 1 for 364
// bytes starting with 1, -1 for anything else.
int imageKind(const QByteArray& image);

// The document of an image of either kind; an empty object for anything else.
QJsonObject exportImage(const QByteArray& image);
// The document as text: stable key order, two-space indent, a final line break.
QByteArray documentText(const QJsonObject& document);

struct Imported {
    QByteArray image; // empty when the document is not valid
    QString error;    // one line: "keys[4].code: 300 is not a byte"
    bool ok() const { return error.isEmpty(); }
};
Imported importDocument(const QByteArray& text);

} // namespace zeltra::layoutdoc
