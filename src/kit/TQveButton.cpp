// Placeholder: the full button is being written in its own change.
#include "kit/TQveButton.h"

#include <QPainter>

TQveButton::TQveButton(QWidget* parent) : QWidget(parent), colors_(new TQvColors(this))
{
    resize(80, 20);
    setFocusPolicy(Qt::StrongFocus);
    connect(colors_, &TQvColors::OnChange, this, [this] { update(); });
}
void TQveButton::setCornerStyle(TQveCornerStyle s) { cornerStyle_ = s; update(); }
void TQveButton::setCornerRadius(quint16 r) { cornerSize_ = quint16(2 * r); update(); }
void TQveButton::setLit(bool v) { lit_ = v; update(); }
void TQveButton::setLitState(int v) { if (v >= 0 && v <= 3) litState_ = v; if (v > 0 && v <= 3) lit_ = true; update(); }
void TQveButton::setColors(const TQvColors& set) { colors_->assign(set); update(); }
void TQveButton::setRingWidth(int v) { if (v >= 0 && v < 4) ringWidth_ = quint16(v); update(); }
void TQveButton::setClear(bool v) { clear_ = v; update(); }
void TQveButton::setTimedout(bool) {}
void TQveButton::setCaption(const QString& s) { caption_ = s; update(); }
bool TQveButton::TabStop() const { return focusPolicy() != Qt::NoFocus; }
void TQveButton::setTabStop(bool v) { setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus); }
void TQveButton::setHint(const QString& h) { setToolTip(h); setStatusTip(h); }
void TQveButton::setFontColor(zeltra::Colour c) { fontColour_ = c; }
void TQveButton::setEnabled(bool v) { QWidget::setEnabled(v); update(); }
void TQveButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    auto c = colors_->color(litState_);
    p.fillRect(rect(), QColor(zeltra::colourRed(c), zeltra::colourGreen(c), zeltra::colourBlue(c)));
    p.drawText(rect(), Qt::AlignCenter, caption_);
}
void TQveButton::mousePressEvent(QMouseEvent*) {}
void TQveButton::mouseReleaseEvent(QMouseEvent*) {}
void TQveButton::keyPressEvent(QKeyEvent*) {}
void TQveButton::focusInEvent(QFocusEvent*) {}
void TQveButton::focusOutEvent(QFocusEvent*) {}
