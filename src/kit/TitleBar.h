#pragma once

// The pointer rules of a self-hiding title bar, as a plain function: where the pointer is
// (the hit the window system would answer) goes in; the answer to give and what to do with
// the title bar come out. The window carries the actions out.
namespace zeltra::titlebar {

enum class Hit {
    Nowhere, Client, Caption, Menu, SysMenu, MinButton, MaxButton, CloseButton,
    Top, TopLeft, TopRight, Border, Left, Right, Bottom, BottomLeft, BottomRight
};

enum class Action { None, Hide, Show };

struct State {
    bool autoHide = false;          // AutoHideTitleBar
    bool autoShowInactive = false;  // AutoShowInactiveTitleBar
    bool borderStopResize = false;  // BorderStopResize
    bool hidden = false;            // TitleBarHidden
    bool active = false;            // the window is the active one
    bool hasBorder = true;          // border style is not "none"
    bool maximised = false;
    int counter = 0;                // client hits seen since the bar was shown (0..3)
};

// Whether the bar may be hidden now.
bool canHide(const State& s);
// Whether the bar may be shown again now.
bool canShow(const State& s);

struct Outcome {
    Hit answer;
    Action action = Action::None;
    int counter = 0;
};

Outcome hitTest(Hit normal, const State& s);

} // namespace zeltra::titlebar
