#pragma once
#include "kit/PendingWindow.h"

// Format selection; created hidden at start-up.
class TSelFormatF : public PendingWindow {
public:
    explicit TSelFormatF(QWidget* parent = nullptr) : PendingWindow("SelFormatF", "Select Format", parent) {}
};
