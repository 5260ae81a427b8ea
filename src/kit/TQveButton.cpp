#include "kit/TQveButton.h"

#include "kit/QtColours.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
// The button as assistive technology sees it: a push button whose name is the caption and
// whose description is the hint (both set on the widget, see setCaption and setHint), with a
// press action and, for the right click, a menu action.
class TQveButtonAccessible : public QAccessibleWidget {
public:
    explicit TQveButtonAccessible(TQveButton* button) : QAccessibleWidget(button, QAccessible::Button)
    {
    }
    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{pressAction(), showMenuAction()} : QStringList{};
    }
    void doAction(const QString& name) override
    {
        auto* button = static_cast<TQveButton*>(widget());
        if (!button->isEnabled())
            return;
        if (name == pressAction())
            button->click();
        else if (name == showMenuAction())
            emit button->OnRightClick(button);
    }
    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        st.pressed = static_cast<TQveButton*>(widget())->Timedout();
        return st;
    }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TQveButton") && object && object->isWidgetType())
        return new TQveButtonAccessible(static_cast<TQveButton*>(object));
    return nullptr;
}
} // namespace

TQveButton::TQveButton(QWidget* parent) : QWidget(parent), colors_(new TQvColors(this))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    resize(80, 20);
    // Like the keys of the hardware, a click does not take the keyboard focus; Tab does.
    setFocusPolicy(Qt::TabFocus);
    connect(colors_, &TQvColors::OnChange, this, [this] { update(); });
}

void TQveButton::repaintIf(bool changed)
{
    if (changed)
        update();
}

void TQveButton::setCornerStyle(TQveCornerStyle s) { repaintIf(state_.setCornerStyle(s)); }
void TQveButton::setCornerRadius(quint16 r) { repaintIf(state_.setCornerRadius(r)); }
void TQveButton::setLit(bool v) { repaintIf(state_.setLit(v)); }
void TQveButton::setLitState(int v) { repaintIf(state_.setLitState(v)); }
void TQveButton::setRingWidth(int v) { repaintIf(state_.setRingWidth(v)); }
void TQveButton::setClear(bool v) { repaintIf(state_.setClear(v)); }
void TQveButton::setCaption(const QString& s)
{
    if (!state_.setCaption(s))
        return;
    setAccessibleName(s); // tells an assistive tool listening that the name changed
    update();
}
void TQveButton::setFontColor(zeltra::Colour c) { state_.setFontColour(c); update(); }

void TQveButton::setColors(const TQvColors& set)
{
    colors_->assign(set);
    update();
}

void TQveButton::setTimedout(bool)
{
    if (!state_.timeout())
        return;
    update();
    emit OnRightClick(this);
}

bool TQveButton::TabStop() const { return focusPolicy() != Qt::NoFocus; }

void TQveButton::setTabStop(bool v)
{
    setFocusPolicy(v ? Qt::TabFocus : Qt::NoFocus);
    update();
}

void TQveButton::setHint(const QString& h)
{
    setToolTip(h);
    setStatusTip(h);
    if (accessibleDescription() != h)
        setAccessibleDescription(h);
}

void TQveButton::setEnabled(bool v)
{
    QWidget::setEnabled(v);
    update();
}

void TQveButton::pressLeft(Qt::KeyboardModifiers mods)
{
    const QPoint centre = rect().center();
    emit OnMouseDown(this, Qt::LeftButton, mods, centre);
    state_.press(Qt::LeftButton, mods, centre);
    update();
    emit OnUpdTimer(this, true);
}

void TQveButton::releaseLeft(Qt::KeyboardModifiers mods)
{
    endPress();
    emit OnMouseUp(this, Qt::LeftButton, mods, rect().center());
}

void TQveButton::endPress()
{
    const TQveReleaseOutcome outcome = state_.release();
    if (!outcome.endedPress)
        return;
    update();
    if (outcome.rightClick)
        emit OnRightClick(this);
    if (outcome.click)
        emit OnClick(this);
    emit OnUpdTimer(this, false);
}

void TQveButton::click(Qt::KeyboardModifiers mods)
{
    if (!isEnabled() || state_.pressed())
        return;
    pressLeft(mods);
    releaseLeft(mods);
}

void TQveButton::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    emit OnMouseDown(this, e->button(), e->modifiers(), pos);
    state_.press(e->buttons() | e->button(), e->modifiers(), pos);
    update();
    emit OnUpdTimer(this, true);
}

void TQveButton::mouseReleaseEvent(QMouseEvent* e)
{
    endPress();
    emit OnMouseUp(this, e->button(), e->modifiers(), e->position().toPoint());
}

void TQveButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit OnClick(this);
        return;
    }
    if (e->key() == Qt::Key_Space) { // held down like a mouse button, so press-and-hold works
        if (!e->isAutoRepeat() && !state_.pressed())
            pressLeft(e->modifiers());
        return;
    }
    if (e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier)) {
        emit OnRightClick(this);
        return;
    }
    QWidget::keyPressEvent(e);
}

void TQveButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space) {
        if (!e->isAutoRepeat() && state_.pressed() && state_.pressButtons() == Qt::LeftButton)
            releaseLeft(e->modifiers());
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TQveButton::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    if (TabStop())
        update();
}

void TQveButton::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    if (TabStop())
        update();
}

QColor TQveButton::parentBackground() const
{
    const QWidget* source = parentWidget() ? parentWidget() : this;
    return source->palette().color(source->backgroundRole());
}

qreal TQveButton::cornerRadiusPx() const
{
    return state_.cornerStyle() == qvcRound ? state_.cornerSize() / 2.0 : 0.0;
}

void TQveButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (state_.clear()) {
        p.fillRect(rect(), parentBackground());
        return;
    }
    const TQveButtonLook look = state_.look(*colors_, isEnabled());
    paintBody(p, look);
    if (hasFocus())
        paintFocusMark(p, look);
    paintCaption(p, look);
}

// The ring is painted as a filled band along the edge, as thick as the part of its pen that
// falls inside the button; the outermost row and column of pixels belong to it.
void TQveButton::paintBody(QPainter& p, const TQveButtonLook& look) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    const QRectF outer(rect());
    const qreal radius = cornerRadiusPx();
    const int t = zeltra::ringPixels(look.penWidth);
    QPainterPath outerPath;
    outerPath.addRoundedRect(outer, radius, radius);
    if (t == 0) {
        p.fillPath(outerPath, toQColor(look.fill));
        p.restore();
        return;
    }
    p.fillPath(outerPath, toQColor(look.ring));
    const QRectF inner = outer.adjusted(t, t, -t, -t);
    if (inner.isValid()) {
        const qreal innerRadius = std::max(0.0, radius - t);
        QPainterPath innerPath;
        innerPath.addRoundedRect(inner, innerRadius, innerRadius);
        p.fillPath(innerPath, toQColor(look.fill));
    }
    p.restore();
}

// A one-pixel dotted outline, rounded like the body even on square buttons, drawn over a fill
// with the brush.
void TQveButton::paintFocusMark(QPainter& p, const TQveButtonLook& look) const
{
    const QRect mark = zeltra::focusMarkRect(size());
    if (mark.width() < 2 || mark.height() < 2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(toQColor(look.ring), 1);
    pen.setDashPattern({1.0, 1.0});
    p.setPen(pen);
    p.setBrush(toQColor(look.fill));
    const qreal radius = state_.cornerSize() / 2.0;
    // An aliased outline of a w x h rectangle covers w + 1 by h + 1 pixels.
    p.drawRoundedRect(QRectF(mark.adjusted(0, 0, -1, -1)), radius, radius);
    p.restore();
}

void TQveButton::paintCaption(QPainter& p, const TQveButtonLook& look) const
{
    const QRect clip = zeltra::captionClip(size(), TabStop());
    if (clip.isEmpty())
        return;
    p.save();
    p.setClipRect(clip);
    p.fillRect(clip, toQColor(look.fill));
    p.setFont(font());
    p.setPen(toQColor(look.text));
    const QFontMetrics fm(font());
    const QString& caption = state_.caption();
    const QPoint origin =
        zeltra::captionOrigin(size(), QSize(fm.horizontalAdvance(caption), fm.height()));
    p.drawText(origin + QPoint(0, fm.ascent()), caption);
    p.restore();
}
