#include "render/renderer.h"

Renderer* renderer = nullptr;

bool Renderer::loadLevelTexture(const std::string&) { return false; }

bool Renderer::loadFontTexture(const std::string&) { return false; }
