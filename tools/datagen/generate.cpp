#include "tools/datagen/generate.h"

#include "tools/datagen/font.h"
#include "tools/datagen/levels.h"
#include "tools/datagen/music.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/textures.h"

#include <set>

bool generateGlData(const std::string& root) {
    std::vector<LevelDesign> levels = glLevelDesigns();
    if (!writeLevels(root, levels, false)) return false;
    std::set<Surface> surfaces;
    for (const LevelDesign& level : levels) surfaces.insert(level.surface);
    for (Surface surface : surfaces)
        if (!writeGlSurfaceTexture(root, surface)) return false;
    FontAtlas font;
    return buildFontAtlas(font) && writeGlFont(root, font) && writeSounds(root) && writeMusic(root, true) &&
           writePictures(root, false);
}

bool generateGlideData(const std::string& root) {
    std::vector<LevelDesign> levels = glideLevelDesigns();
    if (!writeLevels(root, levels, true)) return false;
    std::set<Surface> surfaces;
    for (const LevelDesign& level : levels) surfaces.insert(level.surface);
    for (Surface surface : surfaces)
        if (!writeGlideSurfaceTexture(root, surface)) return false;
    FontAtlas font;
    return buildFontAtlas(font) && writeGlideFont(root, font) && writeSounds(root) && writeMusic(root, false) &&
           writePictures(root, true);
}
