#pragma once
// The random numbers of one stroke (splatter's jitter): a small generator seeded by the
// painting's seed and the stroke's number, so a stroke scatters the same way whenever it is
// painted again, and leaving a stroke out does not shift the strokes after it.
#include <cstdint>

class StrokeRandom {
public:
    StrokeRandom() = default;
    StrokeRandom(std::uint64_t paintingSeed, std::uint64_t strokeNumber)
        : m_state(paintingSeed ^ (strokeNumber * 0xD1B54A32D192ED03ull))
    {
    }

    // The next 32 bits (splitmix64's output, its high half).
    std::uint32_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    }

private:
    std::uint64_t m_state = 0;
};
