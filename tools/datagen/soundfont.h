#pragma once

#include <string>

// The pieces' own instruments as a small General MIDI soundfont
// (sounds/orbivale.sf2): the programs the pieces play and the drums they hit.
bool writeSoundFont(const std::string& root);
