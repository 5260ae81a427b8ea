#pragma once
#include <QImage>
#include <QString>

class QWidget;

// The main window's picture for "Export JPEG".
namespace zeltra::side {

// The whole window as it is on screen: on X11 the screen rectangle of its frame (title bar,
// border and menu included, and whatever overlaps it). Where the screen cannot be read
// (Wayland, offscreen) the window's own rendering, which has no frame.
QImage grabOuterWindow(QWidget* window);

// Writes `picture` as a baseline colour JPEG of quality 90, replacing `path` only when the
// whole file is written. Returns the reason of a failure, empty on success.
QString writeJpeg(const QImage& picture, const QString& path);

} // namespace zeltra::side
