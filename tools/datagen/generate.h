#pragma once

#include <string>

// Writes both programs' whole data folders, <out>/gl and <out>/glide; false on failure.
// What both share (font, pictures, sounds) is made once and written twice.
// The desktop icons go to <out>/icons.
bool generateData(const std::string& out);
