// Draws the message dialog's three 49 x 49 pictures into the current folder. The PNGs are
// kept in the repository; run this only to change them:
//   g++ -std=c++20 -fPIC draw_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw_pictures
//   QT_QPA_PLATFORM=offscreen /tmp/draw_pictures
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Size = 49;

QImage blank()
{
    QImage image(Size, Size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void disc(QPainter& p, QColor face, QColor rim)
{
    QRadialGradient shade(QPointF(18, 16), 34);
    shade.setColorAt(0, face.lighter(140));
    shade.setColorAt(1, face);
    p.setPen(QPen(rim, 2));
    p.setBrush(shade);
    p.drawEllipse(QRectF(2.5, 2.5, 44, 44));
}

QImage information()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    disc(p, QColor(0x1f, 0x5f, 0xbf), QColor(0x0b, 0x2f, 0x6f));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(20.5, 9.5, 8, 8));
    p.drawRoundedRect(QRectF(20.5, 20.5, 8, 19), 2, 2);
    return image;
}

QImage noEntry()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    disc(p, QColor(0xcf, 0x1f, 0x1f), QColor(0x6f, 0x0b, 0x0b));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(9.5, 20.5, 30, 8), 2, 2);
    return image;
}

QImage padlock()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x70, 0x70, 0x78), 5, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    shackle.moveTo(14.5, 24);
    shackle.lineTo(14.5, 16);
    shackle.arcTo(QRectF(14.5, 4.5, 20, 23), 180, -180);
    shackle.lineTo(34.5, 24);
    p.drawPath(shackle);
    QLinearGradient brass(QPointF(0, 22), QPointF(0, 46));
    brass.setColorAt(0, QColor(0xf4, 0xc8, 0x42));
    brass.setColorAt(1, QColor(0xb8, 0x86, 0x10));
    p.setPen(QPen(QColor(0x6b, 0x4a, 0x05), 1.5));
    p.setBrush(brass);
    p.drawRoundedRect(QRectF(7.5, 22.5, 34, 24), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2b, 0x20, 0x08));
    p.drawEllipse(QRectF(21, 28, 7, 7));
    p.drawRect(QRectF(23, 33, 3, 8));
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const bool ok = information().save(QStringLiteral("DT_DEFAULT.png")) &&
                    noEntry().save(QStringLiteral("DT_NOENTRY.png")) &&
                    padlock().save(QStringLiteral("DT_LOCK.png"));
    return ok ? 0 : 1;
}
