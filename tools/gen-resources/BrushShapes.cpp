#include "BrushShapes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include "Noise.h"
#include "PngWriter.h"
#include "Rng.h"
#include "Shading.h"

namespace genres {
namespace {

constexpr int N = kBrushShapeSize;
constexpr double kPixel = 2.0 / N; // one pixel in the [-1, 1] shape coordinates

// Paint coverage at (u, v) in [-1, 1]^2, v = -1 at the first row; x, y are pixel indices.
using CoverageFn = std::function<double(double u, double v, int x, int y)>;

// Coverage of a hard edge at signed distance `sd` (negative inside), antialiased over a pixel.
double hardEdge(double sd) { return clamp01(0.5 - sd / kPixel); }

// A radius that wanders with the angle, for irregular blobs; periodic in the angle.
class RaggedRadius {
public:
    RaggedRadius(double base, double wobble, std::uint64_t seed) : base_(base), wobble_(wobble), noise_(8, seed) {}
    double at(double angle) const
    {
        return base_ + wobble_ * (noise_.at(4 + 3 * std::cos(angle), 4 + 3 * std::sin(angle)) - 0.5);
    }

private:
    double base_;
    double wobble_;
    PeriodicValueNoise noise_;
};

// Dabs overlap along the stroke and paint accumulates in them as 1 - (1 - a)(1 - b): in the
// "optical depth" d = -ln(1 - coverage) overlapping dabs simply add. A dab whose depth is a
// profile across the stroke (u) times a smooth bump along it (v) therefore sums to an even
// stroke wherever the bumps overlap well, and streaks that vary only with u line up from dab to
// dab into continuous streaks instead of repeating at the dab period.
double fromDepth(double depth) { return 1.0 - std::exp(-std::max(0.0, depth)); }

// Smooth bumps along the stroke (v in [-1, 1], the first row leading).
double gaussBump(double v, double sigma) { return std::exp(-v * v / (2 * sigma * sigma)); }
// cos^2 over [-1, 1]: copies half a dab apart sum to exactly 1.
double hannBump(double v)
{
    double c = std::cos(0.5 * std::numbers::pi * std::clamp(v, -1.0, 1.0));
    return c * c;
}

// A plateau along the stroke with straight ramps in depth: copies `period` apart (in v units)
// sum to exactly the plateau wherever their ramps overlap, so wide spacings stay even.
double trapezoidBump(double v, double flat, double ramp) { return clamp01((flat + ramp - std::abs(v)) / ramp); }

// Streak strength for the column at u, from noise of several widths (0..1), the same on every row.
double streaks(const PeriodicValueNoise& fine, const PeriodicValueNoise& coarse, int x, double fineWidth)
{
    return clamp01(0.6 * fine.at(x / fineWidth, 0.5) + 0.4 * coarse.at(x / 8.0, 0.5));
}

CoverageFn oil()
{
    PeriodicValueNoise fine(64, 11);
    PeriodicValueNoise coarse(16, 12);
    return [=](double u, double v, int x, int) {
        double side = 1.0 - smoothstep(0.7, 0.9, std::abs(u));
        double bristle = smoothstep(0.25, 0.75, streaks(fine, coarse, x, 1.5));
        double load = mix(0.5, 4.5, bristle) * mix(1.0, 0.55, smoothstep(0.45, 0.85, std::abs(u)));
        return fromDepth(load * side * hannBump(v * 1.08));
    };
}

CoverageFn watercolor()
{
    PeriodicValueNoise granulation(32, 22);
    return [=](double u, double v, int x, int) {
        double a = std::abs(u);
        double edge = 1.0 - smoothstep(0.74, 0.84, a);
        double rim = std::exp(-std::pow((a - 0.72) / 0.09, 2.0)); // pigment gathers at the edges
        double body = 0.12 * mix(0.7, 1.3, granulation.at(x / 3.0, 0.5));
        return fromDepth((body + 0.7 * rim) * edge * gaussBump(v, 0.38));
    };
}

// Pencil: graphite laid by a narrow point. A thin core that fades softly into a faint halo,
// broken into fine streaks by the paper's tooth, and never so dense that it reads as a marker.
CoverageFn pencil()
{
    PeriodicValueNoise fine(128, 31);
    PeriodicValueNoise coarse(16, 32);
    return [=](double u, double v, int x, int) {
        double a = std::abs(u);
        double core = std::exp(-std::pow(a / 0.085, 2.5));
        double halo = 0.12 * std::exp(-std::pow(a / 0.2, 2.0));
        double tooth = mix(0.3, 1.0, smoothstep(0.15, 0.75, streaks(fine, coarse, x, 0.9)));
        return fromDepth(0.32 * (core + halo) * tooth * gaussBump(v, 0.12));
    };
}

CoverageFn airbrush()
{
    return [](double u, double v, int, int) {
        // A Gaussian in depth, so passes add up smoothly at any spacing.
        return fromDepth(1.1 * std::exp(-(u * u + v * v) / (2 * 0.28 * 0.28)));
    };
}

// One tapered scratch running along the stroke: centre line and width as functions of v.
double scratch(double u, double v, double x0, double slope, double bow, double halfWidth, double v0, double v1)
{
    if (v <= v0 || v >= v1)
        return 0.0;
    double t = (v - v0) / (v1 - v0);
    double centre = x0 + slope * v + bow * (1.0 - 4.0 * (t - 0.5) * (t - 0.5));
    double width = halfWidth * std::sqrt(std::max(0.0, 1.0 - 4.0 * (t - 0.5) * (t - 0.5)));
    return hardEdge(std::abs(u - centre) - width);
}

CoverageFn scratchBoard()
{
    return [](double u, double v, int, int) {
        double main = scratch(u, v, 0.0, 0.1, 0.06, 0.06, -0.86, 0.86);
        double left = scratch(u, v, -0.2, 0.14, 0.03, 0.018, -0.7, 0.5);
        double right = scratch(u, v, 0.22, 0.05, -0.04, 0.014, -0.3, 0.8);
        return std::max({main, left, right});
    };
}

// Charcoal: a dry stick dragged over the paper's tooth. A dark core of streaks; towards the
// edges the stick only catches the tooth's peaks, so the paint breaks into specks and
// streaklets that differ from place to place in the picture: overlapping copies scatter them
// instead of lining them up into a smooth band.
CoverageFn charcoal()
{
    PeriodicValueNoise fine(128, 41);
    PeriodicValueNoise coarse(16, 42);
    PeriodicValueNoise speckle(64, 43);
    PeriodicValueNoise ragged(16, 44);
    return [=](double u, double v, int x, int y) {
        double a = std::abs(u);
        double grain = streaks(fine, coarse, x, 0.8);
        // The dense part wanders in width along the picture, so the edge is ragged.
        double reach = 0.42 + 0.16 * (ragged.at(2.5 * (u > 0), y / 8.0) - 0.5);
        double core = 1.0 - smoothstep(reach - 0.12, reach + 0.05, a);
        double tooth = 0.7 * speckle.at(x / 1.1, y / 2.2) + 0.3 * grain;
        double dry =
            smoothstep(mix(0.45, 0.7, smoothstep(0.3, 0.95, a)), 0.8, tooth) * (1.0 - smoothstep(0.8, 0.95, a));
        double depth = 1.25 * core * mix(0.5, 1.0, grain) + 0.9 * dry;
        return fromDepth(depth * gaussBump(v, 0.4));
    };
}

// Chalk: broad and broken. The paper's tooth leaves white gaps, more of them towards the
// edges. Most of the grain runs along the stroke, so it lines up from copy to copy into
// streaks; the rest is short flecks that differ all over the picture, so copies laid three
// quarters of a dab apart scatter their gaps instead of lining them up into bars across the
// stroke. Along the stroke the dab is a plateau with straight ramps whose overlaps add up evenly.
CoverageFn chalk()
{
    PeriodicValueNoise fine(64, 51);
    PeriodicValueNoise coarse(16, 52);
    PeriodicValueNoise fleck(64, 53);
    return [=](double u, double v, int x, int y) {
        double a = std::abs(u);
        double grain = 0.8 * streaks(fine, coarse, x, 0.7) + 0.2 * fleck.at(x / 0.7, y / 2.0);
        double threshold = mix(0.38, 0.62, smoothstep(0.25, 0.9, a));
        double on = smoothstep(threshold, threshold + 0.08, grain) * (1.0 - smoothstep(0.84, 0.92, a));
        return fromDepth(2.6 * on * trapezoidBump(v, 0.52, 0.41));
    };
}

// Pastel keeps one orientation, so its grain cannot run along the stroke: random fine holes that
// differ across the picture fill one another in where copies overlap.
CoverageFn pastel()
{
    TileableFbm tooth(N, 32, 2, 0.5, 61);
    return [=](double u, double v, int x, int y) {
        // cos^2 of the radius: copies half a dab apart sum to an even band along any line
        // through the centre, so the stroke does not bead.
        double soft = hannBump(std::hypot(u, v));
        double depth = mix(1.3, 3.2, smoothstep(0.3, 0.6, tooth.at(x, y)));
        return fromDepth(depth * soft);
    };
}

CoverageFn finger()
{
    PeriodicValueNoise fine(64, 71);
    PeriodicValueNoise coarse(16, 72);
    return [=](double u, double v, int x, int) {
        double pad = std::exp(-std::pow(u / 0.5, 2.0)) * (1.0 - smoothstep(0.8, 0.95, std::abs(u)));
        double drag = mix(0.6, 1.0, streaks(fine, coarse, x, 2.0)); // smeared along travel
        return fromDepth(0.95 * pad * drag * hannBump(v));
    };
}

CoverageFn penAndInk()
{
    return [](double u, double v, int, int) { return hardEdge(std::hypot(u, v) - 0.72); };
}

// A broad nib held at 45 degrees: a bar with round ends, which sweeps a clean edge even when
// dabs land several pixels apart (a pointed tip would leave notches between them).
CoverageFn calligraphy()
{
    const double c = std::cos(std::numbers::pi / 4);
    const double s = std::sin(std::numbers::pi / 4);
    return [=](double u, double v, int, int) {
        double along = std::abs(u * c - v * s);
        double across = u * s + v * c;
        double sd = std::hypot(std::max(0.0, along - 0.72), across) - 0.12;
        return hardEdge(sd);
    };
}

const std::map<std::string, CoverageFn (*)()>& builders()
{
    static const std::map<std::string, CoverageFn (*)()> table = {{"Oil", oil},
                                                                  {"Watercolor", watercolor},
                                                                  {"Pencil", pencil},
                                                                  {"Airbrush", airbrush},
                                                                  {"ScratchBoard", scratchBoard},
                                                                  {"Charcoal", charcoal},
                                                                  {"Chalk", chalk},
                                                                  {"Pastel", pastel},
                                                                  {"Finger", finger},
                                                                  {"PenAndInk", penAndInk},
                                                                  {"Calligraphy", calligraphy}};
    return table;
}

// Fades coverage to nothing over the outer pixels so a dab never shows a square edge.
double borderWindow(int x, int y)
{
    int d = std::min({x, y, N - 1 - x, N - 1 - y});
    return smoothstep(1.0, 8.0, d);
}

} // namespace

const std::vector<std::string>& brushShapeNames()
{
    static const std::vector<std::string> names = {"Oil",          "Watercolor", "Pencil",     "Airbrush",
                                                   "ScratchBoard", "Charcoal",   "Chalk",      "Pastel",
                                                   "Finger",       "PenAndInk",  "Calligraphy"};
    return names;
}

BrushShape makeBrushShape(const std::string& name)
{
    auto found = builders().find(name);
    if (found == builders().end())
        return {};
    CoverageFn coverage = found->second();
    BrushShape shape{N, std::vector<std::uint8_t>(static_cast<std::size_t>(N) * N)};
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            double u = (x + 0.5) * kPixel - 1.0;
            double v = (y + 0.5) * kPixel - 1.0;
            double paint = clamp01(coverage(u, v, x, y)) * borderWindow(x, y);
            shape.grey[static_cast<std::size_t>(y) * N + x] = toByte(1.0 - paint);
        }
    }
    return shape;
}

bool writeBrushShapes(const std::string& outDir)
{
    bool ok = true;
    for (const std::string& name : brushShapeNames()) {
        BrushShape shape = makeBrushShape(name);
        ok = writePng(outDir + "/" + name + ".png", PngKind::Grey, shape.size, shape.size, shape.grey) && ok;
    }
    return ok;
}

} // namespace genres
