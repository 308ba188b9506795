// The real SDL input paths: SDL's virtual joystick stands in for a pad, so
// the platform opens it at start-up exactly as it would open a real one.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

class SdlJoystickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No display or sound card is needed to read a joystick.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }

    // A pad with two sticks' axes and four buttons, as joystick 0.
    SDL_Joystick* attachPad()
    {
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
        if (index < 0) {
            ADD_FAILURE() << SDL_GetError();
            return nullptr;
        }
        return SDL_JoystickOpen(index);
    }
};

TEST_F(SdlJoystickTest, AxesReachTheGameFromZeroTo65535WithButtonsAsBits)
{
    SDL_Joystick* pad = attachPad();
    ASSERT_NE(pad, nullptr);
    SdlPlatform sdl;
    ASSERT_TRUE(sdl.init());

    JoystickCaps caps;
    ASSERT_TRUE(sdl.joystickCaps(caps));
    EXPECT_EQ(caps.xMin, 0u);
    EXPECT_EQ(caps.xMax, 65535u);
    EXPECT_EQ(caps.yMin, 0u);
    EXPECT_EQ(caps.yMax, 65535u);

    struct Case {
        Sint16 x, y;
        uint32_t expectedX, expectedY;
    };
    for (Case c :
         {Case{SDL_JOYSTICK_AXIS_MIN, SDL_JOYSTICK_AXIS_MAX, 0u, 65535u}, Case{0, 0, 32768u, 32768u},
          Case{SDL_JOYSTICK_AXIS_MAX, SDL_JOYSTICK_AXIS_MIN, 65535u, 0u}, Case{-16384, 8192, 16384u, 40960u}}) {
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, 0, c.x), 0);
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, 1, c.y), 0);
        JoystickPosition position;
        ASSERT_TRUE(sdl.joystickPosition(position));
        EXPECT_EQ(position.x, c.expectedX) << "axis value " << c.x;
        EXPECT_EQ(position.y, c.expectedY) << "axis value " << c.y;
    }

    JoystickPosition position;
    ASSERT_TRUE(sdl.joystickPosition(position));
    EXPECT_EQ(position.buttons, 0u);
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pad, 2, SDL_PRESSED);
    ASSERT_TRUE(sdl.joystickPosition(position));
    EXPECT_EQ(position.buttons, 0b101u);
    SDL_JoystickSetVirtualButton(pad, 0, SDL_RELEASED);
    ASSERT_TRUE(sdl.joystickPosition(position));
    EXPECT_EQ(position.buttons, 0b100u);

    // Pulled out while the game runs: the game hears "no joystick" rather
    // than the last position.
    SDL_JoystickClose(pad);
    ASSERT_EQ(SDL_JoystickDetachVirtual(0), 0);
    EXPECT_FALSE(sdl.joystickPosition(position));
}

// The game keys the platform has queued since the last call.
std::vector<int> keysFrom(SdlPlatform& sdl)
{
    std::vector<int> keys;
    Event event;
    while (sdl.takeEvent(event))
        if (event.type == kEventKeyDown)
            keys.push_back(static_cast<int>(event.param));
    return keys;
}

SDL_Joystick* attachController()
{
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
    return index < 0 ? nullptr : SDL_JoystickOpen(index);
}

TEST_F(SdlJoystickTest, GlGameControllerActsAsTheKeysAndMayComeAndGo)
{
    SdlPlatform gl, glide;
    ASSERT_TRUE(gl.init());
    gl.enableGamepad();
    SDL_Joystick* pad = attachController();
    ASSERT_NE(pad, nullptr) << SDL_GetError();
    keysFrom(gl);
    int16_t x = 1, y = 1;
    ASSERT_TRUE(gl.padStick(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    struct Case {
        SDL_GameControllerButton button;
        int key;    // the key press it stands for
        int heldAs; // the held key it steers or boosts as, 0 for none
    };
    for (Case c :
         {Case{SDL_CONTROLLER_BUTTON_A, kKeyEnter, kKeyShift}, Case{SDL_CONTROLLER_BUTTON_START, kKeyEscape, 0},
          Case{SDL_CONTROLLER_BUTTON_DPAD_UP, kKeyUp, kKeyUp},
          Case{SDL_CONTROLLER_BUTTON_DPAD_DOWN, kKeyDown, kKeyDown},
          Case{SDL_CONTROLLER_BUTTON_DPAD_LEFT, kKeyLeft, kKeyLeft},
          Case{SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kKeyRight, kKeyRight}}) {
        SDL_JoystickSetVirtualButton(pad, c.button, SDL_PRESSED);
        EXPECT_EQ(keysFrom(gl), std::vector<int>{c.key}) << "button " << c.button;
        EXPECT_EQ(gl.keyHeld(c.heldAs), c.heldAs != 0) << "button " << c.button;
        SDL_JoystickSetVirtualButton(pad, c.button, SDL_RELEASED);
        EXPECT_TRUE(keysFrom(gl).empty());
        EXPECT_FALSE(gl.keyHeld(c.heldAs));
    }
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 16384);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -20000);
    keysFrom(gl);
    ASSERT_TRUE(gl.padStick(x, y));
    EXPECT_EQ(x, 16384);
    EXPECT_EQ(y, -20000);

    // orbivale-glide keeps to its joystick: the controller is no keys there.
    ASSERT_TRUE(glide.init());
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    EXPECT_TRUE(keysFrom(glide).empty());
    EXPECT_FALSE(glide.keyHeld(kKeyShift));
    EXPECT_FALSE(glide.padStick(x, y));
    EXPECT_TRUE(gl.keyHeld(kKeyShift));

    // Pulled out, the controller holds nothing; plugged in again, it plays.
    SDL_JoystickClose(pad);
    ASSERT_EQ(SDL_JoystickDetachVirtual(0), 0);
    keysFrom(gl);
    EXPECT_FALSE(gl.padStick(x, y));
    EXPECT_FALSE(gl.keyHeld(kKeyShift));
    pad = attachController();
    ASSERT_NE(pad, nullptr);
    keysFrom(gl);
    EXPECT_TRUE(gl.padStick(x, y));
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
    EXPECT_EQ(keysFrom(gl), std::vector<int>{kKeyEscape});
    SDL_JoystickClose(pad);
}

TEST_F(SdlJoystickTest, WithoutAJoystickThereIsNoPositionAndNoCapabilities)
{
    ASSERT_EQ(SDL_NumJoysticks(), 0) << "this machine has a joystick; the test needs none";
    SdlPlatform sdl;
    ASSERT_TRUE(sdl.init());
    JoystickPosition position;
    JoystickCaps caps;
    EXPECT_FALSE(sdl.joystickPosition(position));
    EXPECT_FALSE(sdl.joystickCaps(caps));
}

} // namespace
