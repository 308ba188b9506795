#include "game_fixture.h"

#include "game/game_state.h"
#include "game/joystick_menu.h"

namespace {

class JoystickMenuTest : public GameTest {
protected:
    void SetUp() override
    {
        startFresh(Edition::Glide);
        joystickPresent = true;
        centre();
    }
    void centre() { scripted.joystick = JoystickPosition{32767, 32767, 0}; }
    std::vector<int> postedKeys() const
    {
        std::vector<int> keys;
        for (const Event& e : scripted.posted)
            if (e.type == kEventKeyDown)
                keys.push_back(static_cast<int>(e.param));
        return keys;
    }
};

TEST_F(JoystickMenuTest, HeldStickPostsOneKeyPerMovementOnlyWithTheMenuOpen)
{
    // The poll alone, frame by frame, so the posted keys are not acted on.
    auto polls = [](int n) {
        for (int i = 0; i < n; ++i)
            pollJoystickMenu();
    };
    menuShown = true;
    scripted.joystick = JoystickPosition{65535, 32767, 0};
    polls(10);
    centre();
    polls(3);
    scripted.joystick = JoystickPosition{65535, 32767, 0};
    polls(3);
    scripted.joystick = JoystickPosition{32767, 0, 0};
    polls(3);
    EXPECT_EQ(postedKeys(), (std::vector<int>{kKeyRight, kKeyRight, kKeyUp}));

    menuShown = false;
    scripted.posted.clear();
    scripted.joystick = JoystickPosition{0, 32767, 0};
    polls(3);
    EXPECT_TRUE(postedKeys().empty());
    EXPECT_EQ(joystickDirection, 2);
}

TEST_F(JoystickMenuTest, ButtonOpensTheMenuOnPicturesConfirmsInItAndIsSilentInPlay)
{
    scripted.joystick = JoystickPosition{32767, 32767, 1};
    runFrames(2, 0.01);
    EXPECT_EQ(postedKeys(), std::vector<int>{kKeyEscape});

    centre();
    runFrames(1, 0.01);
    menuShown = true;
    scripted.joystick = JoystickPosition{32767, 32767, 2};
    runFrames(1, 0.01);
    EXPECT_EQ(postedKeys(), (std::vector<int>{kKeyEscape, kKeyEnter}));

    centre();
    runFrames(1, 0.01);
    menuShown = false;
    gameState = GameState::Playing;
    scripted.joystick = JoystickPosition{32767, 32767, 1};
    runFrames(1, 0.01);
    EXPECT_EQ(postedKeys().size(), 2u);
}

TEST_F(JoystickMenuTest, GlWithAJoystickNeverPolls)
{
    startFresh(Edition::Gl);
    joystickPresent = true;
    menuShown = true;
    scripted.joystick = JoystickPosition{65535, 32767, 0};
    runFrames(3, 0.01);
    EXPECT_EQ(joystickDirection, 0);
}

} // namespace
