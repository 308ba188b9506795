#include "tools/mapcheck/par.h"

#include "game/edition.h"
#include "game/game_state.h"
#include "levels/level_map.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "tools/autopilot/autopilot.h"

ParRun runPar(ConsolePlatform& console, float limit)
{
    ParRun run;
    Autopilot pilot;
    if (!pilot.plan(levelMap))
        return run;
    run.lineFound = true;

    const float dt = 1.0f / 60.0f;
    const float fallSeconds = 4.0f;
    resetMarbleControlState();
    marble.setPosition(Vec3(0.0f, kStartY, levelMap.heightAt(0.0f, kStartY)));
    marble.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
    levelNumber = 0; // no level list entry takes the time
    levelDone = false;
    penaltyTimer = 0.0f;
    frameTime = dt;
    float elapsed = 0.0f;
    while (!levelDone && elapsed < limit) {
        // The countdown stays in the race; the falls are counted here.
        timeLeft = 45.0f;
        console.heldKeys = pilot.keysFor(marble, isGlide() || boostReserve > 0.0f);
        if (updateMarble().fell)
            ++run.falls;
        if (levelDone)
            break;
        elapsed += dt;
        penaltyTimer -= dt;
    }
    console.heldKeys.clear();
    run.reachedGoal = levelDone;
    run.seconds = elapsed + fallSeconds * float(run.falls);
    return run;
}
