#pragma once

#include <string>

// Settles where a program's files live before anything is read.
//
// Started inside a complete data folder (no data folder asked for), nothing
// changes: every name resolves in the working folder, as the game has always
// done. Otherwise the data comes from the folder asked for (--data or
// ORBIVALE_DATA) or else the installed one, and the working folder becomes the
// player's own folder for this edition, created on first start, where the
// best-times file lives. A player folder that cannot be made leaves the game
// playable without saving. Every problem is one line on `messages`.
struct GameFolders {
    std::string edition;       // "gl" or "glide": the data and player sub-folder
    std::string askedData;     // --data DIR, else ORBIVALE_DATA; empty for neither
    std::string installedData; // the install prefix's share/orbivale
    std::string xdgDataHome;   // $XDG_DATA_HOME, may be empty
    std::string home;          // $HOME, may be empty
};

// The player's folder: $XDG_DATA_HOME/orbivale/<edition>, by default
// ~/.local/share/orbivale/<edition>; empty when neither variable says where.
std::string playerFolder(const GameFolders& where);

// A missing data folder is only reported here: the game's own start-up then
// says what it could not find in its own words.
void settleGameFolders(const GameFolders& where, std::string& messages);
