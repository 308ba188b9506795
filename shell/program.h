#pragma once

// The program entry after the platform is in place: creates the window, runs
// the start-up of the edition and the event loop. Returns the exit code.
int runProgram();
