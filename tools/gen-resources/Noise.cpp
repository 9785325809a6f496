#include "Noise.h"

#include <cmath>
#include <limits>

#include "Rng.h"

namespace genres {
namespace {

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

int wrap(int v, int period)
{
    int m = v % period;
    return m < 0 ? m + period : m;
}

// Shortest signed distance from a to b on a circle of circumference `size`.
double wrappedDelta(double a, double b, double size)
{
    double d = b - a;
    if (d > size * 0.5)
        d -= size;
    if (d < -size * 0.5)
        d += size;
    return d;
}

} // namespace

PeriodicValueNoise::PeriodicValueNoise(int period, std::uint64_t seed)
    : period_(period), values_(static_cast<std::size_t>(period) * period)
{
    Rng rng(seed);
    for (double& v : values_)
        v = rng.unit();
}

double PeriodicValueNoise::lattice(int x, int y) const
{
    return values_[static_cast<std::size_t>(wrap(y, period_)) * period_ + wrap(x, period_)];
}

double PeriodicValueNoise::at(double x, double y) const
{
    double fx = std::floor(x);
    double fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    double tx = smooth(x - fx);
    double ty = smooth(y - fy);
    double top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * tx;
    double bottom = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

TileableFbm::TileableFbm(int size, int basePeriod, int octaves, double persistence, std::uint64_t seed)
    : size_(size), persistence_(persistence)
{
    double weight = 1;
    for (int i = 0; i < octaves; ++i) {
        periods_.push_back(basePeriod << i);
        octaves_.emplace_back(basePeriod << i, seed * 7919 + static_cast<std::uint64_t>(i));
        total_ += weight;
        weight *= persistence_;
    }
}

double TileableFbm::at(double px, double py) const
{
    double sum = 0;
    double weight = 1;
    for (std::size_t i = 0; i < octaves_.size(); ++i) {
        double scale = static_cast<double>(periods_[i]) / size_;
        sum += weight * octaves_[i].at(px * scale, py * scale);
        weight *= persistence_;
    }
    return sum / total_;
}

TileableCells::TileableCells(int size, int cells, double jitter, std::uint64_t seed)
    : size_(size), cells_(cells), cellSize_(static_cast<double>(size) / cells)
{
    Rng rng(seed);
    for (int cy = 0; cy < cells; ++cy) {
        for (int cx = 0; cx < cells; ++cx) {
            pointX_.push_back((cx + 0.5 + jitter * rng.range(-0.5, 0.5)) * cellSize_);
            pointY_.push_back((cy + 0.5 + jitter * rng.range(-0.5, 0.5)) * cellSize_);
        }
    }
}

CellSample TileableCells::at(double px, double py) const
{
    CellSample best;
    best.f1 = best.f2 = std::numeric_limits<double>::max();
    int cx = static_cast<int>(std::floor(px / cellSize_));
    int cy = static_cast<int>(std::floor(py / cellSize_));
    for (int oy = -2; oy <= 2; ++oy) {
        for (int ox = -2; ox <= 2; ++ox) {
            int index = wrap(cy + oy, cells_) * cells_ + wrap(cx + ox, cells_);
            auto i = static_cast<std::size_t>(index);
            double dx = wrappedDelta(pointX_[i], px, size_);
            double dy = wrappedDelta(pointY_[i], py, size_);
            double d = std::sqrt(dx * dx + dy * dy);
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.cell = index;
                best.dx = dx;
                best.dy = dy;
            } else if (d < best.f2 && index != best.cell) {
                best.f2 = d;
            }
        }
    }
    return best;
}

} // namespace genres
