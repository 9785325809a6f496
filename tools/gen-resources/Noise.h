#pragma once
// Tileable noise for textures and brush grain. Every function is periodic over the picture it
// is sampled for, so textures wrap without a seam.
#include <cstdint>
#include <vector>

namespace genres {

// Smoothly interpolated random values on a `period` x `period` lattice that wraps around.
// Sample with coordinates in lattice cells; the result lies in [0, 1].
class PeriodicValueNoise {
public:
    PeriodicValueNoise(int period, std::uint64_t seed);
    double at(double x, double y) const;

private:
    double lattice(int x, int y) const;
    int period_;
    std::vector<double> values_;
};

// Sum of octaves over a picture of side `size`: octave i has a lattice of `basePeriod` << i
// cells across the picture, so every octave repeats exactly once per picture. Result in [0, 1].
class TileableFbm {
public:
    TileableFbm(int size, int basePeriod, int octaves, double persistence, std::uint64_t seed);
    double at(double px, double py) const;

private:
    int size_;
    double total_ = 0; // sum of the octave weights, to normalise
    double persistence_;
    std::vector<int> periods_;
    std::vector<PeriodicValueNoise> octaves_;
};

// Cellular noise over a square picture of side `size` with `cells` x `cells` jittered feature
// points; distances wrap around the picture's edges.
struct CellSample {
    double f1 = 0; // distance to the nearest point, in pixels
    double f2 = 0; // distance to the second nearest point
    int cell = 0;  // index of the nearest point, stable per cell
    double dx = 0; // offset from the nearest point (for shading)
    double dy = 0;
};

class TileableCells {
public:
    TileableCells(int size, int cells, double jitter, std::uint64_t seed);
    CellSample at(double px, double py) const;
    int cellCount() const { return cells_ * cells_; }

private:
    int size_;
    int cells_;
    double cellSize_;
    std::vector<double> pointX_;
    std::vector<double> pointY_;
};

} // namespace genres
