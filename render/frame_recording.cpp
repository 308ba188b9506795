#include "render/frame_recording.h"

#include <algorithm>
#include <cstring>

enum class FrameRecording::Op : uint8_t {
    ClearFrame,
    Present,
    SetFog,
    SetFogColour,
    BeginTerrain,
    EndTerrain,
    BeginText,
    EndText,
    TerrainTriangle,
    MarbleTriangle,
    GhostTriangle,
    RimLine,
    Arrow,
    Glyph,
    OverlayQuad,
    OverlayFrame,
    BlitPicture,
};

namespace {

template <typename T>
void append(std::vector<unsigned char>& bytes, const T& value)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof value);
}

template <typename T>
T take(const unsigned char*& at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

} // namespace

void FrameRecording::start(Renderer& target)
{
    target_ = &target;
    calls_.clear();
    pictures_.clear();
    presents_ = false;
    complete_ = true;
}

template <typename... Args>
void FrameRecording::record(Op op, const Args&... args)
{
    calls_.push_back(static_cast<unsigned char>(op));
    (append(calls_, args), ...);
}

void FrameRecording::replay()
{
    Renderer& r = *target_;
    const unsigned char* at = calls_.data();
    const unsigned char* end = at + calls_.size();
    size_t picture = 0;
    while (at < end) {
        Op op = static_cast<Op>(*at++);
        switch (op) {
        case Op::ClearFrame: {
            float red = take<float>(at), green = take<float>(at), blue = take<float>(at);
            r.clearFrame(red, green, blue);
            break;
        }
        case Op::Present:
            r.present();
            break;
        case Op::SetFog:
            r.setFog(take<bool>(at));
            break;
        case Op::SetFogColour:
            r.setFogColour(take<uint32_t>(at));
            break;
        case Op::BeginTerrain:
            r.beginTerrain();
            break;
        case Op::EndTerrain:
            r.endTerrain();
            break;
        case Op::BeginText:
            r.beginText();
            break;
        case Op::EndText:
            r.endText();
            break;
        case Op::TerrainTriangle:
        case Op::MarbleTriangle: {
            ScreenVertex a = take<ScreenVertex>(at), b = take<ScreenVertex>(at), c = take<ScreenVertex>(at);
            if (op == Op::TerrainTriangle)
                r.drawTerrainTriangle(a, b, c);
            else
                r.drawMarbleTriangle(a, b, c);
            break;
        }
        case Op::GhostTriangle: {
            ScreenVertex a = take<ScreenVertex>(at), b = take<ScreenVertex>(at), c = take<ScreenVertex>(at);
            r.drawGhostTriangle(a, b, c, take<float>(at));
            break;
        }
        case Op::RimLine: {
            ProjectedPoint from = take<ProjectedPoint>(at), to = take<ProjectedPoint>(at);
            r.drawRimLine(from, to, take<Colour>(at));
            break;
        }
        case Op::Arrow: {
            ProjectedPoint tail = take<ProjectedPoint>(at);
            r.drawArrow(tail, take<ProjectedPoint>(at));
            break;
        }
        case Op::Glyph: {
            OverlayRect quad = take<OverlayRect>(at);
            GlyphBox box = take<GlyphBox>(at);
            r.drawGlyph(quad, box, take<Colour>(at));
            break;
        }
        case Op::OverlayQuad:
        case Op::OverlayFrame: {
            ::OverlayQuad corners = take<::OverlayQuad>(at);
            Colour colour = take<Colour>(at);
            if (op == Op::OverlayQuad)
                r.drawOverlayQuad(corners, colour);
            else
                r.drawOverlayFrame(corners, colour);
            break;
        }
        case Op::BlitPicture:
            r.blitPicture(pictures_[picture++]);
            break;
        }
    }
}

bool FrameRecording::sameAs(const FrameRecording& other) const
{
    if (!complete_ || !other.complete_ || calls_ != other.calls_ || pictures_.size() != other.pictures_.size())
        return false;
    for (size_t i = 0; i < pictures_.size(); ++i)
        if (std::memcmp(pictures_[i], other.pictures_[i], kPictureBytes) != 0)
            return false;
    return true;
}

void FrameRecording::keepIn(FrameRecording& into) const
{
    into.calls_ = calls_;
    into.presents_ = presents_;
    into.complete_ = complete_;
    into.keptPictures_.resize(pictures_.size());
    into.pictures_.resize(pictures_.size());
    for (size_t i = 0; i < pictures_.size(); ++i) {
        into.keptPictures_[i].assign(pictures_[i], pictures_[i] + kPictureBytes);
        into.pictures_[i] = into.keptPictures_[i].data();
    }
}

void FrameRecording::release()
{
    std::vector<unsigned char>().swap(calls_);
    std::vector<const uint8_t*>().swap(pictures_);
    std::vector<std::vector<uint8_t>>().swap(keptPictures_);
}

Renderer& FrameRecording::passOn()
{
    if (complete_) {
        replay();
        calls_.clear();
        pictures_.clear();
        complete_ = false;
    }
    return *target_;
}

void FrameRecording::clearFrame(float r, float g, float b)
{
    if (!complete_)
        return target_->clearFrame(r, g, b);
    record(Op::ClearFrame, r, g, b);
}

void FrameRecording::present()
{
    presents_ = true;
    if (!complete_)
        return target_->present();
    record(Op::Present);
}

double FrameRecording::secondsToNextRefresh() { return target_->secondsToNextRefresh(); }

void FrameRecording::setFog(bool on)
{
    if (!complete_)
        return target_->setFog(on);
    record(Op::SetFog, on);
}

void FrameRecording::setFogColour(uint32_t colour)
{
    if (!complete_)
        return target_->setFogColour(colour);
    record(Op::SetFogColour, colour);
}

void FrameRecording::uploadLevelTexture(const uint8_t* mipImages) { passOn().uploadLevelTexture(mipImages); }
void FrameRecording::uploadFontTexture(const uint8_t* glyphImages) { passOn().uploadFontTexture(glyphImages); }
bool FrameRecording::loadLevelTexture(const std::string& path) { return passOn().loadLevelTexture(path); }
// A question, not a drawing: answered by the real back end at once.
bool FrameRecording::prepareTerrainVertex(ScreenVertex& v) { return target_->prepareTerrainVertex(v); }
bool FrameRecording::loadFontTexture(const std::string& path) { return passOn().loadFontTexture(path); }
bool FrameRecording::startGraphics() { return passOn().startGraphics(); }
void FrameRecording::releaseDisplay() { passOn().releaseDisplay(); }
void FrameRecording::suspendGraphics() { passOn().suspendGraphics(); }
void FrameRecording::resumeGraphics() { passOn().resumeGraphics(); }
void FrameRecording::shutdownGraphics() { passOn().shutdownGraphics(); }

void FrameRecording::beginTerrain()
{
    if (!complete_)
        return target_->beginTerrain();
    record(Op::BeginTerrain);
}

void FrameRecording::endTerrain()
{
    if (!complete_)
        return target_->endTerrain();
    record(Op::EndTerrain);
}

void FrameRecording::beginText()
{
    if (!complete_)
        return target_->beginText();
    record(Op::BeginText);
}

void FrameRecording::endText()
{
    if (!complete_)
        return target_->endText();
    record(Op::EndText);
}

void FrameRecording::drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    if (!complete_)
        return target_->drawTerrainTriangle(a, b, c);
    record(Op::TerrainTriangle, a, b, c);
}

void FrameRecording::drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    if (!complete_)
        return target_->drawMarbleTriangle(a, b, c);
    record(Op::MarbleTriangle, a, b, c);
}

void FrameRecording::drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                       float opacity)
{
    if (!complete_)
        return target_->drawGhostTriangle(a, b, c, opacity);
    record(Op::GhostTriangle, a, b, c, opacity);
}

void FrameRecording::drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour)
{
    if (!complete_)
        return target_->drawRimLine(from, to, colour);
    record(Op::RimLine, from, to, colour);
}

void FrameRecording::drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip)
{
    if (!complete_)
        return target_->drawArrow(tail, tip);
    record(Op::Arrow, tail, tip);
}

void FrameRecording::drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour)
{
    if (!complete_)
        return target_->drawGlyph(quad, box, colour);
    record(Op::Glyph, quad, box, colour);
}

void FrameRecording::drawOverlayQuad(const ::OverlayQuad& corners, const Colour& colour)
{
    if (!complete_)
        return target_->drawOverlayQuad(corners, colour);
    record(Op::OverlayQuad, corners, colour);
}

void FrameRecording::drawOverlayFrame(const ::OverlayQuad& corners, const Colour& colour)
{
    if (!complete_)
        return target_->drawOverlayFrame(corners, colour);
    record(Op::OverlayFrame, corners, colour);
}

void FrameRecording::blitPicture(const uint8_t* pixels)
{
    if (!complete_)
        return target_->blitPicture(pixels);
    record(Op::BlitPicture);
    pictures_.push_back(pixels);
}
