#pragma once

#include <SDL_mixer.h>

#include <map>
#include <string>

// Wave effects on one mixer channel, the refusal beep on another, and MIDI
// music through SDL_mixer. Without an audio device the game runs on silently;
// a device lost while playing (the sound server restarted) is opened again.
class SdlAudio {
public:
    static constexpr const char* kSoundFontFile = "sounds/orbivale.sf2";
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
    // Whether a music-end event (its user code) belongs to the piece now
    // loaded; that piece is then over.
    bool pieceEnded(int piece);

    // The open device went away, or some device appeared.
    void deviceRemoved(Uint64 nowMs);
    void deviceAdded(Uint64 nowMs);
    // While the device is lost, tries once a second to open the mixer again
    // (with the driver it had) and restarts the piece that was playing.
    void reopenWhenDue(Uint64 nowMs);
    bool lost() const { return lost_; }

private:
    bool open_ = false;
    bool lost_ = false;
    Uint64 retryAt_ = 0;
    std::string driver_;        // the audio driver of the first open
    std::string musicFile_;     // the piece last started
    bool musicPlaying_ = false; // started, not stopped and not ended
    std::map<std::string, Mix_Chunk*> chunks_;
    Mix_Music* music_ = nullptr;
    std::string musicBytes_; // the file of music_, which may read it while playing
};
