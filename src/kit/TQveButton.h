#pragma once
#include "kit/TQvColors.h"
#include "kit/TQveButtonState.h"

#include <QPoint>
#include <QWidget>

class QPainter;

// The lit push button: a self-painted, focusable control that draws its caption inside a
// filled shape with a coloured ring, in one of four lit states or the disabled look.
// Assistive technology sees it as a push button named by its caption and described by its
// hint, kept in step with both; Tab reaches it, Space presses it as a left click does, Enter
// fires OnClick and the menu key (or Shift+F10) fires OnRightClick.
class TQveButton : public QWidget {
    Q_OBJECT
public:
    using TQveCornerStyle = ::TQveCornerStyle;
    using enum ::TQveCornerStyle;

    explicit TQveButton(QWidget* parent = nullptr);

    TQveCornerStyle CornerStyle() const { return state_.cornerStyle(); }
    void setCornerStyle(TQveCornerStyle s);
    quint16 CornerRadius() const { return state_.cornerRadius(); }
    void setCornerRadius(quint16 r);
    bool Lit() const { return state_.lit(); }
    void setLit(bool v);
    int LitState() const { return state_.litState(); }
    // 0 Off, 1 Dim1, 2 Dim2, 3 Lit; other values are ignored.
    void setLitState(int v);
    TQvColors* Colors() { return colors_; }
    const TQvColors* Colors() const { return colors_; }
    // Copies the fourteen colours of `set` into the button's own set.
    void setColors(const TQvColors& set);
    quint16 RingWidth() const { return state_.ringWidth(); }
    // 0 to 3 pixels; wider rings are refused.
    void setRingWidth(int v);
    bool Clear() const { return state_.clear(); }
    void setClear(bool v);
    // True while a mouse press is held.
    bool Timedout() const { return state_.pressed(); }
    // Ends a held press at once as a right click; the value written does not matter.
    void setTimedout(bool v);
    QString Caption() const { return state_.caption(); }
    void setCaption(const QString& s);
    bool TabStop() const;
    void setTabStop(bool v);
    // The function code a key carries, or any number its owner keeps with it.
    int Tag() const { return tag_; }
    void setTag(int v) { tag_ = v; }
    // Shown as the tool tip and as the status text while the pointer is over the button.
    QString Hint() const { return toolTip(); }
    void setHint(const QString& h);
    // Colour of the button's own font, set from the lit state's text colour when painted.
    zeltra::Colour FontColor() const { return state_.fontColour(); }
    void setFontColor(zeltra::Colour c);
    void setEnabled(bool v);
    // A whole left click as the mouse gives it (OnMouseDown, OnUpdTimer, OnClick, OnMouseUp):
    // what the Space key and an assistive tool's press action do.
    void click(Qt::KeyboardModifiers mods = Qt::NoModifier);

signals:
    void OnClick(TQveButton* sender);
    void OnRightClick(TQveButton* sender);
    void OnUpdTimer(TQveButton* sender, bool depressed);
    void OnMouseDown(TQveButton* sender, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                     QPoint pos);
    void OnMouseUp(TQveButton* sender, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                   QPoint pos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void repaintIf(bool changed);
    void pressLeft(Qt::KeyboardModifiers mods);
    void releaseLeft(Qt::KeyboardModifiers mods);
    void endPress(); // the end of a press: its click or right click, and the timer stop
    QColor parentBackground() const;
    void paintBody(QPainter& p, const TQveButtonLook& look) const;
    void paintFocusMark(QPainter& p, const TQveButtonLook& look) const;
    void paintCaption(QPainter& p, const TQveButtonLook& look) const;
    qreal cornerRadiusPx() const;

    TQveButtonState state_;
    TQvColors* colors_;
    int tag_ = 0;
};
