#include "render/projection.h"

#include <gtest/gtest.h>

namespace {

TEST(ProjectionTest, FocalLengthOf400AroundTheScreenCentre)
{
    ViewTransform view;
    view.set(Vec3(100, -50, 10), 0, 0, 0);
    ProjectedPoint p = projectPoint(Vec3(140, 30, 410), view);
    EXPECT_FLOAT_EQ(p.x, 360.0f);
    EXPECT_FLOAT_EQ(p.y, 320.0f);
    EXPECT_FLOAT_EQ(p.w, 400.0f);
}

} // namespace
