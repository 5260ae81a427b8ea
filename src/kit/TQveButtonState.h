#pragma once
#include "kit/TQvColors.h"
#include "model/Colours.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QtGlobal>

enum TQveCornerStyle { qvcSquare = 0, qvcRound = 1 };

// How a lit button paints itself at one moment: the colours of its state and the width of
// the pen that draws its ring (wider while pressed).
struct TQveButtonLook {
    zeltra::Colour fill = 0;
    zeltra::Colour ring = 0;
    zeltra::Colour text = 0;
    int penWidth = 0;
};

// What a mouse release asks the button to do, in this order: repaint, OnRightClick, OnClick,
// OnUpdTimer(false). OnMouseUp fires after these in every case.
struct TQveReleaseOutcome {
    bool endedPress = false;
    bool rightClick = false;
    bool click = false;
};

// The lit button's properties and press state, free of any window so the rules can be
// checked directly. Every setter returns true when the button has to repaint.
class TQveButtonState {
public:
    static constexpr int MaxLitState = 3;
    static constexpr int MaxRingWidth = 3;

    TQveCornerStyle cornerStyle() const { return cornerStyle_; }
    bool setCornerStyle(TQveCornerStyle s);
    // The radius is kept as the size of the corner ellipse, twice the radius.
    quint16 cornerRadius() const { return quint16(cornerSize_ >> 1); }
    quint16 cornerSize() const { return cornerSize_; }
    bool setCornerRadius(quint16 r);
    bool lit() const { return lit_; }
    bool setLit(bool v);
    int litState() const { return litState_; }
    bool setLitState(int v);
    quint16 ringWidth() const { return ringWidth_; }
    bool setRingWidth(int v);
    bool clear() const { return clear_; }
    bool setClear(bool v);
    const QString& caption() const { return caption_; }
    bool setCaption(const QString& s);
    zeltra::Colour fontColour() const { return fontColour_; }
    void setFontColour(zeltra::Colour c) { fontColour_ = c; }

    bool pressed() const { return pressed_; }
    Qt::MouseButtons pressButtons() const { return pressButtons_; }
    Qt::KeyboardModifiers pressModifiers() const { return pressModifiers_; }
    QPoint pressPos() const { return pressPos_; }
    // A mouse button went down while `held` were down (the new one included).
    void press(Qt::MouseButtons held, Qt::KeyboardModifiers mods, QPoint pos);
    TQveReleaseOutcome release();
    // Ends a held press at once; true when there was one, which then counts as a right click.
    bool timeout();

    // The look for the next paint. An enabled button takes the text colour of its lit state
    // into its font colour; a disabled one keeps whatever font colour it had.
    TQveButtonLook look(const TQvColors& colours, bool enabled);

private:
    TQveCornerStyle cornerStyle_ = qvcRound;
    quint16 cornerSize_ = 4;
    bool lit_ = false;
    int litState_ = 0;
    quint16 ringWidth_ = 1;
    bool clear_ = false;
    QString caption_;
    zeltra::Colour fontColour_ = zeltra::clBlack;
    bool pressed_ = false;
    Qt::MouseButtons pressButtons_;
    Qt::KeyboardModifiers pressModifiers_;
    QPoint pressPos_;
};

namespace zeltra {

// How many pixels of a ring drawn with a pen `penWidth` wide show inside the button. The pen
// is centred on the outline through the outermost pixels, so half of a wide pen falls outside.
int ringPixels(int penWidth);
// The caption's top-left corner: centred, with divisions that truncate toward zero, so a
// caption wider than the button starts left of it.
QPoint captionOrigin(QSize button, QSize text);
// The rectangle the caption is clipped to and whose background it fills.
QRect captionClip(QSize button, bool tabStop);
// The dotted focus mark's outline, right and bottom edges exclusive.
QRect focusMarkRect(QSize button);

} // namespace zeltra
