#include "game/sound.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "platform/platform.h"

bool musicPlaying = false;
int musicTrack = 1;
bool soundsMuted = false;

void resetSoundState()
{
    musicPlaying = false;
    musicTrack = 1;
}

void playSound(const char* file)
{
    if (!soundsMuted)
        platform->playSound(file);
}

int startMusic(const char* file) { return platform->startMusic(file); }

void stopMusic()
{
    platform->stopMusic();
    musicPlaying = false;
}

void onMusicNotify()
{
    platform->stopMusic(); // closes the finished piece whatever the notice says
    if (!rules().musicLoops) {
        // One piece per game.
        musicPlaying = false;
        return;
    }
    if (!musicPlaying || gameState != GameState::Playing)
        return;
    static const char* const pieces[3] = {"sounds/midi1.mid", "sounds/drwho2.mid", "sounds/midi3.mid"};
    int track = musicTrack;
    musicTrack = (musicTrack + 1) % 3;
    startMusic(pieces[track]);
    musicPlaying = true;
}
