#pragma once
#include "model/Colours.h"

#include <QWidget>

// A filled circle that reports presses and releases: the jog wheel and its knob.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(zeltra::Colour brush, QWidget* parent = nullptr);

signals:
    void OnMouseDown(TShape* sender);
    void OnMouseUp(TShape* sender);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    zeltra::Colour brush_;
};
