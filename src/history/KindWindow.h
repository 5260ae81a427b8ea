#pragma once
#include <cstdint>
#include <functional>

class QDialog;
namespace zeltra { class LayoutModel; }

// A window that edits the image of one keyboard kind closes, as its close button closes it,
// when the model's kind changes away from that kind, however the change came (the menu, an
// opened layout, a dropped file). `beforeClosing` runs first while the window is still
// showing, to keep an edit in progress. "Future Application" is machine control.
void closeWhenKindLeaves(QDialog* window, zeltra::LayoutModel& model, std::int32_t kind,
                         std::function<void()> beforeClosing = {});
