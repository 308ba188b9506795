#include "shell/draw_frame.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_map.h"
#include "records/best_times_screen.h"
#include "render/marble_draw.h"
#include "render/renderer.h"
#include "render/terrain_draw.h"
#include "screens/cues.h"
#include "screens/hud.h"
#include "screens/menu_screen.h"
#include "screens/pictures.h"
#include "shell/ghost.h"
#include "shell/keys.h"
#include "shell/level_flow.h"
#include "shell/still_frame.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"

namespace {

// What orbivale-glide drew last: an unchanged picture screen is not drawn
// again, since copying a picture into the card's memory is slow.
int drawnCursor = -1;
int drawnState = -1;
bool drawnMenuShown = false;

bool onPictureScreen() { return gameState == GameState::Title || gameState == GameState::ScoreTable; }

// The picture screens hold the game: no music, no clock, no pause. Name
// entry holds it too, with the music playing on while the name is typed.
void holdTheGame()
{
    bool naming = gameState == GameState::NameEntry && rules().namesNewBest;
    if (!onPictureScreen() && !naming)
        return;
    if (!naming && musicPlaying)
        stopMusic();
    paused = false;
    levelDone = true;
    clockStopped = true;
}

// Without name entry the new row keeps its marker and the title follows;
// that frame draws nothing. True when it did so.
bool leaveNameEntryForTitle()
{
    if (gameState != GameState::NameEntry || rules().namesNewBest)
        return false;
    gameState = GameState::Title;
    return true;
}

bool pictureScreenUnchanged()
{
    if (!rules().picturesDrawnOnce || !onPictureScreen())
        return false;
    return menuCursor == drawnCursor && menuShown == drawnMenuShown && static_cast<int>(gameState) == drawnState &&
           !screenDirty;
}

void rememberDrawnScreen()
{
    drawnCursor = menuCursor;
    drawnState = static_cast<int>(gameState);
    drawnMenuShown = menuShown;
}

void drawMenuIfShown()
{
    if (menuShown) {
        darkenScreen(rules().menuShade);
        drawMenu();
    }
}

void clearForNextFrame()
{
    if (fogOn) {
        uint32_t c = levelMap.getFogColour();
        renderer->clearFrame(((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f);
    } else {
        renderer->clearFrame(0.0f, 0.0f, 0.0f);
    }
}

void drawPlaying()
{
    polygonCount += drawTerrain(levelMap, cameraView, farSight, fogOn);
    drawGhost();
    drawMarble(marble, cameraView, levelMap, normalView);
    if (rules().hasBoost)
        drawBoostGauge();
    drawStatisticsAndCountdown();
    drawLevelBanner();
    if (rules().fallPenaltyFlies)
        drawPenaltyText();
    drawCues();
    ++frameCount;
    drawMenuIfShown();
    renderer->present();
    clearForNextFrame();
}

void drawGlFrame()
{
    switch (gameState) {
    case GameState::Title:
        blitTitlePicture();
        drawMenuIfShown();
        renderer->present();
        break;
    case GameState::ScoreTable:
    case GameState::NameEntry:
        blitBackPicture();
        darkenScreen(rules().pictureShade);
        drawBestTimes();
        drawMenuIfShown();
        renderer->present();
        break;
    case GameState::Playing:
        drawPlaying();
        break;
    default:
        break;
    }
}

// Presents a picture screen, with the menu over it when it is open.
void endPictureScreen()
{
    if (menuShown) {
        darkenScreen(rules().menuShade);
        drawMenu();
        renderer->present();
    } else {
        renderer->present();
        renderer->clearFrame(0.0f, 0.0f, 0.0f);
    }
}

void drawGlideFrame()
{
    switch (gameState) {
    case GameState::Playing:
        drawPlaying();
        break;
    case GameState::Title:
        drawPicture("graphics/title.bmp");
        endPictureScreen();
        break;
    case GameState::ScoreTable:
        drawPicture("graphics/back.bmp");
        darkenScreen(rules().pictureShade);
        drawBestTimes();
        endPictureScreen();
        break;
    case GameState::NameEntry:
        break; // not drawn: the title follows at once
    case GameState::Credits:
        drawPicture("graphics/back.bmp");
        darkenScreen(rules().pictureShade);
        drawCredits();
        endPictureScreen();
        break;
    case GameState::Closing:
        drawPicture("graphics/nag.bmp");
        renderer->present();
        renderer->clearFrame(0.0f, 0.0f, 0.0f);
        break;
    }
}

// Draws and presents the frame of the current game state, changing nothing
// but the picture.
void drawFrame()
{
    if (isGlide())
        drawGlideFrame();
    else
        drawGlFrame();
}

} // namespace

void darkenScreen(float opacity)
{
    constexpr float w = kScreenWidth, h = kScreenHeight;
    renderer->drawOverlayQuad(OverlayQuad{OverlayPoint{0.0f, 0.0f}, OverlayPoint{w, 0.0f}, OverlayPoint{w, h},
                                          OverlayPoint{0.0f, h}},
                              Colour{0.0f, 0.0f, 0.0f, opacity});
}

bool composeFrame()
{
    holdTheGame();
    bool presented = true;
    if (!leaveNameEntryForTitle()) {
        if (gameState == GameState::NameEntry)
            runNameEntryStep();
        bool playing = gameState == GameState::Playing;
        if (playing)
            startBannerOnNewLevel();
        if (pictureScreenUnchanged()) {
            presented = false;
        } else {
            if (rules().picturesDrawnOnce && onPictureScreen())
                screenDirty = false;
            drawFrame();
        }
        if (playing) {
            shrinkLevelBanner();
            // The "-5" flies on as its text is drawn.
            if (rules().fallPenaltyFlies && fallPending)
                advancePenaltyFlight();
        }
    }
    rememberDrawnScreen();
    return presented;
}

void resetFrameState()
{
    forgetStillFrame();
    drawnCursor = -1;
    drawnState = -1;
    drawnMenuShown = false;
    resetHudState();
    resetPictures();
}
