#include "apps/common/command_line.h"
#include "apps/orbivale-gl/first_frames.h"
#include "icons/window_icon.inc"
#include "platform/sdl/sdl_platform.h"
#ifdef __EMSCRIPTEN__
#include "render/gles2/gles2_renderer.h"
#else
#include "render/gl/gl_renderer.h"
#endif
#include "render/null_renderer.h"
#include "render/renderer.h"
#include "game/edition.h"
#include "shell/practice.h"
#include "shell/program.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"

#include <cstdlib>
#include <memory>

#ifdef __EMSCRIPTEN__
// A browser offers OpenGL ES 2 (WebGL), not OpenGL 1.1.
using GameRenderer = Gles2Renderer;
#else
using GameRenderer = GlRenderer;
#endif

int main(int argc, char** argv)
{
    CommandLine line;
    if (int exitCode = parseCommandLine(argc, argv, "orbivale-gl", line, stdout, stderr); exitCode >= 0)
        return exitCode;
    settleFilesForPlay(line, "gl");
    if (int exitCode = checkPracticeLevel(line, "orbivale-gl", stderr); exitCode >= 0)
        return exitCode;
    replayToPlay = line.replayFile;
    practiceLevelToPlay = line.practiceLevel;
    ghostToRace = line.ghostFile;
    replayGameVersion = versionText();
    edition = Edition::Gl;
    ORBIVALE_LOOP_LOCAL SdlPlatform sdl;
    if (!sdl.init())
        return 1; // no display: a launcher must see the failure
    sdl.setStartFullscreen(line.fullscreen);
    sdl.setWindowIcon(kWindowIconGl, kWindowIconSize);
    sdl.enableGamepad();
    platform = &sdl;
    // The back end needs the window's OpenGL context, and start-up (inside the
    // window's create event) already draws the font texture through it.
    // Without a context (a failed pixel format) nothing can be drawn while
    // start-up reports it and the program ends.
    ORBIVALE_LOOP_LOCAL std::unique_ptr<GameRenderer> gl;
    ORBIVALE_LOOP_LOCAL NullRenderer nothing;
    ORBIVALE_LOOP_LOCAL std::unique_ptr<FirstFramesWindow> keeper;
    ORBIVALE_LOOP_LOCAL const char* framesFolder = nullptr;
    framesFolder = std::getenv("ORBIVALE_FIRST_FRAMES");
    sdl.setWindowCreatedHook([&] {
        if (sdl.hasGlContext()) {
            GlWindow* window = &sdl;
            if (framesFolder && *framesFolder) {
                keeper = std::make_unique<FirstFramesWindow>(sdl, framesFolder);
                window = keeper.get();
            }
            gl = std::make_unique<GameRenderer>(*window);
            renderer = gl.get();
        } else
            renderer = &nothing;
        return true;
    });
    int exitCode = runProgram();
    renderer = nullptr;
    gl.reset();
    keeper.reset();
    platform = nullptr;
    return exitCode;
}
