#pragma once

#include "platform/platform.h"

// One turn of the loop: takes one pending event and dispatches it, or posts a
// frame event when nothing is pending. False once the quit event was taken,
// with its exit code.
bool runLoopTurn(int& exitCode);

// Runs turns until the quit event; returns its exit code.
int runEventLoop();

// The window handler: every event the loop takes goes through here.
void handleEvent(const Event& event);
