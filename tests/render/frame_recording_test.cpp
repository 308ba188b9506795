#include "recording_renderer.h"

#include "render/frame_recording.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A kept frame plays back every call with its arguments in order; a call that
// cannot wait goes out after what came before it, and the rest follow as drawn.
TEST(FrameRecordingTest, PlaysEveryCallBackInOrder)
{
    std::vector<uint8_t> picture(kPictureBytes, 7);
    ScreenVertex a{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, b{2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
        c{3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    OverlayQuad corners{OverlayPoint{1, 2}, OverlayPoint{3, 4}, OverlayPoint{5, 6}, OverlayPoint{7, 8}};
    auto draw = [&](Renderer& r, bool upload) {
        r.clearFrame(0.1f, 0.2f, 0.3f);
        r.setFog(true);
        r.setFogColour(0x123456);
        r.beginTerrain();
        r.drawTerrainTriangle(a, b, c);
        r.endTerrain();
        r.drawMarbleTriangle(c, b, a);
        r.drawGhostTriangle(b, c, a, 0.25f);
        r.drawRimLine(ProjectedPoint{1, 2, 3}, ProjectedPoint{4, 5, 6}, Colour{1, 0, 0, 0.5f});
        r.drawArrow(ProjectedPoint{6, 5, 4}, ProjectedPoint{3, 2, 1});
        if (upload)
            r.uploadLevelTexture(std::vector<uint8_t>(size_t(kLevelMipLevels) * kLevelMipSlotBytes, 1).data());
        r.beginText();
        r.drawGlyph(OverlayRect{1, 2, 3, 4}, GlyphBox{5, 6, 7, 8}, Colour{0, 1, 0, 1});
        r.endText();
        r.drawOverlayQuad(corners, Colour{0, 0, 0, 0.5f});
        r.drawOverlayFrame(corners, Colour{1, 1, 1, 1});
        r.blitPicture(picture.data());
        r.present();
    };
    for (bool upload : {false, true}) {
        RecordingRenderer direct, replayed;
        draw(direct, upload);
        FrameRecording recording;
        recording.start(replayed);
        draw(recording, upload);
        EXPECT_EQ(recording.complete(), !upload);
        if (recording.complete())
            recording.replay();
        ASSERT_EQ(replayed.ops(), direct.ops());
        for (size_t i = 0; i < direct.calls.size(); ++i) {
            const RenderCall &x = direct.calls[i], &y = replayed.calls[i];
            EXPECT_EQ(std::memcmp(&x.triangle, &y.triangle, sizeof x.triangle), 0) << i;
            EXPECT_EQ(std::memcmp(&x.points, &y.points, sizeof x.points), 0) << i;
            EXPECT_EQ(std::memcmp(&x.corners, &y.corners, sizeof x.corners), 0) << i;
            EXPECT_EQ(std::memcmp(&x.colour, &y.colour, sizeof x.colour), 0) << i;
            EXPECT_TRUE(x.rect.left == y.rect.left && x.rect.bottom == y.rect.bottom && x.box.top == y.box.top &&
                        x.box.right == y.box.right && x.opacity == y.opacity && x.on == y.on && x.value == y.value &&
                        x.pixels == y.pixels)
                << i;
        }
    }
}

} // namespace
