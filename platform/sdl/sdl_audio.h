#pragma once

#include <SDL_mixer.h>

#include <map>
#include <string>

// Wave effects on one mixer channel and MIDI music through SDL_mixer. Without
// an audio device the game runs on silently.
class SdlAudio {
public:
    // musicEndEvent is the SDL event type pushed when a piece ends or is halted.
    bool open(Uint32 musicEndEvent);
    void close();

    void playSound(const std::string& file);
    int startMusic(const std::string& file);
    void stopMusic();
    // Whether a music-end event (its user code) belongs to the piece now loaded.
    bool isCurrentPiece(int piece) const;

private:
    bool open_ = false;
    std::map<std::string, Mix_Chunk*> chunks_;
    Mix_Music* music_ = nullptr;
};
