#include "tools/datagen/generate.h"

#include "tools/datagen/levels.h"
#include "tools/datagen/textures.h"

#include <set>

bool generateGlData(const std::string& root) {
    std::vector<LevelDesign> levels = glLevelDesigns();
    if (!writeLevels(root, levels, false)) return false;
    std::set<Surface> surfaces;
    for (const LevelDesign& level : levels) surfaces.insert(level.surface);
    for (Surface surface : surfaces)
        if (!writeGlSurfaceTexture(root, surface)) return false;
    return true;
}

bool generateGlideData(const std::string& root) {
    std::vector<LevelDesign> levels = glideLevelDesigns();
    return writeLevels(root, levels, true);
}
