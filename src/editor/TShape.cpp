#include "editor/TShape.h"

#include "kit/QtColours.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(zeltra::Colour brush, QWidget* parent) : QWidget(parent), brush_(brush)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(rect().center() - QPoint(width() / 6, height() / 6), width() * 0.7);
    const QColor base = toQColor(brush_);
    shade.setColorAt(0, base.lighter(160));
    shade.setColorAt(1, base);
    p.setBrush(shade);
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void TShape::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    emit OnMouseDown(this);
}

void TShape::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    emit OnMouseUp(this);
}
