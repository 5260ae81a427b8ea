#include "kit/TQvForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWindow>

using zeltra::titlebar::Action;
using zeltra::titlebar::Hit;

namespace {
// How close to the top edge of a window without title bar the pointer must come to bring
// the bar back (the window system draws no border there for us to hit).
constexpr int TopEdgeZone = 4;
} // namespace

TQvForm::TQvForm(QWidget* parent) : QMainWindow(parent) {}

TQvForm::~TQvForm() = default;

void TQvForm::attachSettings(TQvSettingsFile* settings, bool mainWindow)
{
    settings_ = settings;
    mainWindow_ = mainWindow;
}

void TQvForm::setAutoHideTitleBar(bool on)
{
    autoHide_ = on;
    watchPointer(on && loaded_);
    if (!on && titleBarHidden_)
        showTitleBar();
}

void TQvForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (loaded_)
        return;
    loaded_ = true;
    rememberNormalFrame();
    emit OnLoaded();
    if (autoHide_) {
        watchPointer(true);
        hideTitleBar();
    }
}

// Pointer moves reach the native window whatever child is under them, so the form watches
// that instead of asking every child for mouse tracking.
void TQvForm::watchPointer(bool on)
{
    QWindow* w = windowHandle();
    if (!w)
        return;
    w->removeEventFilter(this);
    if (on)
        w->installEventFilter(this);
}

bool TQvForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == windowHandle() && e->type() == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(e);
        const bool atTop = titleBarHidden_ && me->position().y() < TopEdgeZone;
        pointerHit(atTop ? Hit::Top : Hit::Client);
    }
    return QMainWindow::eventFilter(watched, e);
}

zeltra::titlebar::State TQvForm::titleBarState() const
{
    zeltra::titlebar::State s;
    s.autoHide = autoHide_;
    s.autoShowInactive = autoShowInactive_;
    s.borderStopResize = borderStopResize_;
    s.hidden = titleBarHidden_;
    s.active = isActiveWindow();
    s.hasBorder = borderStyle_ != BorderStyle::None;
    s.maximised = isMaximized();
    s.counter = hitCounter_;
    return s;
}

Hit TQvForm::pointerHit(Hit normal)
{
    const auto out = zeltra::titlebar::hitTest(normal, titleBarState());
    hitCounter_ = out.counter;
    if (out.action == Action::Hide)
        hideTitleBar();
    else if (out.action == Action::Show)
        showTitleBar();
    return out.answer;
}

int TQvForm::hiddenHeight() const
{
    return menuBar()->isVisibleTo(this) || menuKept_ ? menuBar()->sizeHint().height() : 0;
}

// The client area stays where it was on screen: the window loses its frame, and the menu
// bar's height is taken off its top.
void TQvForm::hideTitleBar()
{
    if (!zeltra::titlebar::canHide(titleBarState()))
        return;
    const QRect client = geometry();
    const bool visible = isVisible();
    const int h = hiddenHeight();
    menuKept_ = menuBar()->isVisibleTo(this);
    menuBar()->setVisible(false);
    setWindowFlag(Qt::FramelessWindowHint, true);
    setGeometry(client.adjusted(0, h, 0, 0));
    titleBarHidden_ = true;
    hitCounter_ = 0;
    if (visible)
        show();
    watchPointer(autoHide_ && loaded_); // a new frame may come with a new native window
}

void TQvForm::showTitleBar()
{
    if (!zeltra::titlebar::canShow(titleBarState()))
        return;
    const QRect client = geometry();
    const bool visible = isVisible();
    const int h = menuKept_ ? menuBar()->sizeHint().height() : 0;
    setWindowFlag(Qt::FramelessWindowHint, false);
    if (menuKept_)
        menuBar()->setVisible(true);
    menuKept_ = false;
    setGeometry(client.adjusted(0, -h, 0, 0));
    titleBarHidden_ = false;
    hitCounter_ = 0;
    if (visible)
        show();
    watchPointer(autoHide_ && loaded_);
}

void TQvForm::rememberNormalFrame()
{
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        normalFrame_ = frameGeometry();
}

void TQvForm::moveEvent(QMoveEvent* e)
{
    QMainWindow::moveEvent(e);
    rememberNormalFrame();
}

void TQvForm::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    rememberNormalFrame();
}

TQvSettingsFile::Placement TQvForm::placement(Qt::WindowStates state) const
{
    using WS = TQvSettingsFile::WindowState;
    TQvSettingsFile::Placement p;
    p.state = state & Qt::WindowMinimized   ? WS::Minimised
              : state & Qt::WindowMaximized ? WS::Maximised
                                            : WS::Normal;
    const QRect frame = normalFrame_.isValid() ? normalFrame_ : frameGeometry();
    p.left = frame.x();
    p.top = frame.y();
    p.width = frame.width();
    p.height = frame.height();
    p.sizeable = borderStyle_ == BorderStyle::Sizeable || borderStyle_ == BorderStyle::SizeToolWin;
    p.fontSize = font().pointSize();
    p.fontName = font().family();
    p.visible = isVisible();
    p.autoHideTitleBar = autoHide_;
    return p;
}

void TQvForm::savePlacementAs(Qt::WindowStates state)
{
    if (!settings_ || settings_->released())
        return;
    if (titleBarHidden_)
        showTitleBar();
    settings_->savePlacement(objectName(), placement(state));
    if (autoHide_)
        hideTitleBar();
}

void TQvForm::savePlacement() { savePlacementAs(windowState()); }

// The window system tells of a minimise or maximise only after it happened, so the
// placement is stored from the state and normal frame the window had before.
void TQvForm::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::WindowStateChange) {
        const auto old = static_cast<QWindowStateChangeEvent*>(e)->oldState();
        const auto now = windowState();
        const bool minimised = (now & Qt::WindowMinimized) && !(old & Qt::WindowMinimized);
        const bool maximised = (now & Qt::WindowMaximized) && !(old & Qt::WindowMaximized);
        if (minimised || maximised)
            savePlacementAs(old);
        if (maximised && titleBarHidden_)
            showTitleBar();
    }
    QMainWindow::changeEvent(e);
}

void TQvForm::closeEvent(QCloseEvent* e)
{
    if (mainWindow_ && settings_ && !settings_->released()) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TQvForm*>(w); form && form->isVisible())
                form->savePlacement();
        settings_->closeMain();
    }
    QMainWindow::closeEvent(e);
}
