#include "editor/JpegExport.h"

#include "model/SafeFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace zeltra::side {

QImage grabOuterWindow(QWidget* window)
{
    const QRect frame = window->frameGeometry();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (QScreen* screen = window->screen()) {
            // Screen coordinates relative to the screen's own origin.
            const QPoint at = frame.topLeft() - screen->geometry().topLeft();
            const QPixmap shot = screen->grabWindow(0, at.x(), at.y(), frame.width(), frame.height());
            if (!shot.isNull())
                return shot.toImage();
        }
    }
    return window->grab().toImage();
}

QString writeJpeg(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        return QStringLiteral("The window could not be read.");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false); // baseline
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32)))
        return writer.errorString();
    return safefile::writeAtomic(path, bytes);
}

} // namespace zeltra::side
