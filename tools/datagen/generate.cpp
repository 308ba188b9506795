#include "tools/datagen/generate.h"

#include "tools/datagen/font.h"
#include "tools/datagen/icons.h"
#include "tools/datagen/levels.h"
#include "tools/datagen/music.h"
#include "tools/datagen/pictures.h"
#include "tools/datagen/soundfont.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/textures.h"

#include <set>

namespace {

bool writeLevelsAndTextures(const std::string& root, bool glide)
{
    std::vector<LevelDesign> levels = glide ? glideLevelDesigns() : glLevelDesigns();
    if (!writeLevels(root, levels, glide))
        return false;
    std::set<Surface> surfaces;
    for (const LevelDesign& level : levels)
        surfaces.insert(level.surface);
    for (Surface surface : surfaces)
        if (!(glide ? writeGlideSurfaceTexture(root, surface) : writeGlSurfaceTexture(root, surface)))
            return false;
    return true;
}

} // namespace

bool generateData(const std::string& out)
{
    const std::string gl = out + "/gl", glide = out + "/glide";
    FontAtlas font;
    return writeLevelsAndTextures(gl, false) && writeLevelsAndTextures(glide, true) && buildFontAtlas(font) &&
           writeGlFont(gl, font) && writeGlideFont(glide, font) && writeSounds(gl) && writeSounds(glide) &&
           writeMusic(gl, true) && writeMusic(glide, false) && writeSoundFont(gl) && writeSoundFont(glide) &&
           writePictures(gl, glide) && writeIcons(out);
}
