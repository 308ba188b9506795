#pragma once

// Which of the two programs is running. Set first thing by each main; game
// code reads it wherever orbivale-gl and orbivale-glide behave differently.
enum class Edition { Gl, Glide };

extern Edition edition;

inline bool isGlide() { return edition == Edition::Glide; }
