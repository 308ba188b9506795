#include "game/edition_rules.h"

#include "game/game_state.h"

#include <limits>

namespace {

constexpr float kUncapped = std::numeric_limits<float>::infinity();

// Index: cursor number; value: the line. Entry 0 is never used.
constexpr MenuItem kGlLines[] = {MenuItem::NewGame, MenuItem::NewGame,    MenuItem::HighScore, MenuItem::Options,
                                 MenuItem::Quit,    MenuItem::Statistics, MenuItem::Fog,       MenuItem::FarSight,
                                 MenuItem::Normal,  MenuItem::CameraLag,  MenuItem::Midi,      MenuItem::Done};
constexpr MenuItem kGlideLines[] = {MenuItem::NewGame,  MenuItem::NewGame, MenuItem::Options,    MenuItem::HighScore,
                                    MenuItem::Credits,  MenuItem::Quit,    MenuItem::Statistics, MenuItem::Fog,
                                    MenuItem::FarSight, MenuItem::Normal,  MenuItem::CameraLag,  MenuItem::Midi,
                                    MenuItem::Control,  MenuItem::Done};

// Moves without the skips over lines that cannot be chosen; index: cursor number.
constexpr int kGlUp[] = {1, 4, 1, 2, 3, 11, 5, 6, 7, 8, 9, 10};
constexpr int kGlDown[] = {1, 2, 3, 4, 1, 6, 7, 8, 9, 10, 11, 5};
constexpr int kGlideUp[] = {1, 5, 1, 2, 2, 4, 13, 6, 7, 8, 9, 10, 11, 12};
constexpr int kGlideDown[] = {1, 2, 4, 4, 5, 1, 7, 8, 9, 10, 11, 12, 13, 6};

} // namespace

const EditionRules kGlRules = {
    .windowStyle = WindowStyle::BorderlessWithOpenGL,
    .startsUpOnceWindowShown = false,
    .checksPixelFormat = true,
    .redrawsOnPaint = true,
    .fontImage = "graphics/font/font",
    .fontMetrics = "graphics/font/font.dat",
    .focusRegainedHold = 0.0f,

    .maxFrameTime = kUncapped,
    .maxCameraEasingStep = 0.1f,
    .timeUpAtZero = false,
    .timedOutGameRanked = true,
    .pollsJoystickMenu = false,
    .musicLoops = true,

    .fallPenaltyFlies = true,
    .hasBoost = true,
    .steersWithJoystick = false,
    .steersWithPad = true,
    .pitPutBackLimit = -6000.0f, // the back of the track
    .sideFallWalksBack = false,
    .behindTrackPutBackY = -5700.0f,
    .startLineWhenNoClearPlace = false,

    .exactLevelCount = 0,
    .levelListErrorsShown = false,
    .checksHoleCount = false,
    .unplayedLevelTime = kRaceLength,

    .bestTimesFile = "highScore.dat",
    .defaultBestName = "aaa",
    .bestTimesKeepOptions = false,
    .announcesNewBestTimesFile = true,
    .namesNewBest = true,
    .unfinishedShownAsNA = false,
    .totalRule = "------",
    .totalColoursWholeRow = true,

    .menuLines = kGlLines,
    .menuUp = kGlUp,
    .menuDown = kGlDown,
    .menuLineCount = 11,
    .highScoreChoosable = true,
    .quitShowsClosingPicture = false,
    .picturesDrawnOnce = false,
    .f1GoesToNextLevel = true,
    .menuShade = 0.5f,
    .pictureShade = 0.5f,
    .greyTextPart = 0.5f,
    .textColourInBytes = false,
    .hudShowsMarblePosition = false,

    .terrainStartRowOffset = 400.0,

    .marbleRadiusScale = 6400.0f,
    .marbleGhostOpacity = 0.3f,
    .ghostRimAtFixedDepth = false,
    .drawsMarbleRim = true,
    .arrowsFromContactPoint = false,
};

const EditionRules kGlideRules = {
    .windowStyle = WindowStyle::Ordinary,
    .startsUpOnceWindowShown = true,
    .checksPixelFormat = false,
    .redrawsOnPaint = false,
    .fontImage = "graphics/newFont.3df",
    .fontMetrics = "misc/newFont.dat",
    .focusRegainedHold = 2.0f, // of level time

    .maxFrameTime = kGlideMaxFrameTime,
    .maxCameraEasingStep = kUncapped, // the frame is capped already
    .timeUpAtZero = true,
    .timedOutGameRanked = false,
    .pollsJoystickMenu = true,
    .musicLoops = false,

    .fallPenaltyFlies = false,
    .hasBoost = false,
    .steersWithJoystick = true,
    .steersWithPad = false,
    .pitPutBackLimit = -5970.0f,
    .sideFallWalksBack = true,
    .behindTrackPutBackY = -5800.0f, // the start line
    .startLineWhenNoClearPlace = true,

    .exactLevelCount = 3,
    .levelListErrorsShown = true,
    .checksHoleCount = true,
    .unplayedLevelTime = kRaceLength + 1.0f, // above the race: not finished

    .bestTimesFile = "misc/highScore.dat",
    .defaultBestName = "___",
    .bestTimesKeepOptions = true,
    .announcesNewBestTimesFile = false,
    .namesNewBest = false,
    .unfinishedShownAsNA = true,
    .totalRule = "--------",
    .totalColoursWholeRow = false,

    .menuLines = kGlideLines,
    .menuUp = kGlideUp,
    .menuDown = kGlideDown,
    .menuLineCount = 13,
    .highScoreChoosable = false,
    .quitShowsClosingPicture = true,
    .picturesDrawnOnce = true,
    .f1GoesToNextLevel = false,
    .menuShade = 200.0f / 255.0f,
    .pictureShade = 210.0f / 255.0f,
    .greyTextPart = 128.0f / 255.0f,
    .textColourInBytes = true,
    .hudShowsMarblePosition = true,

    .terrainStartRowOffset = 1000.0,

    .marbleRadiusScale = 8000.0f,
    .marbleGhostOpacity = 40.0f / 255.0f,
    .ghostRimAtFixedDepth = true,
    .drawsMarbleRim = false,
    .arrowsFromContactPoint = true,
};
