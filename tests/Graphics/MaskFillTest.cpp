// The dab kernel against a plain per-pixel reference (inverse transform of each pixel centre in
// double precision, real-valued blending) on seeded random dabs, and against the general cairo
// path where the context state makes BitmapContext::fillMask fall back.
//
// Tolerances: Clear must match exactly. Source-over may differ from the real-valued result by
// up to 1.5 levels (the source is rounded once and the destination once, after the rounded
// source alpha), and by at most 1 for opaque colours. Pixel centres within 1e-6 of a mask
// sample edge may take either neighbouring sample (fixed-point stepping vs double).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "Graphics/BitmapContext.h"
#include "Graphics/MaskFill.h"
#include "Graphics/PixelFormat.h"

using namespace gfx;

namespace {

constexpr double kEdgeEpsilon = 1e-6;

struct Dab {
    double size = 0;
    ImageMaskRef mask;
    AffineTransform maskToUser;
    Color color;
    BlendMode mode;
};

ImageMaskRef randomMask(std::mt19937& rng)
{
    std::uniform_int_distribution<int> side(1, 64), sample(0, 255), kind(0, 3);
    int w = side(rng), h = side(rng), rb = ImageMask::rowBytesFor(w);
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(rb) * h, 0xEE);
    // A quarter of the masks paint only inside a frame of empty samples (or not at all), which
    // the kernel skips: what it draws must not change.
    const int frame = kind(rng) == 0 ? std::uniform_int_distribution<int>(1, 40)(rng) : 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (std::min({x, y, w - 1 - x, h - 1 - y}) < frame) {
                buf[static_cast<std::size_t>(y) * rb + x] = 255;
                continue;
            }
            int k = kind(rng); // plenty of full and empty coverage, the cases that must be exact
            buf[static_cast<std::size_t>(y) * rb + x] = static_cast<std::uint8_t>(k == 0   ? 0
                                                                                  : k == 1 ? 255
                                                                                           : sample(rng));
        }
    return ImageMask::create(w, h, rb, std::move(buf), false);
}

// The square of side s centred on p, turned by theta, with the mask's first row at its larger-y
// edge before turning (the brush's placement).
AffineTransform dabPlacement(double s, double theta, Point p)
{
    return AffineTransform::translation(-0.5, -0.5)
        .concat(AffineTransform::scaling(s, -s))
        .concat(AffineTransform::rotation(theta))
        .concat(AffineTransform::translation(p.x, p.y));
}

Dab randomDab(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> size(1, 300);
    Dab dab;
    dab.mask = randomMask(rng);
    // A fifth unturned and a fifth turned by whole quarters, as fixed-direction brushes place
    // them, which the kernel reads through shared column offsets.
    const double pick = unit(rng);
    double theta = pick < 0.2   ? 0
                   : pick < 0.4 ? (270.0 - 90.0 * std::floor(unit(rng) * 4)) * M_PI / 180.0
                                : unit(rng) * 2 * M_PI;
    dab.size = size(rng);
    dab.maskToUser = dabPlacement(dab.size, theta, {unit(rng) * 400 - 100, unit(rng) * 360 - 100});
    // Half the unturned dabs sheared along x: their rows still share a mask row each, but each
    // row starts at its own column.
    if (pick < 0.1)
        dab.maskToUser = dab.maskToUser.concat({1, 0, unit(rng) - 0.5, 1, 0, 0});
    float alpha = unit(rng) < 0.5 ? 1.0f : static_cast<float>(unit(rng));
    dab.color = {static_cast<float>(unit(rng)), static_cast<float>(unit(rng)), static_cast<float>(unit(rng)), alpha};
    dab.mode = unit(rng) < 0.7 ? BlendMode::Normal : BlendMode::Clear;
    return dab;
}

void fillNoise(BitmapContext& ctx, std::mt19937& rng)
{
    BitmapContext::PixelAccess access(ctx);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < ctx.height(); ++y)
        for (int x = 0; x < ctx.width(); ++x) {
            std::uint32_t a = static_cast<std::uint32_t>(byte(rng));
            auto c = [&] { return static_cast<std::uint32_t>(byte(rng)) * a / 255; };
            access.row(y)[x] = packARGB(a, c(), c(), c());
        }
}

std::vector<std::uint32_t> pixels(const BitmapContext& ctx)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < ctx.height(); ++y)
        for (int x = 0; x < ctx.width(); ++x)
            out.push_back(ctx.pixelAt(x, y));
    return out;
}

double channel(std::uint32_t p, int shift) { return static_cast<double>((p >> shift) & 0xFF); }

// Does `got` match the reference result of laying sample s (or nothing, s < 0) over `before`?
bool matches(std::uint32_t before, std::uint32_t got, int s, const Dab& dab)
{
    if (s < 0)
        return got == before;
    const double c = (255 - s) / 255.0;
    if (dab.mode == BlendMode::Clear) {
        for (int shift = 0; shift < 32; shift += 8)
            if (std::lround(channel(before, shift) * s / 255.0) != static_cast<long>(channel(got, shift)))
                return false;
        return true;
    }
    const double a = dab.color.alpha;
    const double source[4] = {dab.color.blue * a * 255, dab.color.green * a * 255, dab.color.red * a * 255, a * 255};
    const double srcAlpha = source[3] * c;
    const double tolerance = a == 1.0 ? 1.0 : 1.5;
    for (int i = 0; i < 4; ++i) {
        double exact = source[i] * c + channel(before, 8 * i) * (1 - srcAlpha / 255);
        if (std::fabs(channel(got, 8 * i) - exact) > tolerance + 1e-9)
            return false;
    }
    return true;
}

// Candidate samples for a mask coordinate: both neighbours when it lies on an edge; -1 outside.
std::vector<int> candidates(double coordinate, int limit)
{
    std::vector<int> out;
    for (double probe : {coordinate - kEdgeEpsilon, coordinate + kEdgeEpsilon}) {
        int i = static_cast<int>(std::floor(probe));
        int value = (i >= 0 && i < limit) ? i : -1;
        if (out.empty() || out.back() != value)
            out.push_back(value);
    }
    return out;
}

// Checks every pixel of `after` against the reference; returns the number of mismatches.
int compareWithReference(const std::vector<std::uint32_t>& before, const BitmapContext& after, const Dab& dab,
                         const AffineTransform& ctm, const IntRect& clip)
{
    const ImageMask& mask = *dab.mask;
    const AffineTransform toMask =
        dab.maskToUser.concat(ctm).inverted().concat(AffineTransform::scaling(mask.width(), mask.height()));
    int mismatches = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const std::uint32_t was = before[static_cast<std::size_t>(y) * after.width() + x];
            const std::uint32_t got = after.pixelAt(x, y);
            bool inClip = x >= clip.x && x < clip.x + clip.width && y >= clip.y && y < clip.y + clip.height;
            Point m = toMask.apply(Point{x + 0.5, y + 0.5});
            bool ok = false;
            for (int i : candidates(m.x, mask.width()))
                for (int j : candidates(m.y, mask.height()))
                    ok = ok || matches(was, got, (i < 0 || j < 0 || !inClip) ? -1 : mask.sampleAt(i, j), dab);
            mismatches += ok ? 0 : 1;
        }
    return mismatches;
}

} // namespace

TEST(MaskFill, RandomDabsMatchTheReference)
{
    std::mt19937 rng(20240611);
    auto ctx = BitmapContext::create(200, 160);
    ASSERT_TRUE(ctx);
    for (int round = 0; round < 120; ++round) {
        fillNoise(*ctx, rng);
        Dab dab = randomDab(rng);
        auto before = pixels(*ctx);
        ctx->fillMask(dab.mask, dab.maskToUser, dab.color, dab.mode);
        ASSERT_EQ(compareWithReference(before, *ctx, dab, {}, {0, 0, 200, 160}), 0) << "round " << round;
    }
}

TEST(MaskFill, KernelHonoursTransformRectClipAndGlobalAlpha)
{
    std::mt19937 rng(7);
    auto ctx = BitmapContext::create(120, 100);
    ASSERT_TRUE(ctx);
    for (int round = 0; round < 60; ++round) {
        fillNoise(*ctx, rng);
        Dab dab = randomDab(rng);
        dab.maskToUser = dabPlacement(60 + round, round * 0.37, {30, 20});
        const AffineTransform ctm = AffineTransform::translation(17, 23);
        auto before = pixels(*ctx);
        {
            GStateSaver saver(*ctx);
            ctx->translate(20, 30);
            ctx->clipToRect({-10, -20, 70, 50}); // device (10, 10) - (80, 60)
            ctx->translate(-3, -7);
            ctx->setAlpha(0.5);
            ctx->fillMask(dab.mask, dab.maskToUser, dab.color, dab.mode);
        }
        if (dab.mode == BlendMode::Normal)
            dab.color.alpha *= 0.5f;
        ASSERT_EQ(compareWithReference(before, *ctx, dab, ctm, {10, 10, 70, 50}), 0) << "round " << round;
    }
}

TEST(MaskFill, EdgeValuesAreExact)
{
    // Full coverage of an opaque colour replaces; zero coverage keeps; clear at full coverage
    // leaves transparent black; a half-transparent source over transparent keeps its tone.
    std::vector<std::uint8_t> samples = {0, 255, 128, 0};
    auto mask = ImageMask::create(4, 1, 4, samples, false);
    auto ctx = BitmapContext::create(4, 1);
    ASSERT_TRUE(ctx);
    {
        BitmapContext::PixelAccess access(*ctx);
        for (int x = 0; x < 4; ++x)
            access.row(0)[x] = 0x80402010u;
    }
    AffineTransform unitToRow = AffineTransform::scaling(4, 1);
    ctx->fillMask(mask, unitToRow, Color{1, 0, 0, 1}, BlendMode::Normal);
    EXPECT_EQ(ctx->pixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(ctx->pixelAt(1, 0), 0x80402010u);
    EXPECT_EQ(ctx->pixelAt(3, 0), 0xFFFF0000u);
    ctx->fillMask(mask, unitToRow, Color{}, BlendMode::Clear);
    EXPECT_EQ(ctx->pixelAt(0, 0), 0u);
    EXPECT_EQ(ctx->pixelAt(1, 0), 0x80402010u);
    // Sample 128: red laid at 127/255 over alpha 128 gives 127 + round(128 x 128 / 255) = 191;
    // clearing then keeps round(191 x 128 / 255) = 96.
    EXPECT_EQ(ctx->pixelAt(2, 0) >> 24, 96u);
}

TEST(MaskFill, DegeneratePlacementsDrawNothing)
{
    auto mask = ImageMask::create(4, 4, 4, std::vector<std::uint8_t>(16, 0), false);
    auto ctx = BitmapContext::create(16, 16);
    ASSERT_TRUE(ctx);
    ctx->fillMask(mask, AffineTransform::scaling(0, 5), Color::black(), BlendMode::Normal);
    ctx->fillMask(mask, AffineTransform::scaling(NAN, 5), Color::black(), BlendMode::Normal);
    ctx->fillMask(nullptr, AffineTransform::scaling(5, 5), Color::black(), BlendMode::Normal);
    ctx->fillMask(mask, AffineTransform::translation(1e300, 0).concat(AffineTransform::scaling(1e-300, 1)),
                  Color::black(), BlendMode::Normal);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(ctx->pixelAt(x, y), 0u);
    // A sliver far too thin for the fixed-point walk is left to the general path, not dropped
    // or overflowed.
    MaskFillTarget target{nullptr, 64, 16, 16};
    auto result = fillMask(target, {0, 0, 16, 16}, *mask, AffineTransform{1e-12, 0, 0, 16, 0, 0}, Color::black(),
                           MaskFillMode::SourceOver);
    EXPECT_TRUE(result.touched.isEmpty());
}

// With a state the kernel does not handle, the general path gives the same picture (cairo's
// nearest sampling may pick the neighbouring sample right on an edge: allow a few pixels; the
// general path smooths the square's outline, so its outermost pixel is not compared).
TEST(MaskFill, FallbackPathAgreesWithKernel)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 20; ++round) {
        Dab dab = randomDab(rng);
        dab.size = 40 + 7 * round;
        dab.maskToUser = dabPlacement(dab.size, round * 0.9, {60, 50});
        const AffineTransform toUnit = dab.maskToUser.inverted();
        const double margin = 1.5 / dab.size; // a pixel and a half, in unit-square terms
        auto fast = BitmapContext::create(120, 100), slow = BitmapContext::create(120, 100);
        ASSERT_TRUE(fast && slow);
        std::mt19937 noise(round);
        fillNoise(*fast, noise);
        noise.seed(round);
        fillNoise(*slow, noise);
        fast->fillMask(dab.mask, dab.maskToUser, dab.color, dab.mode);
        {
            GStateSaver saver(*slow);
            slow->rotate(0.3); // a turned clip rectangle holding the whole surface: not a pixel rect
            slow->clipToRect({-500, -500, 1000, 1000});
            slow->rotate(-0.3);
            slow->fillMask(dab.mask, dab.maskToUser, dab.color, dab.mode);
        }
        int differing = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 120; ++x) {
                Point u = toUnit.apply(Point{x + 0.5, y + 0.5});
                if (std::fabs(u.x) < margin || std::fabs(u.x - 1) < margin || std::fabs(u.y) < margin
                    || std::fabs(u.y - 1) < margin)
                    continue;
                std::uint32_t a = fast->pixelAt(x, y), b = slow->pixelAt(x, y);
                for (int shift = 0; shift < 32; shift += 8)
                    if (std::abs(static_cast<int>(channel(a, shift) - channel(b, shift))) > 2) {
                        ++differing;
                        break;
                    }
            }
        EXPECT_LT(differing, 20) << "round " << round;
    }
}

// A dab on whole pixels must look the same wherever it lands, or a stroke of identical dabs shows
// notches and beads at the places where the sampling flips. Odd sizes put pixel centres exactly
// on mask sample edges and on the square's edge, where the double placement alone cannot decide.
TEST(MaskFill, WholePixelDabsAreTheSameEverywhere)
{
    std::mt19937 rng(4242);
    const ImageMaskRef mask = randomMask(rng);
    constexpr int kWidth = 1400, kHeight = 700;
    std::vector<std::uint32_t> surface(static_cast<std::size_t>(kWidth) * kHeight, 0);
    const MaskFillTarget target{surface.data(), kWidth * 4, kWidth, kHeight};
    for (int size : {9, 40, 75, 101})
        for (double degrees : {0.0, 90.0, 180.0, 270.0, 225.0}) {
            const double theta = degrees * M_PI / 180.0;
            std::vector<std::uint32_t> first;
            for (int k = 0; k < 60; ++k) {
                const int x = 110 + (k * 397) % 1180, y = 110 + (k * 211) % 480;
                const MaskFillResult result =
                    fillMask(target, {0, 0, kWidth, kHeight}, *mask, dabPlacement(size, theta, {double(x), double(y)}),
                             {1, 0.5f, 0.25f, 1}, MaskFillMode::SourceOver);
                std::vector<std::uint32_t> dab; // the dab's neighbourhood, relative to its centre
                for (int yy = y - size; yy < y + size; ++yy)
                    for (int xx = x - size; xx < x + size; ++xx) {
                        std::uint32_t& pixel = surface[static_cast<std::size_t>(yy) * kWidth + xx];
                        dab.push_back(pixel);
                        pixel = 0;
                    }
                ASSERT_TRUE(result.handled);
                if (first.empty())
                    first = dab;
                ASSERT_EQ(dab, first) << "size " << size << ", turned " << degrees << ", at " << x << ", " << y;
            }
        }
}

// Journals replay exactly only while the kernel lays the pixels they were painted with: a
// change to what any dab lays must come with a new engine version in the journal. Random dabs
// of every kind (unturned, quarter-turned, sheared, turned, clipped, both modes) over noise,
// against the digest of the pixels this engine version lays.
TEST(MaskFill, DabsLayThePixelsOfThisEngineVersion)
{
    std::mt19937 rng(777);
    constexpr int kWidth = 320, kHeight = 260;
    std::vector<std::uint32_t> surface(static_cast<std::size_t>(kWidth) * kHeight);
    for (std::uint32_t& pixel : surface) {
        const std::uint32_t a = rng() % 256;
        pixel = packARGB(a, rng() % (a + 1), rng() % (a + 1), rng() % (a + 1));
    }
    const MaskFillTarget target{surface.data(), kWidth * 4, kWidth, kHeight};
    for (int round = 0; round < 1500; ++round) {
        const Dab dab = randomDab(rng);
        const IntRect clip = round % 5 == 0 ? IntRect{40, 30, 200, 150} : IntRect{0, 0, kWidth, kHeight};
        const MaskFillMode mode = dab.mode == BlendMode::Clear ? MaskFillMode::Clear : MaskFillMode::SourceOver;
        ASSERT_TRUE(fillMask(target, clip, *dab.mask, dab.maskToUser, dab.color, mode).handled);
    }
    std::uint64_t digest = 1469598103934665603ull; // FNV-1a over the words
    for (std::uint32_t pixel : surface)
        digest = (digest ^ pixel) * 1099511628211ull;
    EXPECT_EQ(digest, 0x8a219f1bed3799edull) << std::hex << digest;
}
