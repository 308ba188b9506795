#pragma once

#include "game/edition.h"
#include "recording_renderer.h"
#include "scripted_platform.h"

#include <gtest/gtest.h>

// Every scenario starts from a freshly started program of the given edition
// on a scripted platform.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override { startFresh(Edition::Gl); }
    void TearDown() override
    {
        platform = nullptr;
        renderer = nullptr;
    }

    void startFresh(Edition which);

    // Runs loop turns until the queue is empty and one frame has been posted
    // and handled; returns false if the quit event came first.
    bool runFrame();
    // Advances the clock by dt before each of n frames.
    void runFrames(int n, double dt);
    // One turn of the loop; false once quit was taken.
    bool turn();

    ScriptedPlatform scripted;
    RecordingRenderer recorder;
    int exitCode = -1;
};
