#include "BrushShapes.h"

#include <cmath>
#include <functional>
#include <map>

#include "Noise.h"
#include "PngWriter.h"
#include "Rng.h"
#include "Shading.h"

namespace genres {
namespace {

constexpr int N = kBrushShapeSize;
constexpr double kPixel = 2.0 / N;  // one pixel in the [-1, 1] shape coordinates
constexpr double kPi = 3.14159265358979323846;

// Paint coverage at (u, v) in [-1, 1]^2, v = -1 at the first row; x, y are pixel indices.
using CoverageFn = std::function<double(double u, double v, int x, int y)>;

// Coverage of a hard edge at signed distance `sd` (negative inside), antialiased over a pixel.
double hardEdge(double sd) { return clamp01(0.5 - sd / kPixel); }

// A radius that wanders with the angle, for irregular blobs; periodic in the angle.
class RaggedRadius {
public:
    RaggedRadius(double base, double wobble, std::uint64_t seed)
        : base_(base), wobble_(wobble), noise_(8, seed) {}
    double at(double angle) const {
        return base_ + wobble_ * (noise_.at(4 + 3 * std::cos(angle), 4 + 3 * std::sin(angle)) - 0.5);
    }

private:
    double base_;
    double wobble_;
    PeriodicValueNoise noise_;
};

CoverageFn oil() {
    PeriodicValueNoise bristles(64, 11);
    PeriodicValueNoise lengths(16, 12);
    PeriodicValueNoise streaks(32, 13);
    return [=](double u, double v, int x, int y) {
        double front = -0.88 + 0.3 * u * u;  // rounded leading edge
        if (std::abs(u) > 0.86 || v < front) return 0.0;
        double t = (v - front) / (0.9 - front);  // 0 at the front, 1 at the tail
        double reach = 0.35 + 0.65 * lengths.at(x / 8.0, 0.5);
        double load = 1.0 - smoothstep(reach - 0.25, reach, t);
        double bristle = smoothstep(0.25, 0.6, bristles.at(x / 2.0, 0.5));
        double dry = smoothstep(0.2, 0.55, streaks.at(x / 1.5, y / 24.0));
        double side = 1.0 - smoothstep(0.74, 0.86, std::abs(u));
        // The head fades in, so overlapping dabs leave no hard edge across the stroke.
        double head = smoothstep(front, front + 0.3, v);
        return head * side * load * mix(0.55, 1.0, bristle) * mix(1.0, dry, t);
    };
}

CoverageFn watercolor() {
    RaggedRadius edge(0.74, 0.22, 21);
    TileableFbm wash(N, 4, 4, 0.55, 22);
    return [=](double u, double v, int x, int y) {
        double d = std::hypot(u, v) / edge.at(std::atan2(v, u));
        if (d >= 1.05) return 0.0;
        double body = 0.38 + 0.22 * wash.at(x, y);
        double rim = 0.5 * std::exp(-std::pow((1.0 - d) / 0.07, 2.0));
        return (body + rim) * (1.0 - smoothstep(0.98, 1.05, d));
    };
}

CoverageFn pencil() {
    TileableFbm grain(N, 64, 2, 0.5, 31);
    Rng rng(32);
    std::vector<double> speckle(static_cast<std::size_t>(N) * N);
    for (double& s : speckle) s = rng.unit();
    return [=](double u, double v, int x, int y) {
        double disk = 1.0 - smoothstep(0.45, 0.62, std::hypot(u, v));
        double tooth = mix(0.3, 1.0, smoothstep(0.3, 0.55, grain.at(x, y)));
        double fleck = speckle[static_cast<std::size_t>(y) * N + x] < 0.3 ? 0.45 : 1.0;
        return disk * tooth * fleck * 0.95;
    };
}

CoverageFn airbrush() {
    return [](double u, double v, int, int) {
        double r2 = u * u + v * v;
        return 0.95 * std::exp(-r2 / (2 * 0.3 * 0.3));
    };
}

// One tapered scratch running along the stroke: centre line and width as functions of v.
double scratch(double u, double v, double x0, double slope, double bow, double halfWidth,
               double v0, double v1) {
    if (v <= v0 || v >= v1) return 0.0;
    double t = (v - v0) / (v1 - v0);
    double centre = x0 + slope * v + bow * (1.0 - 4.0 * (t - 0.5) * (t - 0.5));
    double width = halfWidth * std::sqrt(std::max(0.0, 1.0 - 4.0 * (t - 0.5) * (t - 0.5)));
    return hardEdge(std::abs(u - centre) - width);
}

CoverageFn scratchBoard() {
    return [](double u, double v, int, int) {
        double main = scratch(u, v, 0.0, 0.1, 0.06, 0.06, -0.86, 0.86);
        double left = scratch(u, v, -0.2, 0.14, 0.03, 0.018, -0.7, 0.5);
        double right = scratch(u, v, 0.22, 0.05, -0.04, 0.014, -0.3, 0.8);
        return std::max({main, left, right});
    };
}

CoverageFn charcoal() {
    RaggedRadius edge(0.7, 0.35, 41);
    PeriodicValueNoise streaks(32, 42);
    Rng rng(43);
    std::vector<double> speckle(static_cast<std::size_t>(N) * N);
    for (double& s : speckle) s = rng.unit();
    return [=](double u, double v, int x, int y) {
        double d = std::hypot(u, v) / edge.at(std::atan2(v, u));
        double body = 1.0 - smoothstep(0.85, 1.0, d);
        double grain = 0.65 * streaks.at(x / 3.0, y / 14.0) +
                       0.35 * speckle[static_cast<std::size_t>(y) * N + x];
        return body * smoothstep(0.32, 0.62, grain);
    };
}

CoverageFn chalk() {
    RaggedRadius edge(0.72, 0.3, 51);
    TileableFbm chunks(N, 16, 2, 0.4, 52);
    return [=](double u, double v, int x, int y) {
        double angle = std::atan2(v, u);
        double sd = std::hypot(u, v) - edge.at(angle);
        double body = hardEdge(sd * 0.5);
        return body * smoothstep(0.32, 0.42, chunks.at(x, y));
    };
}

CoverageFn pastel() {
    TileableFbm tooth(N, 16, 3, 0.6, 61);
    RaggedRadius edge(0.68, 0.15, 62);
    return [=](double u, double v, int x, int y) {
        double d = std::hypot(u, v) / edge.at(std::atan2(v, u));
        double soft = 1.0 - smoothstep(0.55, 1.05, d);
        return 0.85 * soft * mix(0.35, 1.0, smoothstep(0.3, 0.65, tooth.at(x, y)));
    };
}

CoverageFn finger() {
    TileableFbm smear(N, 4, 3, 0.5, 71);
    PeriodicValueNoise drag(32, 72);
    return [=](double u, double v, int x, int y) {
        double r = std::hypot(u / 0.62, (v - 0.05) / 0.8);
        double pad = std::exp(-r * r * 2.2) * (1.0 - smoothstep(0.9, 1.2, r));
        double streak = mix(0.7, 1.0, drag.at(x / 3.0, y / 20.0));  // smeared along travel
        return 0.8 * pad * streak * mix(0.6, 1.0, smear.at(x, y));
    };
}

CoverageFn penAndInk() {
    return [](double u, double v, int, int) { return hardEdge(std::hypot(u, v) - 0.72); };
}

CoverageFn calligraphy() {
    const double c = std::cos(kPi / 4);
    const double s = std::sin(kPi / 4);
    return [=](double u, double v, int, int) {
        double along = (u * c - v * s) / 0.86;
        double across = (u * s + v * c) / 0.1;
        double r = std::hypot(along, across);
        return hardEdge((r - 1.0) * 0.1);
    };
}

const std::map<std::string, CoverageFn (*)()>& builders() {
    static const std::map<std::string, CoverageFn (*)()> table = {
        {"Oil", oil},         {"Watercolor", watercolor}, {"Pencil", pencil},
        {"Airbrush", airbrush}, {"ScratchBoard", scratchBoard}, {"Charcoal", charcoal},
        {"Chalk", chalk},     {"Pastel", pastel},         {"Finger", finger},
        {"PenAndInk", penAndInk}, {"Calligraphy", calligraphy}};
    return table;
}

// Fades coverage to nothing over the outer pixels so a dab never shows a square edge.
double borderWindow(int x, int y) {
    int d = std::min({x, y, N - 1 - x, N - 1 - y});
    return smoothstep(1.0, 8.0, d);
}

} // namespace

const std::vector<std::string>& brushShapeNames() {
    static const std::vector<std::string> names = {
        "Oil",    "Watercolor", "Pencil", "Airbrush",  "ScratchBoard", "Charcoal",
        "Chalk",  "Pastel",     "Finger", "PenAndInk", "Calligraphy"};
    return names;
}

BrushShape makeBrushShape(const std::string& name) {
    auto found = builders().find(name);
    if (found == builders().end()) return {};
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

bool writeBrushShapes(const std::string& outDir) {
    bool ok = true;
    for (const std::string& name : brushShapeNames()) {
        BrushShape shape = makeBrushShape(name);
        ok = writePng(outDir + "/" + name + ".png", PngKind::Grey, shape.size, shape.size,
                      shape.grey) && ok;
    }
    return ok;
}

} // namespace genres
