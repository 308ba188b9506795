#include "glide2/triangle_setup.h"

#include "glide2/pixel_pipeline.h"

#include <bit>
#include <cmath>
#include <limits>
#include <utility>

std::int32_t toFixed124(float v)
{
    double d = static_cast<double>(v) * 16.0;
    if (!(std::fabs(d) < 9.0e18))
        return 0;
    std::int64_t i = static_cast<std::int64_t>(d);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(i & 0xFFFF));
}

FixedCorners fixedCorners(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    return {{toFixed124(a->x), toFixed124(b->x), toFixed124(c->x)},
            {toFixed124(a->y), toFixed124(b->y), toFixed124(c->y)}};
}

std::int64_t signedArea(const FixedCorners& f)
{
    std::int64_t xa = f.x[0], ya = f.y[0], xb = f.x[1], yb = f.y[1], xc = f.x[2], yc = f.y[2];
    return (xb - xa) * (yc - ya) - (xc - xa) * (yb - ya);
}

std::int64_t signedArea(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    return signedArea(fixedCorners(a, b, c));
}

bool setupTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, TriangleSetup& s, bool colourAndZ)
{
    return setupTriangle(a, b, c, fixedCorners(a, b, c), s, colourAndZ);
}

bool setupTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, const FixedCorners& corners,
                   TriangleSetup& s, bool colourAndZ)
{
    const GrVertex* v[3] = {a, b, c};
    std::int32_t x[3] = {corners.x[0], corners.x[1], corners.x[2]};
    std::int32_t y[3] = {corners.y[0], corners.y[1], corners.y[2]};
    // Sort top to bottom, keeping the vertex pointers with their coordinates.
    auto swapAt = [&](int i, int j) {
        std::swap(x[i], x[j]);
        std::swap(y[i], y[j]);
        std::swap(v[i], v[j]);
    };
    if (y[1] < y[0])
        swapAt(0, 1);
    if (y[2] < y[1])
        swapAt(1, 2);
    if (y[1] < y[0])
        swapAt(0, 1);
    std::int64_t area = static_cast<std::int64_t>(x[1] - x[0]) * (y[2] - y[0]) -
                        static_cast<std::int64_t>(x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0)
        return false;
    for (int i = 0; i < 3; ++i) {
        s.x[i] = x[i];
        s.y[i] = y[i];
    }
    s.originX = x[0] / 16.0;
    s.originY = y[0] / 16.0;
    double x01 = (x[1] - x[0]) / 16.0, y01 = (y[1] - y[0]) / 16.0;
    double x02 = (x[2] - x[0]) / 16.0, y02 = (y[2] - y[0]) / 16.0;
    double inverseDet = 1.0 / (x01 * y02 - x02 * y01);
    auto values = [colourAndZ](const GrVertex* p, double out[paramCount]) {
        out[paramOow] = p->oow;
        out[paramSow] = p->tmuvtx[0].sow;
        out[paramTow] = p->tmuvtx[0].tow;
        if (!colourAndZ)
            return; // the others are not read
        out[paramR] = p->r;
        out[paramG] = p->g;
        out[paramB] = p->b;
        out[paramA] = p->a;
        out[paramOoz] = p->ooz;
    };
    double p0[paramCount], p1[paramCount], p2[paramCount];
    values(v[0], p0);
    values(v[1], p1);
    values(v[2], p2);
    double o0 = p0[paramOow], o1 = p1[paramOow], o2 = p2[paramOow];
    if (std::isfinite(o0) && std::isfinite(o1) && std::isfinite(o2)) {
        s.oowMin = o0 < o1 ? (o0 < o2 ? o0 : o2) : (o1 < o2 ? o1 : o2);
        s.oowMax = o0 > o1 ? (o0 > o2 ? o0 : o2) : (o1 > o2 ? o1 : o2);
    } else {
        s.oowMin = s.oowMax = std::numeric_limits<double>::quiet_NaN(); // no range to rely on
    }
    for (int k = 0; k < paramCount; ++k) {
        if (!colourAndZ && k != paramOow && k != paramSow && k != paramTow) {
            s.start[k] = s.dx[k] = s.dy[k] = 0.0;
            continue;
        }
        double d1 = p1[k] - p0[k], d2 = p2[k] - p0[k];
        s.start[k] = p0[k];
        s.dx[k] = (d1 * y02 - d2 * y01) * inverseDet;
        s.dy[k] = (d2 * x01 - d1 * x02) * inverseDet;
    }
    double gx = s.dx[paramSow] * s.dx[paramSow] + s.dx[paramTow] * s.dx[paramTow];
    double gy = s.dy[paramSow] * s.dy[paramSow] + s.dy[paramTow] * s.dy[paramTow];
    double g = gx > gy || gy != gy ? gx : gy; // as std::fmax, without the library call
    // log2(sqrt(g)) in 1/256 steps from the float's exponent and top mantissa
    // bits, as the per-pixel part is taken.
    float gf = static_cast<float>(g);
    if (gf > 0.0f && std::isfinite(gf)) {
        std::uint32_t bits = __builtin_bit_cast(std::uint32_t, gf);
        if (bits >> 23 == 0)
            s.baseLod256 = -(1 << 20); // below the normal range: as good as no footprint
        else
            s.baseLod256 = ((static_cast<int>(bits >> 23) - 127) * 256 + log2Fraction[(bits >> 15) & 0xFF]) >> 1;
    } else {
        s.baseLod256 = g > 0.0 ? (1 << 20) : -(1 << 20);
    }
    return true;
}
