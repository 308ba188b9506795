#pragma once

#include "sim/vec3.h"

#include <cstdint>
#include <memory>
#include <string>

class Marble;
class TextReader;

// One record of a map's hole table: a smooth pit (positive depth) or mound
// (negative depth) in the flat course.
struct Hole {
    float x;
    float y;
    float radius;
    float depth;
};

// The surface around one point from one pass over the holes: the heights at
// the point and one unit to -x, +x and +y, and the geometry the queries below
// make of them (the same numbers to the last bit).
struct SurfaceAround {
    float h, hMinusX, hPlusX, hPlusY;
    Vec3 normal() const;
    Vec3 downhill() const;
    Vec3 tangentX() const;
    Vec3 tangentY() const;
};

constexpr int kGridColumns = 50;
constexpr int kGridRows = 400;
constexpr int kGridVertices = kGridColumns * kGridRows;
constexpr float kCellSize = 30.0f;
constexpr int kLevelMipLevels = 8;
constexpr int kLevelMipSlotBytes = 128 * 128 * 3;

// The one loaded level: hole table, colours, texture and drawing grid.
class LevelMap {
public:
    // Reads a map file into this level; false after a failure, which has
    // already been reported where there is a message for it.
    bool load(const std::string& fileName, Marble& marble);

    uint32_t getFogColour() const { return fogColour; }

    // The surface, as a function of the hole table (z points down).
    float heightAt(float x, float y) const;
    // heightAt at `count` points, four points to a pass over the holes.
    void heightsAt(const float* x, const float* y, float* heights, int count) const;
    SurfaceAround surfaceAround(float x, float y) const;
    // Radius of the pit that caught the point; -1 when a pit is near; 0 when clear.
    float holeAt(float x, float y) const;
    Vec3 normalAt(float x, float y) const;
    Vec3 downhillAt(float x, float y) const;
    Vec3 tangentXAt(float x, float y) const;
    Vec3 tangentYAt(float x, float y) const;

    int32_t holeCount = 0;
    std::unique_ptr<Hole[]> holes;
    std::unique_ptr<Vec3[]> vertices; // grid, row after row
    uint32_t fogColour = 0;
    float fogColourRGBA[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint32_t marbleColour = 0;
    std::unique_ptr<uint8_t[]> mipImages; // orbivale-gl: 8 slots of 128*128*3
    bool textureRead = false;             // orbivale-gl: this load filled mipImages, for the level start to hand over

private:
    bool holesFilled = false; // a ".data" has filled the current table
    void releaseLevel();
    bool readFile(const std::string& fileName, Marble& marble);
    bool readItem(TextReader& in, const std::string& token, const std::string& fileName, Marble& marble);
    bool loadTexture(const std::string& name, const std::string& fileName);
    bool readHoleTable(TextReader& in, const std::string& fileName);
    bool buildGrid();
    // Sets z of every grid vertex (x and y already set) to heightAt(x, y).
    bool sampleGridHeights();
};

extern LevelMap levelMap;
