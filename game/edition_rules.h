#pragma once

#include "game/edition.h"
#include "game/menu_item.h"
#include "platform/platform.h"

#include <cstdint>

// Everything the two programs do differently by a value or by a yes/no, one
// table per edition, so that the differences can be read side by side in
// edition_rules.cpp. Where they differ by more than that (a different order
// of steps, the graphics card's own calls), the code still asks isGlide().
struct EditionRules {
    // Window and start-up.
    WindowStyle windowStyle;
    bool startsUpOnceWindowShown; // otherwise inside the create event
    bool checksPixelFormat;
    bool redrawsOnPaint;
    const char* fontImage; // the glyph images: a .bmp base name or a .3df file
    const char* fontMetrics;
    float focusRegainedHold; // seconds the marble is held when the window gets the focus back; 0: none

    // The frame and the clock.
    float maxFrameTime;        // a longer frame counts as this long
    float maxCameraEasingStep; // the camera eases by at most this much time per frame
    bool timeUpAtZero;         // otherwise only once the countdown is below 0
    bool timedOutGameRanked;   // a timed-out game ends as if its last level was passed
    bool pollsJoystickMenu;    // the stick moves the menu cursor
    bool musicLoops;           // the pieces follow each other; otherwise one piece per game

    // The marble.
    bool fallPenaltyFlies;          // a fall's "-5" flies to the countdown; otherwise it is taken at once
    bool hasBoost;                  // Turbo: its reserve and its gauge
    bool steersWithJoystick;        // the joystick steers when present and chosen
    bool steersWithPad;             // a game pad's stick adds to the keys
    float pitPutBackLimit;          // a marble in a pit is put back no further back than this
    bool sideFallWalksBack;         // off the side: back along the middle to a clear place; otherwise across
    float behindTrackPutBackY;      // where a marble behind the track is put back
    bool startLineWhenNoClearPlace; // a put-back still in a pit goes to the start line

    // Levels.
    int32_t exactLevelCount; // the level list must hold this many; 0: any, at least 1
    bool levelListErrorsShown;
    bool checksHoleCount;    // only the shipped hole counts are accepted
    float unplayedLevelTime; // a level's time before it is played

    // Best times.
    const char* bestTimesFile;
    const char* defaultBestName;
    bool bestTimesKeepOptions;      // the options follow the table in its file
    bool announcesNewBestTimesFile; // "Creating new highScores file"
    bool namesNewBest;              // a new best game waits for its name; otherwise it is saved at once
    bool unfinishedShownAsNA;       // an unfinished level, or a default row, reads "NA"
    const char* totalRule;          // the line above this game's total
    bool totalColoursWholeRow;      // otherwise only the time of a row equal to the total

    // Menus, pictures and text.
    const MenuItem* menuLines; // index: cursor number (entry 0 unused)
    const int* menuUp;         // the line above each line, before the skips
    const int* menuDown;
    int menuLineCount;
    bool highScoreChoosable;      // the title menu's HIGHSCORE line can be chosen
    bool quitShowsClosingPicture; // otherwise Quit closes the window
    bool picturesDrawnOnce;       // an unchanged picture screen is not drawn again
    bool f1GoesToNextLevel;
    float menuShade;    // how dark the open menu makes the screen
    float pictureShade; // how dark the best-times and credits pictures are made
    float greyTextPart;
    bool textColourInBytes; // the font takes colour parts 0 to 255, no alpha
    bool hudShowsMarblePosition;

    // The terrain: the walk starts this many world units ahead of the camera.
    double terrainStartRowOffset;

    // The marble's look.
    float marbleRadiusScale; // the disc's radius times its depth
    float marbleGhostOpacity;
    bool ghostRimAtFixedDepth; // the see-through disc's rim is nearer than any scene point
    bool drawsMarbleRim;
    bool arrowsFromContactPoint; // otherwise from the ball's centre
};

extern const EditionRules kGlRules;
extern const EditionRules kGlideRules;

// The table of the edition running.
inline const EditionRules& rules() { return isGlide() ? kGlideRules : kGlRules; }
