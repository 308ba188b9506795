#include "shell/keys.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "render/renderer.h"
#include "screens/cues.h"
#include "screens/menu.h"
#include "shell/ghost.h"
#include "shell/level_flow.h"
#include "shell/practice.h"
#include "shell/replay_playback.h"
#include "shell/settings.h"

namespace {

const char* const kMenuSound = "sounds/menu.wav";

void postKey(int key) { platform->postEvent(Event{kEventKeyDown, key}); }

void stepCameraLag(int step)
{
    int lag = static_cast<int>(cameraLag) + step;
    if (lag > 9)
        lag = 0;
    if (lag < 0)
        lag = 9;
    cameraLag = static_cast<float>(lag);
}

void chooseMenuLine()
{
    switch (menuItemAt(menuCursor)) {
    case MenuItem::NewGame:
        endPractice();
        menuShown = false;
        if (musicPlaying)
            stopMusic();
        levelNumber = 0;
        platform->postEvent(Event{kEventLevel, 0});
        break;
    case MenuItem::HighScore:
        if (!rules().highScoreChoosable)
            break; // never reachable there
        gameState = GameState::ScoreTable;
        newEntryRow = -1;
        for (int i = 0; i < levelCount; ++i)
            levelTimes[i] = unplayedTime();
        postKey(kKeyEscape);
        break;
    case MenuItem::Options:
        menuCursor = menuNumber(MenuItem::Statistics);
        break;
    case MenuItem::Credits:
        gameState = GameState::Credits;
        postKey(kKeyEscape);
        break;
    case MenuItem::Quit:
        bestTimes.save();
        if (rules().quitShowsClosingPicture)
            gameState = GameState::Closing;
        else
            platform->postEvent(Event{kEventDestroy, 0});
        break;
    case MenuItem::Statistics:
        postKey(kKeyF2);
        break;
    case MenuItem::Fog:
        postKey(kKeyF5);
        break;
    case MenuItem::FarSight:
        postKey(kKeyF4);
        break;
    case MenuItem::Normal:
        postKey(kKeyF3);
        break;
    case MenuItem::CameraLag:
        stepCameraLag(+1);
        break;
    case MenuItem::Midi:
        postKey(kKeyF6);
        break;
    case MenuItem::Control:
        if (joystickPresent)
            joystickControl = !joystickControl;
        break;
    case MenuItem::Done:
        menuCursor = menuNumber(MenuItem::Options);
        break;
    }
}

// An unchanged picture screen may be drawn only once: a value that changes
// under the open menu must bring the page up to date.
void optionChanged()
{
    if (rules().picturesDrawnOnce && menuShown)
        screenDirty = true;
}

void toggleFog()
{
    fogOn = !fogOn;
    if (fogOn)
        farSight = false;
    renderer->setFog(fogOn);
}

void toggleMusic()
{
    musicOn = !musicOn;
    if (!musicOn) {
        if (musicPlaying)
            stopMusic();
    } else if (!musicPlaying && gameState == GameState::Playing) {
        startMusic("sounds/midi1.mid");
        musicPlaying = true;
    }
}

void onEscape()
{
    playSound(kMenuSound);
    if (!menuShown) {
        menuShown = true;
        menuCursor = 1;
        paused = true;
    } else if (!cursorOnOptionsPage(menuCursor)) {
        menuShown = false;
        paused = false;
    } else {
        menuCursor = 1;
    }
}

} // namespace

void handleKeyDown(int keyCode)
{
    if (rules().quitShowsClosingPicture && gameState == GameState::Closing) {
        platform->postEvent(Event{kEventDestroy, 0});
        return;
    }
    lastKey = static_cast<uint8_t>(keyCode & 0xFF);
    if (gameState == GameState::NameEntry && lastKey != 0)
        queueTypedKey(lastKey);
    if (replayPlaying() && handleReplayKey(keyCode))
        return;

    switch (keyCode) {
    case kKeyEnter:
        if (!menuShown)
            break;
        playSound(kMenuSound);
        if (rules().picturesDrawnOnce)
            screenDirty = true;
        chooseMenuLine();
        break;
    case kKeyEscape:
        onEscape();
        break;
    case kKeyLeft:
        if (!menuShown)
            break;
        playSound(kMenuSound);
        if (menuItemAt(menuCursor) == MenuItem::CameraLag) {
            stepCameraLag(-1);
            if (rules().picturesDrawnOnce)
                screenDirty = true;
        } else {
            postKey(kKeyEnter);
        }
        break;
    case kKeyRight:
        postKey(kKeyEnter);
        break;
    case kKeyUp:
        if (!menuShown)
            break;
        playSound(kMenuSound);
        menuCursor = menuCursorAfterUp(menuCursor);
        break;
    case kKeyDown:
        if (!menuShown)
            break;
        playSound(kMenuSound);
        menuCursor = menuCursorAfterDown(menuCursor);
        break;
    case kKeyF1:
        if (gameState == GameState::Playing && practising())
            restartPractice();
        else if (rules().f1GoesToNextLevel && gameState == GameState::Playing)
            platform->postEvent(Event{kEventLevel, 0});
        break;
    case kKeyF2:
        showStatistics = !showStatistics;
        optionChanged();
        break;
    case kKeyF3:
        normalView = !normalView;
        optionChanged();
        break;
    case kKeyF4:
        if (!fogOn) {
            farSight = !farSight;
            optionChanged();
        }
        break;
    case kKeyF5:
        toggleFog();
        optionChanged();
        break;
    case kKeyF6:
        toggleMusic();
        optionChanged();
        break;
    case kKeyF7:
        toggleGhost();
        showCue(ghostOn ? "Ghost on" : "Ghost off", 1.0);
        break;
    case kKeyF12:
        if (gameState == GameState::Playing && !menuShown)
            paused = !paused;
        break;
    default:
        if (keyCode == kKeySpace && gameState != GameState::Playing && gameState != GameState::NameEntry)
            gameState = GameState::Title;
        break;
    }
}

void runNameEntryStep()
{
    uint8_t key = takeTypedKey();
    if (key == 0)
        return;
    int8_t letter = static_cast<int8_t>(key);
    bool rowValid = newEntryRow >= 0 && newEntryRow < kBestTimeRows;
    // Letter keys arrive as A to Z; the codes above them belong to the
    // function and keypad keys, which must not type p, q, r... into a name.
    if (letter >= kKeyA && letter <= kKeyA + 25 && rowValid) {
        std::string& name = bestTimes.rows[newEntryRow].name;
        name = name.substr(0, static_cast<size_t>(nameCursor)) + static_cast<char>(letter) + "_";
        ++nameCursor;
        playSound(kMenuSound);
    } else {
        platform->beep();
    }
    if (nameCursor >= 3) {
        gameState = GameState::ScoreTable;
        nameCursor = 0;
        if (rowValid)
            if (bestTimes.rows[newEntryRow].name.size() > 3)
                bestTimes.rows[newEntryRow].name.resize(3);
        // A named best game is kept at once: a closed window or a crash
        // before Quit must not lose it.
        bestTimes.save();
    }
    lastKey = 0;
}
