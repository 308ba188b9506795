#include "platform/sdl/sdl_platform.h"

#include "platform/letterbox.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_x11.h"

#include <SDL_opengl.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr int kWidth = kScreenWidth;
constexpr int kHeight = kScreenHeight;
constexpr const char* kTitle = "Orbivale";

Uint32 pushTimerEvent(Uint32 interval, void* param)
{
    SDL_Event event{};
    event.type = static_cast<Uint32>(reinterpret_cast<uintptr_t>(param));
    SDL_PushEvent(&event);
    return interval;
}

uint32_t axisToClassicRange(Sint16 value) { return static_cast<uint32_t>(static_cast<int>(value) + 32768); }

} // namespace

SdlPlatform::SdlPlatform() = default;

SdlPlatform::~SdlPlatform()
{
    if (frameLog_)
        std::fclose(frameLog_);
    if (statisticsTimer_)
        SDL_RemoveTimer(statisticsTimer_);
    audio_.close();
    if (joystick_)
        SDL_JoystickClose(joystick_);
    gamepad_.stop();
    if (glContext_)
        SDL_GL_DeleteContext(glContext_);
    if (frameTexture_)
        SDL_DestroyTexture(frameTexture_);
    if (frameRenderer_)
        SDL_DestroyRenderer(frameRenderer_);
    if (window_)
        SDL_DestroyWindow(window_);
    SDL_Quit();
}

bool SdlPlatform::init()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "Orbivale: %s\n", SDL_GetError());
        return false;
    }
    // With no display SDL quietly falls back to a driver that shows nothing;
    // a game nobody can see must end, unless that driver was asked for.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!std::getenv("SDL_VIDEODRIVER") && driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        std::fprintf(stderr, "Orbivale: no display to open a window on (is DISPLAY or WAYLAND_DISPLAY set?)\n");
        return false;
    }
    videoStarted_ = true;
    // Under X11 software frames reach the window through shared memory, not
    // through a second OpenGL path. Elsewhere (Wayland) the hint would leave
    // the window without any surface.
    if (driver && std::strcmp(driver, "x11") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (vsyncTurnedOff())
        pacer_.turnOff();
#ifdef __EMSCRIPTEN__
    // The page's animation frames pace every present; a sleep here would spin.
    pacer_.turnOff();
#endif
    if (const char* log = std::getenv("ORBIVALE_FRAME_LOG"); log && *log)
        frameLog_ = std::fopen(log, "w");
    userEventBase_ = SDL_RegisterEvents(2);
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0 && SDL_NumJoysticks() > 0)
        joystick_ = SDL_JoystickOpen(0);
    audio_.open(userEventBase_ + 1);
    return true;
}

bool SdlPlatform::createWindow(WindowStyle style)
{
    // High DPI: on a scaled desktop the window's pixels are drawn, not blown up.
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
#ifdef __EMSCRIPTEN__
    // The page scales the 640 x 480 canvas itself; the canvas keeps its pixels.
    flags &= ~Uint32(SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
#endif
    if (style == WindowStyle::BorderlessWithOpenGL) {
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        flags |= SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS;
    }
    window_ = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWidth, kHeight, flags);
    if (!window_ && style == WindowStyle::BorderlessWithOpenGL) {
        // No OpenGL visual (no GLX, say): the window is made without it, and
        // start-up reports the failed pixel format.
        pixelFormatFailure_ = PixelFormatFailure::Choose;
        pixelFormatText_ = SDL_GetError();
        window_ = SDL_CreateWindow(kTitle, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWidth, kHeight,
                                   flags & ~Uint32(SDL_WINDOW_OPENGL));
    }
    if (!window_) {
        std::fprintf(stderr, "Orbivale: %s\n", SDL_GetError());
        return false;
    }
    if (style == WindowStyle::BorderlessWithOpenGL && pixelFormatFailure_ == PixelFormatFailure::None) {
        if (SDL_ISPIXELFORMAT_INDEXED(SDL_GetWindowPixelFormat(window_))) {
            pixelFormatFailure_ = PixelFormatFailure::NeedsPalette;
        } else if (!(glContext_ = SDL_GL_CreateContext(window_))) {
            pixelFormatFailure_ = PixelFormatFailure::Set;
            pixelFormatText_ = SDL_GetError();
        }
    }
    if (glContext_) {
        startGlPacing();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window_);
    } else if (style == WindowStyle::Ordinary) {
        openFramePresenter();
    } else if (SDL_Surface* surface = (SDL_GetWindowFlags(window_) & SDL_WINDOW_OPENGL)
                                          ? nullptr
                                          : SDL_GetWindowSurface(window_)) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        SDL_UpdateWindowSurface(window_);
    }
    if (icon_) {
        if (SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(icon_), iconSide_,
                                                                   iconSide_, 32, iconSide_ * 4,
                                                                   SDL_PIXELFORMAT_RGBA32)) {
            SDL_SetWindowIcon(window_, icon);
            SDL_FreeSurface(icon);
        }
    }
    SDL_ShowCursor(style == WindowStyle::BorderlessWithOpenGL ? SDL_DISABLE : SDL_ENABLE);
    if (startFullscreen_)
        toggleFullscreen();
    if (windowCreatedHook_ && !windowCreatedHook_())
        return false;
    return true;
}

// Vertical sync where the driver offers it (adaptive first, so a late frame
// is not held a whole refresh); the pacer covers a driver that cannot.
void SdlPlatform::startGlPacing()
{
    bool driverSyncs = false;
    if (vsyncTurnedOff())
        SDL_GL_SetSwapInterval(0);
    else
        driverSyncs = SDL_GL_SetSwapInterval(-1) == 0 || SDL_GL_SetSwapInterval(1) == 0;
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(window_);
    int refresh = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    pacer_.start(refresh > 0 ? refresh : 60.0, driverSyncs);
}

double SdlPlatform::seconds() const
{
    return static_cast<double>(SDL_GetPerformanceCounter()) / static_cast<double>(SDL_GetPerformanceFrequency());
}

void SdlPlatform::logPresent()
{
    if (!frameLog_)
        return;
    double now = seconds();
    if (lastPresent_ >= 0.0) {
        std::fprintf(frameLog_, "%.3f\n", (now - lastPresent_) * 1000.0);
        std::fflush(frameLog_); // read while the game runs
    }
    lastPresent_ = now;
}

PixelFormatFailure SdlPlatform::pixelFormatFailure(std::string& systemText)
{
    systemText = pixelFormatText_;
    return pixelFormatFailure_;
}

// The window surface where the video driver has one of its own (X11 through
// shared memory, the dummy and offscreen drivers); elsewhere, or where the
// surface cannot be had, a renderer and streaming texture at the window's
// pixel size (Wayland, whose surface SDL would emulate at the window's point size).
void SdlPlatform::openFramePresenter()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    bool ownSurface = driver && (std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "dummy") == 0 ||
                                 std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "emscripten") == 0);
    if (ownSurface) {
        if (SDL_Surface* surface = SDL_GetWindowSurface(window_)) {
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
            SDL_UpdateWindowSurface(window_);
            return;
        }
    }
    frameRenderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (frameRenderer_)
        frameTexture_ = SDL_CreateTexture(frameRenderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWidth,
                                          kHeight);
    if (!frameTexture_) {
        std::fprintf(stderr, "Orbivale: no way to show frames in the window: %s\n", SDL_GetError());
        if (frameRenderer_)
            SDL_DestroyRenderer(frameRenderer_);
        frameRenderer_ = nullptr;
        return;
    }
    SDL_SetRenderDrawColor(frameRenderer_, 0, 0, 0, 255);
    SDL_RenderClear(frameRenderer_);
    SDL_RenderPresent(frameRenderer_);
}

bool SdlPlatform::hasFrameSurface()
{
    if (!window_)
        return false;
    return frameRenderer_ ? frameTexture_ != nullptr : SDL_GetWindowSurface(window_) != nullptr;
}

void SdlPlatform::swapGlBuffers()
{
    if (!window_)
        return;
    double wait = pacer_.waitBeforePresent(seconds());
    if (wait > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    SDL_GL_SwapWindow(window_);
    pacer_.presented(seconds());
    logPresent();
}

void SdlPlatform::glDrawableSize(int& width, int& height)
{
    width = 0;
    height = 0;
    if (window_)
        SDL_GL_GetDrawableSize(window_, &width, &height);
}

int SdlPlatform::glPixelScale()
{
    int pixels = 0;
    int height = 0;
    int units = 0;
    glDrawableSize(pixels, height);
    if (window_)
        SDL_GetWindowSize(window_, &units, &height);
    int scale = units > 0 ? (pixels + units / 2) / units : 1;
    return scale > 1 ? scale : 1;
}

void* SdlPlatform::glProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

double SdlPlatform::secondsToNextRefresh() { return pacer_.secondsToNextRefresh(seconds()); }

void SdlPlatform::presentSoftwareFrame(const uint32_t* pixels)
{
    lastFrame_ = pixels;
    if (!window_ || !pixels)
        return;
    logPresent();
    showSoftwareFrame(pixels);
}

void SdlPlatform::showSoftwareFrame(const uint32_t* pixels)
{
    if (frameRenderer_) {
        presentThroughRenderer(pixels);
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (!target)
        return;
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), kWidth, kHeight, 32,
                                                            kWidth * 4, SDL_PIXELFORMAT_RGB888);
    if (!frame)
        return;
    WindowRect fit = letterbox(target->w, target->h);
    SDL_Rect inside{fit.x, fit.y, fit.width, fit.height};
    // Only the bars are painted black: the picture covers the rest.
    Uint32 black = SDL_MapRGB(target->format, 0, 0, 0);
    SDL_Rect bars[4] = {
        {0, 0, target->w, fit.y},
        {0, fit.y + fit.height, target->w, target->h - fit.y - fit.height},
        {0, fit.y, fit.x, fit.height},
        {fit.x + fit.width, fit.y, target->w - fit.x - fit.width, fit.height},
    };
    for (const SDL_Rect& bar : bars)
        if (bar.w > 0 && bar.h > 0)
            SDL_FillRect(target, &bar, black);
    if (fit.width == kWidth && fit.height == kHeight)
        SDL_BlitSurface(frame, nullptr, target, &inside);
    else
        SDL_BlitScaled(frame, nullptr, target, &inside);
    SDL_FreeSurface(frame);
    SDL_UpdateWindowSurface(window_);
}

void SdlPlatform::presentThroughRenderer(const uint32_t* pixels)
{
    int width = 0;
    int height = 0;
    if (SDL_GetRendererOutputSize(frameRenderer_, &width, &height) != 0)
        return;
    SDL_UpdateTexture(frameTexture_, nullptr, pixels, kWidth * 4);
    WindowRect fit = letterbox(width, height);
    SDL_Rect inside{fit.x, fit.y, fit.width, fit.height};
    SDL_RenderClear(frameRenderer_);
    SDL_RenderCopy(frameRenderer_, frameTexture_, nullptr, &inside);
    SDL_RenderPresent(frameRenderer_);
}

void SdlPlatform::showLastSoftwareFrame()
{
    if (window_ && !glContext_ && lastFrame_)
        showSoftwareFrame(lastFrame_);
}

void SdlPlatform::toggleFullscreen()
{
    if (!window_)
        return;
    bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    if (!full) {
        SDL_GetWindowPosition(window_, &windowedRect_.x, &windowedRect_.y);
        SDL_GetWindowSize(window_, &windowedRect_.w, &windowedRect_.h);
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
        // Without a window manager nobody acts on the request: SDL takes the
        // desktop's size as the window's while the X window stays as it was.
        SDL_Rect desktop;
        if (withoutWindowManager(window_) && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &desktop) == 0)
            placeWindowOverRect(window_, desktop);
        return;
    }
    SDL_SetWindowFullscreen(window_, 0);
    // Without a window manager SDL keeps the desktop's size as the window's
    // (the picture would stay cropped to a corner): the place and size from
    // before full screen are given back explicitly.
    SDL_SetWindowSize(window_, windowedRect_.w, windowedRect_.h);
    SDL_SetWindowPosition(window_, windowedRect_.x, windowedRect_.y);
}

// F11 and Alt+Enter belong to the window, not to the game (F11 would otherwise
// arrive as the game's key 122).
bool SdlPlatform::isFullscreenToggle(const SDL_KeyboardEvent& key) const
{
    SDL_Keycode sym = key.keysym.sym;
    if (sym == SDLK_F11)
        return true;
    return (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) != 0;
}

void SdlPlatform::minimizeWindow()
{
    if (window_)
        SDL_MinimizeWindow(window_);
}

void SdlPlatform::translate(const SDL_Event& e)
{
    if (gamepadOn_ && gamepad_.handle(e, padKeys_)) {
        for (int key : padKeys_)
            queue_.push_back(Event{kEventKeyDown, key});
        padKeys_.clear();
        return;
    }
    switch (e.type) {
    case SDL_QUIT:
        // SIGTERM and the last window's close both arrive here: one close event.
        if (!closeDelivered_) {
            closeDelivered_ = true;
            queue_.push_back(Event{kEventClose, 0});
        }
        return;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            if (!closeDelivered_) {
                closeDelivered_ = true;
                queue_.push_back(Event{kEventClose, 0});
            }
            return;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            queue_.push_back(Event{kEventSetFocus, 0});
            return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            queue_.push_back(Event{kEventKillFocus, 0});
            return;
        case SDL_WINDOWEVENT_EXPOSED:
            showLastSoftwareFrame();
            queue_.push_back(Event{kEventPaint, 0});
            return;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The window may have lost its contents; the game may not draw again soon.
            showLastSoftwareFrame();
            return;
        default:
            return;
        }
    case SDL_KEYDOWN: {
        if (isFullscreenToggle(e.key)) {
            if (!e.key.repeat)
                toggleFullscreen();
            return;
        }
        int code = gameKeyCode(e.key.keysym);
        if (code != 0)
            queue_.push_back(Event{kEventKeyDown, code});
        return;
    }
    default:
        break;
    }
    if (e.type == SDL_AUDIODEVICEREMOVED && !e.adevice.iscapture) {
        audio_.deviceRemoved(SDL_GetTicks64());
    } else if (e.type == SDL_AUDIODEVICEADDED && !e.adevice.iscapture) {
        audio_.deviceAdded(SDL_GetTicks64());
    } else if (e.type == userEventBase_) {
        queue_.push_back(Event{kEventTimer, 1});
    } else if (e.type == userEventBase_ + 1) {
        if (audio_.pieceEnded(e.user.code))
            queue_.push_back(Event{kEventMusicNotify, 0});
    }
}

void SdlPlatform::pumpSdlEvents()
{
    SDL_Event e;
    while (SDL_PollEvent(&e))
        translate(e);
    audio_.reopenWhenDue(SDL_GetTicks64());
}

bool SdlPlatform::takeEvent(Event& event)
{
    pumpSdlEvents();
    if (queue_.empty())
        return false;
    event = queue_.front();
    queue_.pop_front();
    return true;
}

void SdlPlatform::postEvent(const Event& event) { queue_.push_back(event); }

void SdlPlatform::waitForEvent(double seconds)
{
    pumpSdlEvents();
#ifdef __EMSCRIPTEN__
    // The browser cannot block: the page's next animation frame is the wait.
    seconds = 0.0;
#endif
    if (!queue_.empty() || !(seconds > 0.0))
        return;
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, static_cast<int>(std::ceil(seconds * 1000.0))))
        translate(e);
}

int64_t SdlPlatform::counter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }

int64_t SdlPlatform::counterFrequency() { return static_cast<int64_t>(SDL_GetPerformanceFrequency()); }

void SdlPlatform::startStatisticsTimer()
{
    if (statisticsTimer_ == 0)
        statisticsTimer_ = SDL_AddTimer(1000, pushTimerEvent,
                                        reinterpret_cast<void*>(static_cast<uintptr_t>(userEventBase_)));
}

void SdlPlatform::messageBox(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (!videoStarted_)
        return;
    // Without a display that can show it, the line above is all there is and
    // the program goes on as if OK had been pressed.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), window_);
}

// The refusal beep is a short wave of the game's own, on a channel of its own
// as the system's beep would be: it neither cuts off nor is cut off by a sound.
void SdlPlatform::beep() { audio_.playSound("sounds/beep.wav", SdlAudio::kBeepChannel); }

bool SdlPlatform::padStick(int16_t& x, int16_t& y) { return gamepadOn_ && gamepad_.stick(x, y); }

bool SdlPlatform::keyHeld(int keyCode)
{
    if (gamepadOn_ && gamepad_.held(keyCode))
        return true;
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    if (keyCode == kKeyShift)
        return state[SDL_SCANCODE_LSHIFT] || state[SDL_SCANCODE_RSHIFT];
    SDL_Scancode scancode = scancodeForGameKey(keyCode);
    return scancode != SDL_SCANCODE_UNKNOWN && state[scancode];
}

void SdlPlatform::playSound(const std::string& file) { audio_.playSound(file); }

int SdlPlatform::startMusic(const std::string& file) { return audio_.startMusic(file); }

void SdlPlatform::stopMusic() { audio_.stopMusic(); }

bool SdlPlatform::joystickPosition(JoystickPosition& position)
{
    if (!joystick_ || !SDL_JoystickGetAttached(joystick_))
        return false;
    SDL_JoystickUpdate();
    position.x = axisToClassicRange(SDL_JoystickGetAxis(joystick_, 0));
    position.y = axisToClassicRange(SDL_JoystickGetAxis(joystick_, 1));
    position.buttons = 0;
    int buttons = SDL_JoystickNumButtons(joystick_);
    for (int i = 0; i < buttons && i < 32; ++i)
        if (SDL_JoystickGetButton(joystick_, i))
            position.buttons |= 1u << i;
    return true;
}

bool SdlPlatform::joystickCaps(JoystickCaps& caps)
{
    if (!joystick_)
        return false;
    caps = JoystickCaps();
    return true;
}
