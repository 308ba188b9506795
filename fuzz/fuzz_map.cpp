// Any bytes as a map file, for either program: the loader must refuse or
// accept them without reading past a buffer or leaving undefined heights.

#include "fuzz_support.h"
#include "game/edition.h"
#include "levels/level_map.h"
#include "sim/marble.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietPlatform quiet;
    static FuzzRenderer drawNothing;
    static LevelMap level;
    platform = &quiet;
    renderer = &drawNothing;
    if (size < 1)
        return 0;
    edition = (data[0] & 1) ? Edition::Glide : Edition::Gl;
    std::string path = writeScratchFile("level.map", data + 1, size - 1);
    Marble marble;
    if (level.load(path, marble)) {
        // Every sampled height and a few queries must be real numbers.
        for (int i = 0; i < kGridVertices; i += 37)
            if (!std::isfinite(level.vertices[i].z))
                std::abort();
        for (int i = 0; i < level.holeCount; ++i) {
            const Hole& hole = level.holes[i];
            Vec3 n = level.normalAt(hole.x, hole.y);
            Vec3 d = level.downhillAt(hole.x + 1.0f, hole.y);
            if (!std::isfinite(level.heightAt(hole.x, hole.y)) || !std::isfinite(n.x + n.y + n.z) ||
                !std::isfinite(d.x + d.y + d.z) || !std::isfinite(level.holeAt(hole.x, hole.y)))
                std::abort();
        }
    }
    return 0;
}
