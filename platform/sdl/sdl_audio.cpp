#include "platform/sdl/sdl_audio.h"

#include "files/data_file.h"
#include "files/data_paths.h"

#include <SDL.h>

#include <cstdio>

namespace {

Uint32 musicEndEventType = 0;
// Pieces are numbered so that the end of an older piece, still queued when a
// new one starts, can be told apart and dropped.
SDL_atomic_t currentPiece;
// Set while we halt a piece ourselves: only a piece that really ended is news.
SDL_atomic_t halting;

// Runs on the audio thread: only hand the news to the game's queue.
void onMusicFinished()
{
    if (SDL_AtomicGet(&halting))
        return;
    SDL_Event event{};
    event.type = musicEndEventType;
    event.user.code = SDL_AtomicGet(&currentPiece);
    SDL_PushEvent(&event);
}

// Sound files come through the game's file layer, like every data file: a
// folder or device of that name is a missing file, not a crash in the decoder.
Mix_Chunk* loadWave(const std::string& file)
{
    std::string bytes;
    if (!readDataFile(file, kWaveFileLimit, bytes))
        return nullptr;
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    return source ? Mix_LoadWAV_RW(source, 1) : nullptr;
}

} // namespace

bool SdlAudio::open(Uint32 musicEndEvent)
{
    musicEndEventType = musicEndEvent;
    // Opened again after a loss: the driver that worked, not the first one
    // that answers while the sound server is still coming back.
    if (!driver_.empty())
        SDL_SetHint(SDL_HINT_AUDIODRIVER, driver_.c_str());
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_Init(MIX_INIT_MID);
    // The pieces' own small soundfont holds just the instruments they play;
    // the system's General MIDI set (some 16 MB once loaded) is the fallback.
    std::string soundFont = dataFilePath(kSoundFontFile);
    if (isRegularFile(soundFont))
        Mix_SetSoundFonts(soundFont.c_str());
    Mix_AllocateChannels(2);
    // The synthesizer plays near full scale; a little headroom keeps an
    // effect on top of the music from clipping.
    Mix_VolumeMusic(MIX_MAX_VOLUME * 3 / 4);
    Mix_HookMusicFinished(onMusicFinished);
    if (const char* driver = SDL_GetCurrentAudioDriver(); driver && driver_.empty())
        driver_ = driver;
    open_ = true;
    return true;
}

void SdlAudio::deviceRemoved(Uint64 nowMs)
{
    if (!open_ || lost_)
        return;
    std::fprintf(stderr, "Orbivale: the sound device went away; trying to open it again\n");
    lost_ = true;
    retryAt_ = nowMs;
}

void SdlAudio::deviceAdded(Uint64 nowMs)
{
    if (lost_)
        retryAt_ = nowMs;
}

void SdlAudio::reopenWhenDue(Uint64 nowMs)
{
    if (!lost_ || nowMs < retryAt_)
        return;
    retryAt_ = nowMs + 1000;
    bool resume = musicPlaying_;
    std::string piece = musicFile_;
    close();
    if (!open(musicEndEventType)) {
        musicPlaying_ = resume; // still wanted when the device comes back
        musicFile_ = piece;
        return;
    }
    lost_ = false;
    std::fprintf(stderr, "Orbivale: sound is back\n");
    if (resume)
        startMusic(piece);
}

void SdlAudio::close()
{
    if (!open_)
        return;
    Mix_HookMusicFinished(nullptr);
    stopMusic();
    Mix_HaltChannel(-1);
    if (music_)
        Mix_FreeMusic(music_);
    music_ = nullptr;
    for (auto& entry : chunks_)
        if (entry.second)
            Mix_FreeChunk(entry.second);
    chunks_.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

void SdlAudio::playSound(const std::string& file, int channel)
{
    if (!open_)
        return;
    auto found = chunks_.find(file);
    if (found == chunks_.end()) {
        // A file that does not load is remembered as such and stays silent.
        found = chunks_.emplace(file, loadWave(file)).first;
    }
    if (found->second)
        Mix_PlayChannel(channel, found->second, 0); // cuts off the last sound on it
}

int SdlAudio::startMusic(const std::string& file)
{
    if (lost_ && !open_) {
        // Heard once the device is back.
        musicFile_ = file;
        musicPlaying_ = true;
        return 1;
    }
    if (!open_)
        return 1;
    stopMusic();
#ifdef __EMSCRIPTEN__
    // The browser has no synthesizer: each piece comes rendered beside its
    // MIDI file, as Ogg.
    std::string rendered = file;
    if (rendered.size() > 4 && rendered.compare(rendered.size() - 4, 4, ".mid") == 0)
        rendered.replace(rendered.size() - 4, 4, ".ogg");
    if (!readDataFile(rendered, kMusicFileLimit, musicBytes_))
        return 2;
#else
    if (!readDataFile(file, kMusicFileLimit, musicBytes_))
        return 2;
#endif
    SDL_RWops* source = SDL_RWFromConstMem(musicBytes_.data(), static_cast<int>(musicBytes_.size()));
    music_ = source ? Mix_LoadMUS_RW(source, 1) : nullptr;
    if (!music_)
        return 2;
    SDL_AtomicAdd(&currentPiece, 1);
    if (Mix_PlayMusic(music_, 0) != 0) {
        Mix_FreeMusic(music_);
        music_ = nullptr;
        return 3;
    }
    musicFile_ = file;
    musicPlaying_ = true;
    return 0;
}

void SdlAudio::stopMusic()
{
    musicPlaying_ = false;
    if (!open_ || !music_)
        return;
    SDL_AtomicSet(&halting, 1);
    Mix_HaltMusic();
    SDL_AtomicSet(&halting, 0);
    Mix_FreeMusic(music_);
    music_ = nullptr;
}

bool SdlAudio::pieceEnded(int piece)
{
    if (piece != SDL_AtomicGet(&currentPiece))
        return false;
    musicPlaying_ = false;
    return true;
}
