#include "render/projection.h"

ProjectedPoint projectPoint(const Vec3& p, const ViewTransform& view)
{
    Vec3 v = view.toView(p);
    ProjectedPoint out;
    out.x = kScreenCentreX + kFocalLength * v.x / v.z;
    out.y = kScreenCentreY + kFocalLength * v.y / v.z;
    out.w = v.z;
    return out;
}
