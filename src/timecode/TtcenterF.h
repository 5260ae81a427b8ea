#pragma once
#include "kit/PendingWindow.h"

// Timecode entry; created hidden at start-up.
class TtcenterF : public PendingWindow {
public:
    explicit TtcenterF(QWidget* parent = nullptr) : PendingWindow("tcenterF", "Timecode", parent) {}
};
