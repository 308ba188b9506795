#include "shell/frame.h"

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
#include "sim/view_transform.h"

namespace {

// What orbivale-glide drew last: an unchanged picture screen is not drawn
// again, since copying a picture into the card's memory is slow.
int drawnCursor = -1;
int drawnState = -1;
bool drawnMenuShown = false;

// The picture screens hold the game: no music, no clock, no pause.
void holdTheGame(bool stopTheMusic)
{
    if (stopTheMusic && musicPlaying)
        stopMusic();
    paused = false;
    levelDone = true;
    clockStopped = true;
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
        holdTheGame(true);
        blitTitlePicture();
        drawMenuIfShown();
        renderer->present();
        break;
    case GameState::ScoreTable:
        holdTheGame(true);
        blitBackPicture();
        darkenScreen(rules().pictureShade);
        drawBestTimes();
        drawMenuIfShown();
        renderer->present();
        break;
    case GameState::Playing:
        drawPlaying();
        break;
    case GameState::NameEntry:
        holdTheGame(false); // the music plays on while the name is typed
        runNameEntryStep();
        blitBackPicture();
        darkenScreen(rules().pictureShade);
        drawBestTimes();
        drawMenuIfShown();
        renderer->present();
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

// False for a picture screen left as it was: nothing is presented.
bool drawGlideFrame()
{
    switch (gameState) {
    case GameState::Playing:
        drawPlaying();
        break;
    case GameState::Title:
    case GameState::ScoreTable: {
        holdTheGame(true);
        bool unchanged = menuCursor == drawnCursor && menuShown == drawnMenuShown &&
                         static_cast<int>(gameState) == drawnState && !screenDirty;
        if (unchanged)
            return false;
        screenDirty = false;
        if (gameState == GameState::Title) {
            drawPicture("graphics/title.bmp");
        } else {
            drawPicture("graphics/back.bmp");
            darkenScreen(rules().pictureShade);
            drawBestTimes();
        }
        endPictureScreen();
        break;
    }
    case GameState::NameEntry:
        // No name entry here: the new row keeps its marker.
        gameState = GameState::Title;
        break;
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
    return true;
}

} // namespace

void darkenScreen(float opacity)
{
    renderer->drawOverlayQuad(OverlayQuad{OverlayPoint{0.0f, 0.0f}, OverlayPoint{640.0f, 0.0f},
                                          OverlayPoint{640.0f, 480.0f}, OverlayPoint{0.0f, 480.0f}},
                              Colour{0.0f, 0.0f, 0.0f, opacity});
}

bool drawFrame()
{
    bool presented = true;
    if (isGlide())
        presented = drawGlideFrame();
    else
        drawGlFrame();
    drawnCursor = menuCursor;
    drawnState = static_cast<int>(gameState);
    drawnMenuShown = menuShown;
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
