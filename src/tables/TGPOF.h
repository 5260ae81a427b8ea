#pragma once
#include "kit/PendingWindow.h"

// GPO, cue and loop tables; created hidden at start-up.
class TGPOF : public PendingWindow {
public:
    explicit TGPOF(QWidget* parent = nullptr) : PendingWindow("GPOF", "GPO", parent) {}
};
