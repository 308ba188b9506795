#pragma once

// The full-screen pictures and the credits.
// orbivale-gl keeps the title and back pictures once read; a picture that
// cannot be read, or is larger than the screen, is reported once and tried
// again on later frames. A smaller one is shown from the lower left corner.
void blitTitlePicture();
void blitBackPicture();

// orbivale-glide reads the picture each time; false (and nothing drawn) when
// it is missing or not 640 x 480 at 24 bits.
bool drawPicture(const char* file);

// orbivale-glide's credits text.
void drawCredits();

// Forgets the pictures read so far (tests start from a fresh program).
void resetPictures();
