#include "kit/TitleBar.h"

namespace zeltra::titlebar {

namespace {
constexpr int HitsBeforeHiding = 3;

bool isTopEdge(Hit h) { return h == Hit::Top || h == Hit::TopLeft || h == Hit::TopRight || h == Hit::Border; }

bool isResizeEdge(Hit h)
{
    return h == Hit::Left || h == Hit::Right || h == Hit::Bottom || h == Hit::BottomLeft ||
           h == Hit::BottomRight;
}
} // namespace

bool canHide(const State& s) { return s.autoHide && s.hasBorder && !s.maximised && !s.hidden; }

bool canShow(const State& s) { return s.hasBorder && s.hidden; }

Outcome hitTest(Hit normal, const State& s)
{
    Outcome out{normal, Action::None, s.counter};
    if (normal == Hit::Client || normal == Hit::Nowhere) {
        if (!s.hidden && s.autoHide) {
            if (s.counter >= HitsBeforeHiding) {
                out.counter = 0;
                if (canHide(s))
                    out.action = Action::Hide;
            } else {
                out.counter = s.counter + 1;
            }
        }
    } else if (isTopEdge(normal)) {
        if (!s.hidden) {
            if (canHide(s))
                out.action = Action::Hide;
        } else {
            if ((s.autoShowInactive || s.active) && canShow(s))
                out.action = Action::Show;
            out.answer = Hit::Client; // no resizing from the top while the bar is away
        }
    } else if (isResizeEdge(normal) && s.borderStopResize) {
        out.answer = Hit::Client;
    }
    return out;
}

} // namespace zeltra::titlebar
