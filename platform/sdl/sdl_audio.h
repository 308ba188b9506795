#pragma once

#include <SDL_mixer.h>

#include <map>
#include <string>

// Wave effects on one mixer channel, the refusal beep on another, and MIDI
// music through SDL_mixer. Without
// an audio device the game runs on silently.
class SdlAudio {
public:
    // musicEndEvent is the SDL event type pushed when a piece ends or is halted.
    bool open(Uint32 musicEndEvent);
    void close();

    // The game's sounds share one channel, each cutting off the last; the
    // refusal beep is the system's and has a channel of its own.
    static constexpr int kEffectChannel = 0;
    static constexpr int kBeepChannel = 1;
    void playSound(const std::string& file, int channel = kEffectChannel);
    int startMusic(const std::string& file);
    void stopMusic();
    // Whether a music-end event (its user code) belongs to the piece now loaded.
    bool isCurrentPiece(int piece) const;

private:
    bool open_ = false;
    std::map<std::string, Mix_Chunk*> chunks_;
    Mix_Music* music_ = nullptr;
    std::string musicBytes_; // the file of music_, which may read it while playing
};
