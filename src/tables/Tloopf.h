#pragma once
#include "kit/PendingWindow.h"

// Loop details; created hidden at start-up.
class Tloopf : public PendingWindow {
public:
    explicit Tloopf(QWidget* parent = nullptr) : PendingWindow("loopf", "Loop", parent) {}
};
