#pragma once
#include "kit/PendingWindow.h"

// Level and gain entry; created hidden at start-up.
class TSetgainF : public PendingWindow {
public:
    explicit TSetgainF(QWidget* parent = nullptr) : PendingWindow("SetgainF", "Gain", parent) {}
};
