#include "kit/TQveButtonState.h"

#include <algorithm>

bool TQveButtonState::setCornerStyle(TQveCornerStyle s)
{
    cornerStyle_ = s;
    return true;
}

bool TQveButtonState::setCornerRadius(quint16 r)
{
    // The ellipse size lives in 16 bits; a radius whose double does not fit is held at the top.
    cornerSize_ = quint16(std::min<int>(2 * int(r), 0xFFFE));
    return true;
}

bool TQveButtonState::setLit(bool v)
{
    if (v == lit_)
        return false;
    lit_ = v;
    setLitState(v ? MaxLitState : 0);
    return true;
}

bool TQveButtonState::setLitState(int v)
{
    if (v < 0 || v > MaxLitState || v == litState_)
        return false;
    litState_ = v;
    if (v != 0)
        lit_ = true;
    return true;
}

bool TQveButtonState::setRingWidth(int v)
{
    if (v < 0 || v > MaxRingWidth || v == ringWidth_)
        return false;
    ringWidth_ = quint16(v);
    return true;
}

bool TQveButtonState::setClear(bool v)
{
    if (v == clear_)
        return false;
    clear_ = v;
    return true;
}

bool TQveButtonState::setCaption(const QString& s)
{
    if (s == caption_)
        return false;
    caption_ = s;
    return true;
}

void TQveButtonState::press(Qt::MouseButtons held, Qt::KeyboardModifiers mods, QPoint pos)
{
    pressButtons_ = held;
    pressModifiers_ = mods;
    pressPos_ = pos;
    pressed_ = true;
}

TQveReleaseOutcome TQveButtonState::release()
{
    if (!pressed_)
        return {};
    pressed_ = false;
    return {true, pressButtons_.testFlag(Qt::RightButton), pressButtons_.testFlag(Qt::LeftButton)};
}

bool TQveButtonState::timeout()
{
    if (!pressed_)
        return false;
    pressed_ = false;
    return true;
}

TQveButtonLook TQveButtonState::look(const TQvColors& colours, bool enabled)
{
    TQveButtonLook result;
    result.penWidth = ringWidth_ + (pressed_ ? 2 : 0);
    if (enabled) {
        result.fill = colours.color(TQvColors::Fill_Off + litState_);
        result.ring = colours.color(TQvColors::Ring_Off + litState_);
        fontColour_ = colours.color(TQvColors::Text_Off + litState_);
    } else {
        result.fill = colours.color(TQvColors::Fill_Disabled);
        result.ring = colours.color(TQvColors::Ring_Disabled);
    }
    result.text = fontColour_;
    if (ringWidth_ == 0)
        result.ring = result.fill;
    return result;
}

namespace zeltra {

int ringPixels(int penWidth) { return penWidth <= 0 ? 0 : (penWidth + 1) / 2; }

QPoint captionOrigin(QSize button, QSize text)
{
    return {(button.width() - text.width()) / 2, (button.height() - text.height()) / 2};
}

QRect captionClip(QSize button, bool tabStop)
{
    const int inset = tabStop ? 4 : 2;
    return QRect(QPoint(0, 0), button).adjusted(inset, inset, -inset, -inset);
}

QRect focusMarkRect(QSize button)
{
    return QRect(QPoint(0, 0), button).adjusted(2, 2, -2, -2);
}

} // namespace zeltra
