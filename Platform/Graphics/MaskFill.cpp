#include "Graphics/MaskFill.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "Graphics/MaskFillSpans.h"
#include "Graphics/PixelFormat.h"

namespace gfx {

namespace {

// Mask coordinates in fixed point with 32 fractional bits; the integer part indexes samples.
using Fixed = std::int64_t;
constexpr double kFixedOne = 4294967296.0;
// Mask coordinates anywhere in the region must stay well inside the fixed-point range.
constexpr double kMaxMaskCoordinate = 1073741824.0; // 2^30

// v in fixed point, rounded to nearest with halves away from zero (llround's rounding, without
// its library call: four of these start every row). Positions stay below 2^30 samples
// (kMaxMaskCoordinate); a step beyond the range is clamped, which only ends its span at once.
Fixed toFixed(double v)
{
    constexpr double kLimit = 4611686018427387904.0; // 2^62
    const double x = std::clamp(v * kFixedOne, -kLimit, kLimit);
    const auto whole = static_cast<Fixed>(x); // toward zero; exact, as is the remainder below
    const double rest = x - static_cast<double>(whole);
    // Without branches: which way a row's start rounds is as good as random.
    return whole + static_cast<Fixed>(rest >= 0.5) - static_cast<Fixed>(rest <= -0.5);
}

// Pixel centres often fall exactly on a sample edge (a whole-pixel dab of odd size has its
// centre row there). The double transform and the rounded fixed-point step then land a hair
// either side of the edge depending on where the dab sits and where its row's walk starts, so
// the same dab would pick different samples at different places: notches along a stroke. A
// bias of 2^-20 sample, larger than those errors over any span up to 8192 pixels, settles
// every such tie on the sample the exact position names.
constexpr Fixed kTieBias = Fixed{1} << 12;

using maskfill::SourceTable;

// Where the placed mask lies, and how device pixel centres map onto its samples. Only the
// samples that paint (the mask's painted bounds) are visited: the rest leave pixels as they are.
struct Placement {
    AffineTransform deviceToMask; // device point -> mask sample coordinates (0..w, 0..h)
    IntRect painted;              // the samples worth reading
    IntRect region;               // device pixels worth visiting
};

bool finite(const AffineTransform& t)
{
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) && std::isfinite(t.tx)
           && std::isfinite(t.ty);
}

IntRect intersect(const IntRect& a, const IntRect& b)
{
    int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    int x1 = std::min(a.x + a.width, b.x + b.width), y1 = std::min(a.y + a.height, b.y + b.height);
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

// False when nothing can be drawn; `tooExtreme` when the fixed-point walk could overflow.
bool place(const MaskFillTarget& target, const IntRect& clip, const ImageMask& mask,
           const AffineTransform& unitToDevice, Placement& out, bool& tooExtreme)
{
    tooExtreme = false;
    if (!finite(unitToDevice) || unitToDevice.determinant() == 0 || !std::isfinite(unitToDevice.determinant()))
        return false;
    out.painted = mask.paintedBounds();
    if (out.painted.isEmpty())
        return false;
    const double w = mask.width(), h = mask.height();
    const IntRect& p = out.painted;
    const Rect box = unitToDevice.apply(Rect(p.x / w, p.y / h, p.width / w, p.height / h));
    out.region = intersect(pixelBounds(box, target.width, target.height), clip);
    if (out.region.isEmpty())
        return false;
    out.deviceToMask = unitToDevice.inverted().concat(AffineTransform::scaling(mask.width(), mask.height()));
    const IntRect& r = out.region;
    const Point corners[4] = {{r.x + 0.5, r.y + 0.5},
                              {r.x + r.width - 0.5, r.y + 0.5},
                              {r.x + 0.5, r.y + r.height - 0.5},
                              {r.x + r.width - 0.5, r.y + r.height - 0.5}};
    for (const Point& corner : corners) {
        const Point m = out.deviceToMask.apply(corner);
        if (!(std::fabs(m.x) < kMaxMaskCoordinate && std::fabs(m.y) < kMaxMaskCoordinate)) {
            tooExtreme = true;
            return false;
        }
    }
    return true;
}

// The step of one mask axis per pixel along a row, with what the span estimate needs of it,
// the same for every row.
struct AxisStep {
    double step;
    bool flat;      // too small a step to move within any row
    double inverse; // 1 / step, unless flat

    explicit AxisStep(double dp) : step(dp), flat(std::fabs(dp) < 1e-12), inverse(flat ? 0.0 : 1.0 / dp) {}
};

// Narrows [lo, hi) to the real steps t (from the row's first pixel) with 0 <= p0 + dp * t < limit,
// widened by a pixel each way: the estimate only has to contain the span, which the fixed-point
// test then settles. A row lying exactly on a mask edge must reach that test, whichever side
// of the edge the double arithmetic puts it.
void stepsInside(double p0, const AxisStep& dp, double limit, double& lo, double& hi)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double kSlack = 1e-6; // far above the double error of p0, in mask samples
    if (dp.flat) {
        if (p0 < -kSlack || p0 >= limit + kSlack) {
            lo = inf;
            hi = -inf;
        }
        return;
    }
    // The estimate is widened below, so a product by the inverse will do.
    double t0 = -p0 * dp.inverse, t1 = (limit - p0) * dp.inverse;
    lo = std::max(lo, std::min(t0, t1) - 1);
    hi = std::min(hi, std::max(t0, t1) + 1);
}

// The smallest whole number of steps at or above t, within [0, width].
int stepAtOrAbove(double t, int width)
{
    const double clamped = std::clamp(t, 0.0, static_cast<double>(width));
    const int whole = static_cast<int>(clamped); // toward zero, and clamped is not negative
    return whole + (whole < clamped ? 1 : 0);
}

// One row: the mask position at the row's first pixel and its step per pixel.
struct RowWalk {
    Fixed u0, v0, du, dv;
    Fixed minU, minV, maxU, maxV; // the painted samples' bounds in fixed point

    Fixed u(int t) const { return u0 + du * t; }
    Fixed v(int t) const { return v0 + dv * t; }
    bool inside(int t) const
    {
        // minU <= u < maxU as one unsigned comparison (a position below minU wraps far above),
        // and the same for v.
        using Unsigned = std::uint64_t;
        return static_cast<Unsigned>(u(t) - minU) < static_cast<Unsigned>(maxU - minU)
               && static_cast<Unsigned>(v(t) - minV) < static_cast<Unsigned>(maxV - minV);
    }
};

// The pixels [start, end) of the row (as steps from its first pixel) whose centres fall inside
// the painted samples. A double estimate, then settled with the same fixed-point values the
// blend loop reads, so every sample index it forms is inside the mask.
void rowSpan(const RowWalk& walk, double u0, double v0, const AxisStep& du, const AxisStep& dv, const IntRect& painted,
             int width, int& start, int& end)
{
    double lo = -std::numeric_limits<double>::infinity(), hi = std::numeric_limits<double>::infinity();
    stepsInside(u0 - painted.x, du, painted.width, lo, hi);
    stepsInside(v0 - painted.y, dv, painted.height, lo, hi);
    start = stepAtOrAbove(lo, width);
    end = stepAtOrAbove(hi, width);
    while (start < end && !walk.inside(start))
        ++start;
    while (end > start && !walk.inside(end - 1))
        --end;
    if (start >= end)
        return;
    while (start > 0 && walk.inside(start - 1))
        --start;
    while (end < width && walk.inside(end))
        ++end;
}

// Where one mask axis stays put along every row (its step is 0 in fixed point: a dab unturned,
// or turned by a whole quarter), a pixel's sample is its row's base plus an offset of its
// column alone, and rows share one set of offsets instead of walking both axes per pixel. The
// offsets are made again only for a row whose start along the moving axis differs from the
// last (a quarter turn's double arithmetic can nudge it), so every sample is the walk's.
class SharedColumns {
public:
    static constexpr int kMaxWidth = 2048; // on the stack; wider regions walk

    SharedColumns(Fixed du, Fixed dv, int width, const ImageMask& mask)
        : m_alongV(du == 0)
        , m_step(du == 0 ? dv : du)
        , m_stride(du == 0 ? mask.rowBytes() : 1)
        , m_width(width)
        , m_usable((du == 0 || dv == 0) && width <= kMaxWidth
                   && static_cast<std::int64_t>(mask.rowBytes()) * mask.height()
                          <= std::numeric_limits<std::int32_t>::max())
    {
    }

    bool usable() const { return m_usable; }

    // The samples of the row whose walk is `walk`, from its pixel `start` on.
    maskfill::ColumnSamples row(const RowWalk& walk, int start, const std::uint8_t* samples, int rowBytes)
    {
        const Fixed moving = m_alongV ? walk.v0 : walk.u0;
        if (!m_made || moving != m_start)
            make(moving);
        const std::int64_t base = m_alongV ? (walk.u0 >> 32) : (walk.v0 >> 32) * rowBytes;
        return {samples + base, m_offsets.data() + start};
    }

private:
    void make(Fixed moving)
    {
        m_start = moving;
        m_made = true;
        // Columns outside every row's span are never read; their offsets are only kept in range.
        constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();
        Fixed position = moving;
        for (int t = 0; t < m_width; ++t, position += m_step)
            m_offsets[static_cast<std::size_t>(t)] =
                static_cast<std::int32_t>(std::clamp<std::int64_t>((position >> 32) * m_stride, 0, kMaxOffset));
    }

    const bool m_alongV;
    const Fixed m_step;
    const std::int64_t m_stride;
    const int m_width;
    const bool m_usable;
    bool m_made = false;
    Fixed m_start = 0;
    std::array<std::int32_t, kMaxWidth> m_offsets;
};

} // namespace

MaskFillResult fillMask(const MaskFillTarget& target, const IntRect& clip, const ImageMask& mask,
                        const AffineTransform& unitToDevice, const Color& color, MaskFillMode mode)
{
    Placement placement;
    bool tooExtreme = false;
    if (!place(target, clip, mask, unitToDevice, placement, tooExtreme))
        return {!tooExtreme, {}};

    SourceTable table;
    if (mode == MaskFillMode::SourceOver)
        table.fill(color);

    const AffineTransform& m = placement.deviceToMask;
    const IntRect& region = placement.region;
    const double x0 = region.x + 0.5;
    const IntRect& painted = placement.painted;
    const Fixed minU = static_cast<Fixed>(painted.x) << 32, minV = static_cast<Fixed>(painted.y) << 32;
    const Fixed maxU = static_cast<Fixed>(painted.x + painted.width) << 32;
    const Fixed maxV = static_cast<Fixed>(painted.y + painted.height) << 32;
    const Fixed du = toFixed(m.a), dv = toFixed(m.b);
    const AxisStep uStep(m.a), vStep(m.b);
    SharedColumns columns(du, dv, region.width, mask);
    for (int y = region.y; y < region.y + region.height; ++y) {
        const double yc = y + 0.5;
        const double u0 = m.a * x0 + m.c * yc + m.tx, v0 = m.b * x0 + m.d * yc + m.ty;
        const RowWalk rowStart{toFixed(u0) + kTieBias, toFixed(v0) + kTieBias, du, dv, minU, minV, maxU, maxV};
        int start = 0, end = 0;
        rowSpan(rowStart, u0, v0, uStep, vStep, painted, region.width, start, end);
        if (start >= end)
            continue;
        auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(target.pixels)
                                                     + static_cast<std::ptrdiff_t>(y) * target.bytesPerRow);
        std::uint32_t* dst = row + region.x + start;
        if (columns.usable()) {
            const maskfill::ColumnSamples samples = columns.row(rowStart, start, mask.samples(), mask.rowBytes());
            if (mode == MaskFillMode::SourceOver)
                maskfill::blendSourceOver(dst, end - start, samples, table);
            else
                maskfill::blendClear(dst, end - start, samples);
            continue;
        }
        const maskfill::SampleWalk walk{rowStart.u(start), rowStart.v(start), rowStart.du, rowStart.dv};
        if (mode == MaskFillMode::SourceOver)
            maskfill::blendSourceOver(dst, end - start, walk, mask.samples(), mask.rowBytes(), table);
        else
            maskfill::blendClear(dst, end - start, walk, mask.samples(), mask.rowBytes());
    }
    return {true, region};
}

} // namespace gfx
