#pragma once

// A vertex of the 3D drawing operations, in projected space: x right and y up
// in pixels with (0, 0) at the bottom-left corner. oow = 1/w is the depth key
// of every comparison (a larger oow is nearer). Colours and opacity are 0..1;
// s, t are in the unit of the texture in use.
// orbivale-gl terrain: s, t as stored per grid vertex, interpolated linearly.
// orbivale-glide: terrain s, t arrive already divided by w (the card's sow and
// tow, perspective-correct), and x, y of terrain and marble vertices lie on
// the card's 1/16-pixel grid, so a Glide back end copies them as they come.
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
