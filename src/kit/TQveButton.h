#pragma once
#include "kit/TQvColors.h"

#include <QPoint>
#include <QWidget>

// The lit push button: a self-painted, focusable control that draws its caption inside a
// filled shape with a coloured ring, in one of four lit states or the disabled look.
class TQveButton : public QWidget {
    Q_OBJECT
public:
    enum TQveCornerStyle { qvcSquare = 0, qvcRound = 1 };

    explicit TQveButton(QWidget* parent = nullptr);

    TQveCornerStyle CornerStyle() const { return cornerStyle_; }
    void setCornerStyle(TQveCornerStyle s);
    quint16 CornerRadius() const { return quint16(cornerSize_ >> 1); }
    void setCornerRadius(quint16 r);
    bool Lit() const { return lit_; }
    void setLit(bool v);
    int LitState() const { return litState_; }
    void setLitState(int v);
    TQvColors* Colors() { return colors_; }
    const TQvColors* Colors() const { return colors_; }
    void setColors(const TQvColors& set);
    quint16 RingWidth() const { return ringWidth_; }
    void setRingWidth(int v);
    bool Clear() const { return clear_; }
    void setClear(bool v);
    bool Timedout() const { return pressed_; }
    void setTimedout(bool v);
    QString Caption() const { return caption_; }
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
    zeltra::Colour FontColor() const { return fontColour_; }
    void setFontColor(zeltra::Colour c);
    void setEnabled(bool v);

signals:
    void OnClick(TQveButton* sender);
    void OnRightClick(TQveButton* sender);
    void OnUpdTimer(TQveButton* sender, bool depressed);
    void OnMouseDown(TQveButton* sender, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void OnMouseUp(TQveButton* sender, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TQveCornerStyle cornerStyle_ = qvcRound;
    quint16 cornerSize_ = 4;
    bool lit_ = false;
    int litState_ = 0;
    TQvColors* colors_;
    quint16 ringWidth_ = 1;
    bool clear_ = false;
    bool pressed_ = false;
    QString caption_;
    int tag_ = 0;
    zeltra::Colour fontColour_ = 0;
    Qt::MouseButtons pressButtons_;
    Qt::KeyboardModifiers pressModifiers_;
    QPoint pressPos_;
};
