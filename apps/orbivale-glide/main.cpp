#include "apps/common/command_line.h"
#include "icons/window_icon.inc"
#include "glide2/draw_threads.h"
#include "glide2/swap_pacing.h"
#include "platform/present_pacer.h"
#include "platform/sdl/sdl_platform.h"
#include "render/glide/glide_renderer.h"
#include "game/edition.h"
#include "shell/practice.h"
#include "shell/program.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"

int main(int argc, char** argv)
{
    CommandLine line;
    if (int exitCode = parseCommandLine(argc, argv, "orbivale-glide", line, stdout, stderr); exitCode >= 0)
        return exitCode;
    settleFilesForPlay(line, "glide");
    if (int exitCode = checkPracticeLevel(line, "orbivale-glide", stderr); exitCode >= 0)
        return exitCode;
    replayToPlay = line.replayFile;
    practiceLevelToPlay = line.practiceLevel;
    ghostToRace = line.ghostFile;
    replayGameVersion = versionText();
    edition = Edition::Glide;
    ORBIVALE_LOOP_LOCAL SdlPlatform sdl;
    if (!sdl.init())
        return 1; // no display: a launcher must see the failure
    sdl.setStartFullscreen(line.fullscreen);
    sdl.setWindowIcon(kWindowIconGlide, kWindowIconSize);
    platform = &sdl;
    ORBIVALE_LOOP_LOCAL GlideRenderer glide;
    renderer = &glide;
    // The card finds itself only with somewhere to show its frames.
    glide.showFramesIn(&sdl);
    // Swaps wait for the card's retraces unless a benchmark wants every frame.
    glide2SetSwapWait(!vsyncTurnedOff());
#ifdef __EMSCRIPTEN__
    // The page's animation frames keep the beat, and the card draws on the
    // one thread a page without cross-origin isolation has.
    glide2SetSwapWait(false);
    glide2SetThreadCount(1);
#endif
    int exitCode = runProgram();
    renderer = nullptr;
    platform = nullptr;
    return exitCode;
}
