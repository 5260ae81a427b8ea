#pragma once
#include "kit/PendingWindow.h"

// Monitor format editor; created hidden at start-up.
class TDefFormat : public PendingWindow {
public:
    explicit TDefFormat(QWidget* parent = nullptr) : PendingWindow("DefFormat", "Formats", parent) {}
};
