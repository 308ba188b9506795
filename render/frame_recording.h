#pragma once

// One frame's drawing kept as a list of calls instead of drawn, so that a
// frame that would show the same picture as the one on screen can be left
// out, and any other one played onto the real renderer in the same order.

#include "render/renderer.h"

#include <cstdint>
#include <vector>

class FrameRecording : public Renderer {
public:
    // Starts an empty recording; calls that cannot wait (texture loads, the
    // card's life) go to `target` at once, after what was recorded before them.
    void start(Renderer& target);
    // Plays the recorded calls onto the target.
    void replay();

    // The calls, argument for argument; the picture a blit shows is compared
    // by its bytes, so a picture read anew into the same memory counts as new.
    bool sameAs(const FrameRecording& other) const;
    bool presents() const { return presents_; }
    // False when a call went to the target at once: the frame is not a still one.
    bool complete() const { return complete_; }
    // Keeps a copy of this recording (with its pictures' bytes) in `into`.
    void keepIn(FrameRecording& into) const;
    // Empties the recording and gives its memory back.
    void release();

    void clearFrame(float r, float g, float b) override;
    void present() override;
    double secondsToNextRefresh() override;
    void setFog(bool on) override;
    void setFogColour(uint32_t colour) override;
    void uploadLevelTexture(const uint8_t* mipImages) override;
    void uploadFontTexture(const uint8_t* glyphImages) override;
    bool loadLevelTexture(const std::string& path) override;
    bool prepareTerrainVertex(ScreenVertex& v) override;
    bool loadFontTexture(const std::string& path) override;
    void beginTerrain() override;
    void endTerrain() override;
    void beginText() override;
    void endText() override;
    void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override;
    void drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override;
    void drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                           float opacity) override;
    void drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour) override;
    void drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip) override;
    void drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour) override;
    void drawOverlayQuad(const OverlayQuad& corners, const Colour& colour) override;
    void drawOverlayFrame(const OverlayQuad& corners, const Colour& colour) override;
    void blitPicture(const uint8_t* pixels) override;
    bool startGraphics() override;
    void releaseDisplay() override;
    void suspendGraphics() override;
    void resumeGraphics() override;
    void shutdownGraphics() override;

private:
    enum class Op : uint8_t;
    template <typename... Args>
    void record(Op op, const Args&... args);
    // Plays what is recorded so far and records nothing more this frame.
    Renderer& passOn();

    Renderer* target_ = nullptr;
    std::vector<unsigned char> calls_; // op, then its arguments' bytes
    std::vector<const uint8_t*> pictures_;
    std::vector<std::vector<uint8_t>> keptPictures_; // a kept copy's picture bytes
    bool presents_ = false;
    bool complete_ = true;
};
