#pragma once
// A small seeded generator (PCG32) so every run draws the same pictures on every machine;
// the standard library's engines and distributions are not specified bit-for-bit.
#include <cstdint>

namespace genres {

class Rng {
public:
    explicit Rng(std::uint64_t seed)
    {
        next();
        state_ += seed;
        next();
    }

    std::uint32_t next()
    {
        std::uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + kIncrement;
        auto xorshifted = static_cast<std::uint32_t>(((old >> 18U) ^ old) >> 27U);
        auto rot = static_cast<std::uint32_t>(old >> 59U);
        return (xorshifted >> rot) | (xorshifted << ((32U - rot) & 31U));
    }

    // Uniform in [0, 1).
    double unit() { return next() * (1.0 / 4294967296.0); }
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // Uniform integer in [0, n).
    int below(int n) { return static_cast<int>(unit() * n); }

private:
    static constexpr std::uint64_t kIncrement = 1442695040888963407ULL;
    std::uint64_t state_ = 0;
};

} // namespace genres
