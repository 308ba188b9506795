#pragma once

// A vertex of the 3D drawing operations, in projected space: x right and y up
// in pixels with (0, 0) at the bottom-left corner. oow = 1/w is the depth key
// of every comparison (a larger oow is nearer). Colours and opacity are 0..1;
// s, t are in the unit of the texture in use.
// Terrain vertices are in the form the back end gave them when the walk
// handed them over (Renderer::prepareTerrainVertex); every other vertex is
// as projected, and a back end with a pixel grid of its own rounds to it.
struct ScreenVertex {
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
    float oow = 0.0f;
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    float s = 0.0f;
    float t = 0.0f;
};

// A projected point: pixels in projected space plus its view depth.
struct ProjectedPoint {
    float x = 0.0f;
    float y = 0.0f;
    float w = 0.0f;
};
