#pragma once

#include <string>

// Practice: one level of the level list played again and again, against the
// ghost of its best run, never ranked. Off unless the command line asks.

// The level asked for with --practice (0: none), and the replay asked for
// with --ghost (empty: none); the programs set them.
extern int practiceLevelToPlay;
extern std::string ghostToRace;

// The level being practised, 0 in an ordinary game.
int practiceLevel();
bool practising();

// After start-up: takes the --ghost run and starts the practice, as asked.
// False after a refusal, which has asked the program to end.
bool startPlayAsAsked();

// Starts practising a level at once (1 to levelCount).
void startPractice(int level);
// The goal, a time-out or F1: the same level again.
void restartPractice();
// "NeW Game": an ordinary game from here on.
void endPractice();
