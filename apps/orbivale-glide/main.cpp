#include "glide2/presenter.h"
#include "platform/sdl/sdl_platform.h"
#include "render/glide/glide_renderer.h"
#include "shell/edition.h"
#include "shell/program.h"

namespace {

// The software card's finished frames go to the ordinary window.
void presentFrame(void* userData, const std::uint32_t* pixels, int width, int height)
{
    SDL_Window* window = static_cast<SdlPlatform*>(userData)->window();
    if (!window || width != 640 || height != 480)
        return;
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target)
        return;
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(pixels), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_RGB888);
    if (!frame)
        return;
    if (target->w == width && target->h == height)
        SDL_BlitSurface(frame, nullptr, target, nullptr);
    else
        SDL_BlitScaled(frame, nullptr, target, nullptr);
    SDL_FreeSurface(frame);
    SDL_UpdateWindowSurface(window);
}

} // namespace

int main(int, char**)
{
    edition = Edition::Glide;
    SdlPlatform sdl;
    if (!sdl.init())
        return 0;
    platform = &sdl;
    GlideRenderer glide;
    renderer = &glide;
    // The card finds itself only with somewhere to show its frames.
    glide2SetPresenter(&presentFrame, &sdl);
    int exitCode = runProgram();
    glide2SetPresenter(nullptr, nullptr);
    renderer = nullptr;
    platform = nullptr;
    return exitCode;
}
