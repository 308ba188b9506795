#pragma once

#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_renderer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The real orbivale-gl window and back end of the running suite.
inline SdlPlatform* sdl = nullptr;
inline GlRenderer* gl = nullptr;

// The real orbivale-gl window and back end, shared by the tests of one suite
// (SDL has one video system per process).
class GlWindowTest : public ::testing::Test {
protected:
public:
    static void SetUpTestSuite()
    {
        sdl = new SdlPlatform();
        ASSERT_TRUE(sdl->init());
        sdl->setWindowCreatedHook([] {
            gl = new GlRenderer(*sdl);
            return true;
        });
        ASSERT_TRUE(sdl->createWindow(WindowStyle::BorderlessWithOpenGL));
        ASSERT_NE(gl, nullptr);
    }
    // The window and its context stay until the process ends: closing SDL's
    // video unloads Mesa's driver, whose few remaining blocks the leak checker
    // would then report without a name to tell them by.
    static void TearDownTestSuite() {}

    // One pixel of the 640 x 480 picture being drawn, (0, 0) bottom-left.
    static std::array<int, 3> pixel(int x, int y)
    {
        glFinish();
        uint8_t rgb[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return {rgb[0], rgb[1], rgb[2]};
    }
    // The whole 640 x 480 picture being drawn, RGB rows from the bottom.
    static std::vector<uint8_t> picture()
    {
        glFinish();
        std::vector<uint8_t> out(size_t(640) * 480 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
};

// Each channel within tolerance of the expected value.
inline ::testing::AssertionResult colourNear(const std::array<int, 3>& got, const std::array<int, 3>& want,
                                             int tolerance = 1)
{
    for (int i = 0; i < 3; ++i)
        if (got[i] < want[i] - tolerance || got[i] > want[i] + tolerance)
            return ::testing::AssertionFailure()
                   << "got (" << got[0] << ", " << got[1] << ", " << got[2] << "), want (" << want[0] << ", "
                   << want[1] << ", " << want[2] << ") within " << tolerance;
    return ::testing::AssertionSuccess();
}
