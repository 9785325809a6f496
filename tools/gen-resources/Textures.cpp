#include "Textures.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <numbers>

#include "Noise.h"
#include "PngWriter.h"
#include "Rng.h"
#include "Shading.h"

namespace genres {
namespace {

constexpr int N = kTextureSize;

struct Rgb {
    double r, g, b;
};

Rgb scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }
Rgb blend(Rgb a, Rgb b, double t) { return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)}; }

using TexelFn = std::function<Rgb(int x, int y)>;

// Woven threads: warp and weft alternate over and under every thread (period divides N).
TexelFn canvas()
{
    TileableFbm slub(N, 8, 3, 0.5, 101);
    TileableFbm fibre(N, 64, 2, 0.5, 102);
    return [=](int x, int y) {
        constexpr int kThread = 8; // divides N, so the weave wraps
        double tx = std::sin(std::numbers::pi * ((x % kThread) + 0.5) / kThread);
        double ty = std::sin(std::numbers::pi * ((y % kThread) + 0.5) / kThread);
        bool warpOnTop = ((x / kThread) + (y / kThread)) % 2 == 0;
        double shade = warpOnTop ? tx : ty;
        double v = mix(0.35, 1.0, shade) * mix(0.8, 1.05, slub.at(x, y)) * mix(0.85, 1.0, fibre.at(x, y));
        return scale(Rgb{0.93, 0.89, 0.8}, v);
    };
}

// Running-bond bricks with mortar joints; each brick gets its own tone.
TexelFn brick()
{
    constexpr int kRows = 8;
    constexpr int kPerRow = 4;
    std::vector<double> tone(kRows * kPerRow);
    Rng rng(111);
    for (double& t : tone)
        t = rng.range(0.7, 1.1);
    TileableFbm surface(N, 16, 3, 0.55, 112);
    return [=](int x, int y) {
        constexpr int kH = N / kRows;
        constexpr int kW = N / kPerRow;
        int row = y / kH;
        int shifted = (x + (row % 2) * (kW / 2)) % N;
        int col = shifted / kW;
        int inX = shifted % kW;
        int inY = y % kH;
        double edge = std::min({inX, kW - 1 - inX, inY, kH - 1 - inY});
        double n = surface.at(x, y);
        Rgb mortar = scale(Rgb{0.82, 0.8, 0.76}, mix(0.8, 1.05, n));
        if (edge < 2.5)
            return mortar;
        double bevel = (inY < 5 || inX < 5) ? 1.1 : (inY > kH - 6 || inX > kW - 6) ? 0.78 : 1.0;
        double t = tone[static_cast<std::size_t>(row * kPerRow + col)];
        return scale(Rgb{0.62, 0.27, 0.18}, t * bevel * mix(0.7, 1.15, n));
    };
}

// Paint film broken by a net of dark cracks along the borders of wrapped cells.
TexelFn crackedPaint()
{
    TileableCells cells(N, 7, 0.9, 121);
    TileableFbm wobble(N, 8, 3, 0.5, 122);
    TileableFbm film(N, 4, 4, 0.55, 123);
    return [=](int x, int y) {
        double wx = x + 10.0 * (wobble.at(x, y) - 0.5);
        double wy = y + 10.0 * (wobble.at(y + 77.0, x + 31.0) - 0.5);
        CellSample s = cells.at(std::fmod(wx + N, N), std::fmod(wy + N, N));
        double crack = smoothstep(0.6, 2.2, s.f2 - s.f1);
        double lift = 1.0 - 0.15 * smoothstep(6.0, 0.0, s.f2 - s.f1); // curled edges catch shade
        Rgb paint = scale(Rgb{0.9, 0.86, 0.74}, mix(0.8, 1.05, film.at(x, y)) * lift);
        return blend(Rgb{0.18, 0.15, 0.12}, paint, crack);
    };
}

// Glass tesserae of a few colours set in light grout.
TexelFn mosaic()
{
    TileableCells cells(N, 12, 0.7, 131);
    TileableFbm glaze(N, 32, 2, 0.5, 132);
    static const Rgb kPalette[] = {{0.15, 0.35, 0.65}, {0.2, 0.55, 0.75}, {0.85, 0.7, 0.25},
                                   {0.75, 0.3, 0.2},   {0.9, 0.88, 0.8},  {0.25, 0.5, 0.35}};
    std::vector<int> colour(static_cast<std::size_t>(cells.cellCount()));
    Rng rng(133);
    for (int& c : colour)
        c = rng.below(6);
    return [=](int x, int y) {
        CellSample s = cells.at(x, y);
        double grout = smoothstep(1.5, 3.0, s.f2 - s.f1);
        double sheen = 1.0 + 0.25 * std::max(0.0, -(s.dx + s.dy) / 14.0);
        Rgb tile = scale(kPalette[colour[static_cast<std::size_t>(s.cell)]], sheen * mix(0.85, 1.1, glaze.at(x, y)));
        return blend(Rgb{0.8, 0.78, 0.74}, tile, grout);
    };
}

// Handmade paper: cloudy pulp with fine fibres.
TexelFn roughPaper()
{
    TileableFbm pulp(N, 8, 5, 0.6, 141);
    TileableFbm tooth(N, 64, 2, 0.5, 142);
    return [=](int x, int y) {
        double p = pulp.at(x, y);
        double t = tooth.at(x, y);
        double v = mix(0.55, 1.05, smoothstep(0.3, 0.7, p)) * mix(0.8, 1.03, smoothstep(0.3, 0.7, t));
        return scale(Rgb{0.96, 0.94, 0.9}, v);
    };
}

// Rounded stones packed with dark joints, lit from the upper left.
TexelFn stone()
{
    TileableCells cells(N, 6, 0.85, 151);
    TileableFbm grit(N, 16, 4, 0.55, 152);
    std::vector<double> tone(static_cast<std::size_t>(cells.cellCount()));
    Rng rng(153);
    for (double& t : tone)
        t = rng.range(0.7, 1.05);
    return [=](int x, int y) {
        CellSample s = cells.at(x, y);
        double joint = smoothstep(1.0, 5.0, s.f2 - s.f1);
        double light = 1.0 - 0.35 * (s.dx + s.dy) / (s.f1 + s.f2 + 1.0);
        double t = tone[static_cast<std::size_t>(s.cell)];
        Rgb rock = scale(Rgb{0.68, 0.66, 0.62}, t * light * mix(0.75, 1.15, grit.at(x, y)));
        return blend(Rgb{0.2, 0.19, 0.18}, rock, joint);
    };
}

const std::map<std::string, TexelFn (*)()>& builders()
{
    static const std::map<std::string, TexelFn (*)()> table = {
        {"Canvas", canvas}, {"Brick", brick},           {"CrackedPaint", crackedPaint},
        {"Mosaic", mosaic}, {"RoughPaper", roughPaper}, {"Stone", stone}};
    return table;
}

} // namespace

const std::vector<std::string>& textureNames()
{
    static const std::vector<std::string> names = {"Canvas", "Brick", "CrackedPaint", "Mosaic", "RoughPaper", "Stone"};
    return names;
}

bool writeTextures(const std::string& outDir)
{
    bool ok = true;
    for (const std::string& name : textureNames()) {
        TexelFn texel = builders().at(name)();
        std::vector<std::uint8_t> rgb;
        rgb.reserve(static_cast<std::size_t>(N) * N * 3);
        for (int y = 0; y < N; ++y) {
            for (int x = 0; x < N; ++x) {
                Rgb c = texel(x, y);
                rgb.push_back(toByte(c.r));
                rgb.push_back(toByte(c.g));
                rgb.push_back(toByte(c.b));
            }
        }
        ok = writePng(outDir + "/" + name + ".png", PngKind::Rgb, N, N, rgb) && ok;
    }
    return ok;
}

} // namespace genres
